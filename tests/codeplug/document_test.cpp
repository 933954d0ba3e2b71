#include "codeplug/document.h"

#include <gtest/gtest.h>

#include "settings_fixture.h"

namespace pl3 {
namespace {

class DocumentTest : public ::testing::Test {
  protected:
    test::ProgramFolder folder;
    CMaItemDoc doc{folder.settings()};
};

TEST_F(DocumentTest, ClearedDocumentIsErasedWithMagicHeader) {
    doc.header()[44] = 0x12;
    doc.rawFields().image()[100] = 0;
    doc.clearContents();
    EXPECT_EQ(std::string(doc.header().begin(), doc.header().begin() + 44),
              "Korvel Amberlin PL-3 Radio Program data v1.0");
    EXPECT_EQ(doc.header()[44], 0x12);  // the reserved bytes are not part of clearing
    for (std::uint8_t b : doc.image())
        ASSERT_EQ(b, 0xFF);
    for (int n = 1; n <= kChannelCount; ++n) {
        EXPECT_TRUE(doc.fields().isEmpty(n));
        EXPECT_EQ(doc.fields().toneCode(n, Side::Receive), 0);
        EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(n)), "");
    }
    EXPECT_EQ(doc.fields().dtmfCodeText(DtmfCode::Bot), "");
    EXPECT_EQ(text_codes::decodePassword(doc.fields().powerOnPassword()), "");
}

TEST_F(DocumentTest, ChannelFrequencyStates) {
    struct Case {
        const char* rx;
        const char* tx;
        bool empty;
        bool lacks;
        bool same;
    } cases[] = {
        {"", "", true, true, true},
        {"433.075", "", false, true, false},
        {"", "433.075", true, true, false},
        {"433.075", "433.075", false, false, true},
        {"433.075", "438.075", false, false, false},
    };
    for (const Case& c : cases) {
        doc.rawFields().setFrequencyText(80, Side::Receive, c.rx);
        doc.rawFields().setFrequencyText(80, Side::Transmit, c.tx);
        EXPECT_EQ(doc.fields().isEmpty(80), c.empty) << c.rx << "/" << c.tx;
        EXPECT_EQ(doc.fields().lacksFrequency(80), c.lacks) << c.rx << "/" << c.tx;
        EXPECT_EQ(doc.fields().sameFrequencies(80), c.same) << c.rx << "/" << c.tx;
    }
    doc.rawFields().setFrequencyText(80, Side::Receive, "433.0776");
    EXPECT_EQ(doc.fields().frequencyText(80, Side::Receive), "433.08000");
    EXPECT_EQ(doc.image()[80 * 16 + 3], 0x43);
}

TEST_F(DocumentTest, TonesByCodeAndByBits) {
    doc.rawFields().setToneCode(5, Side::Transmit, 51);
    EXPECT_EQ(doc.image()[5 * 16 + 10], 0);
    EXPECT_EQ(doc.image()[5 * 16 + 11], 0xF9);
    EXPECT_EQ(doc.fields().toneCode(5, Side::Transmit), 51);
    EXPECT_EQ(doc.fields().toneCode(5, Side::Receive), 0);

    doc.rawFields().setToneKindBit(5, Side::Transmit, tone::kKindBitInverted, true);
    EXPECT_EQ(doc.image()[5 * 16 + 11], 0xFB);
    EXPECT_TRUE(doc.fields().toneKindBit(5, Side::Transmit, tone::kKindBitInverted));
    EXPECT_EQ(doc.fields().toneCode(5, Side::Transmit), 155);
    doc.rawFields().setToneIndexByte(5, Side::Receive, 8);
    EXPECT_EQ(doc.fields().toneIndexByte(5, Side::Receive), 8);
    EXPECT_EQ(doc.image()[5 * 16 + 8], 8);
}

TEST_F(DocumentTest, FlagAndShiftSettersKeepTheOtherBits) {
    doc.rawFields().image()[7 * 16 + 12] = 0xA7;
    doc.rawFields().setChannelFlag(7, ChannelFlag::TxPower, true);
    EXPECT_EQ(doc.image()[7 * 16 + 12], 0xB7);
    EXPECT_TRUE(doc.fields().channelFlag(7, ChannelFlag::TxPower));
    EXPECT_FALSE(doc.fields().channelFlag(7, ChannelFlag::Repeater));

    doc.rawFields().image()[7 * 16 + 13] = 0x3F;
    doc.rawFields().setShiftDir(7, 2);
    EXPECT_EQ(doc.image()[7 * 16 + 13], 0xBF);
    EXPECT_EQ(doc.fields().shiftDir(7), 2);
    doc.rawFields().setShiftDir(7, 1);
    EXPECT_EQ(doc.image()[7 * 16 + 13], 0x7F);
}

TEST_F(DocumentTest, NamesScanBitsAndPresetsLiveWhereTheRadioExpectsThem) {
    doc.rawFields().setChannelName(1, text_codes::encodeDisplayText("ab-1"));
    EXPECT_EQ(doc.image()[0x0A08], 12);
    EXPECT_EQ(doc.image()[0x0A0B], 1);
    EXPECT_EQ(doc.image()[0x0A0E], 0xFF);  // spare bytes of the slot untouched

    doc.rawFields().image()[0x0851] = 0x00;
    doc.rawFields().setScanMember(8, true);  // channel 9
    EXPECT_EQ(doc.image()[0x0851], 0x01);
    EXPECT_TRUE(doc.fields().scanMember(8));
    doc.rawFields().setScanMember(127, false);
    EXPECT_EQ(doc.image()[0x085F], 0x7F);

    doc.rawFields().setPreset(25, 1);
    EXPECT_EQ(doc.image()[0x0899], 0);
    EXPECT_EQ(doc.fields().preset(25), 1);
    doc.rawFields().image()[0x0899] = 0xD3;
    EXPECT_EQ(doc.fields().preset(25), 0);
    doc.rawFields().image()[0x0899] = 0xD2;
    EXPECT_EQ(doc.fields().preset(25), 211);
    doc.rawFields().setPreset(25, 0);
    EXPECT_EQ(doc.image()[0x0899], 0xFF);
}

TEST_F(DocumentTest, VfoFrequenciesUseTheVfoStep) {
    doc.rawFields().setSetting(Setting::FreqStep, 1);
    doc.rawFields().setVfoFrequencyText(frequency::VfoValue::Receive, "433.0100");
    EXPECT_EQ(doc.fields().frequencyText(kVfoRecord, Side::Receive), "433.00625");
    EXPECT_EQ(doc.image()[0x0810], 0x25);
    doc.rawFields().setVfoFrequencyText(frequency::VfoValue::Offset, "75");
    EXPECT_EQ(doc.fields().vfoOffsetText(), "69.99500");
    EXPECT_EQ(doc.image()[0x0833], 0x06);
}

TEST_F(DocumentTest, TuningValues) {
    doc.rawFields().setTuneSquelch3(0, 200);
    EXPECT_EQ(doc.fields().tuneSquelch3(0), 127);
    EXPECT_EQ(doc.image()[0x08E0], 200);
    doc.rawFields().setTuningValue(0, 144);
    doc.rawFields().setTuningValue(12, 32);
    EXPECT_EQ(doc.image()[0x08E3], 144);
    EXPECT_EQ(doc.image()[0x08EF], 32);
    EXPECT_EQ(doc.fields().tuningValue(12), 32);
}

TEST_F(DocumentTest, DtmfCodesThroughTheDocument) {
    doc.rawFields().setDtmfCodeText(DtmfCode::Eot, "12ab*#");
    EXPECT_EQ(doc.image()[0x08C0], 6);
    EXPECT_EQ(doc.image()[0x08C1], 0x12);
    EXPECT_EQ(doc.fields().dtmfCodeText(DtmfCode::Eot), "12AB*#");
    EXPECT_EQ(doc.fields().dtmfCodeText(DtmfCode::Bot), "");
}

TEST_F(DocumentTest, ViewListenersAreToldAndCanLeave) {
    int first = 0, second = 0;
    int id = doc.addViewListener([&] { ++first; });
    doc.addViewListener([&] { ++second; });
    doc.updateAllViews();
    doc.removeViewListener(id);
    doc.updateAllViews();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

}  // namespace
}  // namespace pl3
