#include "editors/difference_words.h"

#include <gtest/gtest.h>

#include "codeplug/field_registry.h"
#include "document_fixture.h"

namespace pl3 {
namespace {

// A difference as the dialog groups it and the line gives it.
struct Shown {
    ComparePage page;
    std::string line;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << static_cast<int>(shown.page) << " " << shown.line;
}

class DifferenceWordsTest : public test::DocumentFixture {
  protected:
    CMaItemDoc other{folder.settings()};
    TextLookup chinese{folder.file("chinese.lang")};
};

TEST_F(DifferenceWordsTest, EachDifferenceReadsAsItsPageShowsIt) {
    struct Change {
        const char* field;
        const char* open;
        const char* inFile;
    };
    struct Case {
        const char* what;
        std::vector<Change> changes;
        const TextLookup& texts;
        std::vector<Shown> shown;
    } cases[] = {
        {"flag column",
         {{"BusyLock[1]", "0", "1"}},
         texts,
         {{ComparePage::Channels, "Channel 1 · Busy Lock: On → Off"}}},
        {"frequency, blank on one side",
         {{"RxFreq[80]", "", "433.1"}},
         texts,
         {{ComparePage::Channels, "Channel 80 · RX Freq: (empty) → 433.10000"}}},
        {"tone",
         {{"RxTone[5]", "off", "D023N"}},
         texts,
         {{ComparePage::Channels, "Channel 5 · CTC/DCS Decode: Off → D023N"}}},
        {"name",
         {{"ChannelName[3]", "", "AB"}},
         texts,
         {{ComparePage::Channels, "Channel 3 · Name: (empty) → AB"}}},
        {"functions page list",
         {{"BackLamp", "1", "2"}},
         texts,
         {{ComparePage::Functions, "Backlight: Automatic → Always on"}}},
        {"functions page check box",
         {{"KeyBeep", "1", "0"}},
         texts,
         {{ComparePage::Functions, "Key tone: Yes → No"}}},
        {"radio page list",
         {{"SideKey1Short", "0", "2"}},
         texts,
         {{ComparePage::Radio, "Side key 1 short: None → Scan"}}},
        {"scan list",
         {{"ScanList[9]", "0", "1"}},
         texts,
         {{ComparePage::Radio, "Channel 9: Channels not scanned → Channels scanned"}}},
        {"FM preset",
         {{"FmPreset[3]", "0", "11"}},
         texts,
         {{ComparePage::Radio, "Preset 3: Off → 88.0"}}},
        {"no page shows it",
         {{"BeatShift[5]", "0", "1"}},
         texts,
         {{ComparePage::Unshown, "BeatShift[5]: 0 → 1"}}},
        {"pages in tab order, what no page shows last",
         {{"FmRadio", "0", "1"},
          {"BeatShift[5]", "0", "1"},
          {"BackLamp", "1", "0"},
          {"RxFreq[80]", "433.1", "433.2"}},
         texts,
         {{ComparePage::Channels, "Channel 80 · RX Freq: 433.10000 → 433.20000"},
          {ComparePage::Functions, "Backlight: Automatic → Off"},
          {ComparePage::Radio, "FM radio on: No → Yes"},
          {ComparePage::Unshown, "BeatShift[5]: 0 → 1"}}},
        {"Chinese",
         {{"BusyLock[1]", "0", "1"}},
         chinese,
         {{ComparePage::Channels, "信道 1 · 遇忙禁发：开 → 关"}}},
    };
    const Image start = doc.image();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.rawFields().image() = start;
        other.rawFields().image() = start;
        for (const Change& change : c.changes) {
            std::optional<FieldRef> field = findField(change.field);
            ASSERT_TRUE(field) << change.field;
            ASSERT_TRUE(field->set(doc, change.open)) << change.field;
            ASSERT_TRUE(field->set(other, change.inFile)) << change.field;
        }
        std::vector<Shown> shown;
        for (const WordedDifference& d :
             wordDifferences(diffCodeplugs(doc, other), doc, other, c.texts))
            shown.push_back({d.page, wordedLine(d, c.texts)});
        EXPECT_EQ(shown, c.shown);
    }
}

// A byte of the image is named as the compare view names its field; a byte of a channel
// that no column shows names the channel; the document is left as it was.
TEST_F(DifferenceWordsTest, AnAddressIsNamedAsTheCompareViewNamesIt) {
    struct Case {
        int address;
        const TextLookup& texts;
        std::string place;
    } cases[] = {
        {80 * 16, texts, "Channel 80 · RX Freq"},
        {80 * 16, chinese, "信道 80 · 接收频率"},
        {0x08A0, texts, "Backlight"},
        {20 * 16 + 15, texts, "Channel 20"},
        {0x0004, texts, ""},  // the model identification
    };
    for (const Case& c : cases) {
        const Image before = doc.image();
        EXPECT_EQ(addressPlace(doc, c.address, c.texts), c.place) << c.address;
        EXPECT_EQ(doc.image(), before);
    }
}

}  // namespace
}  // namespace pl3
