#include "codeplug/codeplug_diff.h"

#include <gtest/gtest.h>

#include <random>

#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

// Every bit some field reads.
std::array<std::uint8_t, kImageSize> interpretedBits() {
    std::array<std::uint8_t, kImageSize> bits{};
    for (const FieldInfo& info : fieldTable()) {
        for (int index = info.indexMin; index <= info.indexMax; ++index) {
            for (const BitSpan& span : fieldBits(FieldRef{&info, index}))
                bits[span.address] |= span.mask;
        }
    }
    return bits;
}

void setField(CMaItemDoc& doc, std::string_view name, std::string_view value) {
    std::optional<FieldRef> field = findField(name);
    ASSERT_TRUE(field) << name;
    ASSERT_TRUE(field->set(doc, value)) << name << "=" << value;
}

class CodeplugDiffTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bool skip = true;
        newDocument(before, prompter, skip);
        skip = true;
        newDocument(after, prompter, skip);
    }
    void set(std::string_view name, std::string_view value) { setField(after, name, value); }
    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        for (const DiffEntry& entry : diffCodeplugs(before, after))
            result.push_back(formatDiffEntry(entry));
        return result;
    }

    test::ProgramFolder folder;
    test::ScriptedPrompter prompter;
    CMaItemDoc before{folder.settings()};
    CMaItemDoc after{folder.settings()};
};

TEST_F(CodeplugDiffTest, IdenticalCodeplugsHaveNoDifferences) {
    EXPECT_TRUE(diffCodeplugs(before, after).empty());
    // The header holds no codeplug data.
    after.header()[45] = 0x12;
    EXPECT_TRUE(diffCodeplugs(before, after).empty());
}

TEST_F(CodeplugDiffTest, EachKindOfDifferenceIsNamedWithReadableValues) {
    struct Case {
        const char* what;
        void (*change)(CMaItemDoc& doc);
        std::vector<std::string> lines;
    } cases[] = {
        {"one channel field",
         [](CMaItemDoc& doc) { setField(doc, "RxFreq[80]", "433.1"); },
         {"RxFreq[80]: \"\" -> 433.10000"}},
        {"one bit flag",
         [](CMaItemDoc& doc) { setField(doc, "TxPower[3]", "1"); },
         {"TxPower[3]: 0 -> 1"}},
        {"a setting by name",
         [](CMaItemDoc& doc) { setField(doc, "BackLamp", "2"); },
         {"BackLamp: 1 -> 2"}},
        {"a tuning value with index 0",
         [](CMaItemDoc& doc) { setField(doc, "TuneHighPower[0]", "100"); },
         {"TuneHighPower[0]: 144 -> 100"}},
        {"one uninterpreted byte",
         [](CMaItemDoc& doc) { doc.rawFields().image()[0x0903] = 0x5A; },
         {"0x0903: FF -> 5A"}},
        {"free bits beside a field",
         [](CMaItemDoc& doc) { doc.rawFields().image()[layout::record(5) + 13] ^= 0x01; },
         {"0x005D: FF -> FE"}},
        {"uninterpreted bytes split at each 16-byte line",
         [](CMaItemDoc& doc) {
             for (std::size_t a = 0x0F0E; a <= 0x0F11; ++a)
                 doc.rawFields().image()[a] = 0x00;
         },
         {"0x0F0E-0x0F0F: FF FF -> 00 00", "0x0F10-0x0F11: FF FF -> 00 00"}},
        {"channels in order, then settings, then bytes",
         [](CMaItemDoc& doc) {
             doc.rawFields().image()[0x0900] = 0x00;
             setField(doc, "BackLamp", "0");
             setField(doc, "TxPower[5]", "1");
             setField(doc, "RxTone[5]", "88.5");
             setField(doc, "ChannelName[3]", "AB");
         },
         {"ChannelName[3]: \"\" -> AB", "RxTone[5]: off -> 88.5", "TxPower[5]: 0 -> 1",
          "BackLamp: 1 -> 0", "0x0900: FF -> 00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        after.rawFields().image() = before.rawFields().image();
        c.change(after);
        EXPECT_EQ(lines(), c.lines);
    }
}

TEST_F(CodeplugDiffTest, EntriesCarryChannelAndAddresses) {
    set("TxFreq[12]", "434.0");
    after.rawFields().image()[0x0904] = 0x00;
    std::vector<DiffEntry> entries = diffCodeplugs(before, after);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, DiffEntry::Kind::Field);
    EXPECT_EQ(entries[0].field, "TxFreq");
    EXPECT_EQ(entries[0].channel, 12);
    EXPECT_EQ(entries[0].before, "433.15000");
    EXPECT_EQ(entries[0].after, "434.00000");
    EXPECT_EQ(entries[1].kind, DiffEntry::Kind::Bytes);
    EXPECT_EQ(entries[1].firstAddress, 0x0904u);
    EXPECT_EQ(entries[1].lastAddress, 0x0904u);
}

// A stored value both sides read the same way (out of range: clamped) still shows, as bytes.
TEST_F(CodeplugDiffTest, DifferenceNoValueShowsIsNotHidden) {
    const std::size_t at = settingInfo(Setting::FmVfoFreq).field.offset;
    before.rawFields().image()[at] = 0xFE;
    after.rawFields().image()[at] = 0xFF;
    ASSERT_EQ(before.fields().setting(Setting::FmVfoFreq),
              after.fields().setting(Setting::FmVfoFreq))
        << "both values must read as the same clamped index";
    std::vector<DiffEntry> entries = diffCodeplugs(before, after);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, DiffEntry::Kind::Bytes);
    EXPECT_EQ(entries[0].firstAddress, at);
}

// The coverage table behind the byte ranges must match what the fields read: a field whose
// value moved with bits outside its coverage would show the same change twice, and a
// field missing from the table would show its bytes as uninterpreted.
TEST_F(CodeplugDiffTest, EveryFieldReadsOnlyTheBitsItsCoverageNames) {
    std::mt19937 random(8);
    Image noise;
    for (std::uint8_t& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    for (const Image& base : {before.image(), noise}) {
        before.rawFields().image() = base;
        for (const FieldInfo& info : fieldTable()) {
            for (int index = info.indexMin; index <= info.indexMax; ++index) {
                FieldRef field{&info, index};
                std::vector<BitSpan> spans = fieldBits(field);
                ASSERT_FALSE(spans.empty()) << field.name();
                Image mask{};
                for (const BitSpan& span : spans)
                    mask[span.address] |= span.mask;
                after.rawFields().image() = base;
                for (std::size_t a = 0; a < kImageSize; ++a)
                    after.rawFields().image()[a] ^= static_cast<std::uint8_t>(~mask[a]);
                EXPECT_EQ(field.get(before), field.get(after)) << field.name();
            }
        }
    }
}

TEST_F(CodeplugDiffTest, UninterpretedByteUsedAboveReallyIsUninterpreted) {
    std::array<std::uint8_t, kImageSize> bits = interpretedBits();
    for (std::size_t a : {0x0900u, 0x0903u, 0x0904u, 0x0F0Eu, 0x0F0Fu, 0x0F10u, 0x0F11u})
        EXPECT_EQ(bits[a], 0) << a;
    EXPECT_EQ(bits[layout::record(5) + layout::kRecShift], 0xC0);
}

}  // namespace
}  // namespace pl3
