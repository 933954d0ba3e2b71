#include "interchange/tone_columns.h"

#include <gtest/gtest.h>

#include "codeplug/text_keys.h"
#include "codeplug/tone_tables.h"

namespace pl3::interchange {

// For failure messages; found by argument-dependent lookup.
std::ostream& operator<<(std::ostream& out, const ToneColumns& c) {
    return out << c.tone << "|" << c.rToneFreq << "|" << c.cToneFreq << "|" << c.dtcsCode << "|"
               << c.dtcsPolarity << "|" << c.rxDtcsCode << "|" << c.crossMode;
}

namespace {

int code(std::string_view text) {
    if (text == "off") return tone::kOff;
    std::optional<int> found = tone::codeOfText(text);
    EXPECT_TRUE(found) << text;
    return found.value_or(-1);
}

// Every way the radio's two tones can combine, the columns they are written as, and
// back.
TEST(ToneColumnsTest, EachToneCombinationHasItsModeAndReadsBack) {
    struct Case {
        const char* tx;
        const char* rx;
        ToneColumns columns;
    };
    const Case cases[] = {
        {"off", "off", {"", "88.5", "88.5", "023", "NN", "023", "Tone->Tone"}},
        {"100.0", "off", {"Tone", "100.0", "88.5", "023", "NN", "023", "Tone->Tone"}},
        {"254.1", "254.1", {"TSQL", "254.1", "254.1", "023", "NN", "023", "Tone->Tone"}},
        {"D754N", "D754N", {"DTCS", "88.5", "88.5", "754", "NN", "754", "Tone->Tone"}},
        {"D023N", "D023I", {"DTCS", "88.5", "88.5", "023", "NR", "023", "Tone->Tone"}},
        {"D025I", "D025N", {"DTCS", "88.5", "88.5", "025", "RN", "025", "Tone->Tone"}},
        {"D051I", "D051I", {"DTCS", "88.5", "88.5", "051", "RR", "051", "Tone->Tone"}},
        {"67.0", "71.9", {"Cross", "67.0", "71.9", "023", "NN", "023", "Tone->Tone"}},
        {"D065N", "off", {"Cross", "88.5", "88.5", "065", "NN", "023", "DTCS->"}},
        {"off", "D071I", {"Cross", "88.5", "88.5", "023", "NR", "071", "->DTCS"}},
        {"123.0", "D072N", {"Cross", "123.0", "88.5", "023", "NN", "072", "Tone->DTCS"}},
        {"D073I", "131.8", {"Cross", "88.5", "131.8", "073", "RN", "023", "DTCS->Tone"}},
        {"off", "85.4", {"Cross", "88.5", "85.4", "023", "NN", "023", "->Tone"}},
        {"D114N", "D115I", {"Cross", "88.5", "88.5", "114", "NR", "115", "DTCS->DTCS"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tx) + " / " + c.rx);
        EXPECT_EQ(toneColumnsOf(code(c.tx), code(c.rx)), c.columns);
        ToneReading reading = readToneColumns(c.columns);
        EXPECT_EQ(reading.txTone, code(c.tx));
        EXPECT_EQ(reading.rxTone, code(c.rx));
        EXPECT_TRUE(reading.notes.empty());
    }
}

// What other programs write that this one never does: the fillers of other radios,
// other spellings, the one cross mode this program writes as "Tone", and values the
// tables lack.
TEST(ToneColumnsTest, ReadsOtherWritersAndReportsWhatTheRadioLacks) {
    struct Case {
        const char* what;
        ToneColumns columns;
        const char* tx;
        const char* rx;
        std::string_view noteKey;  // empty: no note
        const char* noteDetail;
    };
    const Case cases[] = {
        {"fillers of no mode are ignored",
         {"", "123.0", "67.0", "754", "RR", "017", "->DTCS"},
         "off",
         "off",
         {},
         ""},
        {"Tone ignores cToneFreq", {"Tone", "77.0", "79.7", "", "", "", ""}, "77.0", "off", {}, ""},
        {"TSQL takes cToneFreq both ways",
         {"TSQL", "88.5", "94.8", "", "", "", ""},
         "94.8",
         "94.8",
         {},
         ""},
        {"letter case and spelled-out decimals",
         {"tsql", "", "100.00", "", "", "", ""},
         "100.0",
         "100.0",
         {},
         ""},
        {"whole hertz", {"Tone", "67", "", "", "", "", ""}, "67.0", "off", {}, ""},
        {"DCS without leading zeros",
         {"DTCS", "", "", "23", "nr", "", ""},
         "D023N",
         "D023I",
         {},
         ""},
        {"DTCS uses DtcsCode both ways",
         {"DTCS", "", "", "026", "NN", "754", ""},
         "D026N",
         "D026N",
         {},
         ""},
        {"missing polarity reads as normal",
         {"DTCS", "", "", "031", "", "", ""},
         "D031N",
         "D031N",
         {},
         ""},
        {"Cross Tone->",
         {"Cross", "203.5", "88.5", "023", "NN", "023", "tone->"},
         "203.5",
         "off",
         {},
         ""},
        {"CTCSS not in the table",
         {"Tone", "69.4", "", "", "", "", ""},
         "off",
         "off",
         text_key::kCsvToneUnsupported,
         "69.4"},
        {"CTCSS off the tenth",
         {"TSQL", "", "88.55", "", "", "", ""},
         "off",
         "off",
         text_key::kCsvToneUnsupported,
         "88.55"},
        {"DCS code not in the table",
         {"DTCS", "", "", "017", "NN", "", ""},
         "off",
         "off",
         text_key::kCsvToneUnsupported,
         "017 N"},
        {"DCS digit 8 is no octal code",
         {"Cross", "", "", "023", "NN", "028", "DTCS->DTCS"},
         "D023N",
         "off",
         text_key::kCsvToneUnsupported,
         "028 N"},
        {"unknown polarity letter",
         {"Cross", "", "", "023", "XN", "", "DTCS->"},
         "off",
         "off",
         text_key::kCsvToneUnsupported,
         "023 X"},
        {"mode this radio lacks",
         {"TSQL-R", "", "88.5", "", "", "", ""},
         "off",
         "off",
         text_key::kCsvToneMode,
         "TSQL-R"},
        {"unknown cross mode",
         {"Cross", "", "", "", "", "", "Tone->Tone->"},
         "off",
         "off",
         text_key::kCsvToneMode,
         "Cross Tone->Tone->"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ToneReading reading = readToneColumns(c.columns);
        EXPECT_EQ(reading.txTone, code(c.tx));
        EXPECT_EQ(reading.rxTone, code(c.rx));
        if (c.noteKey.empty()) {
            EXPECT_TRUE(reading.notes.empty());
        } else {
            ASSERT_EQ(reading.notes.size(), 1u);
            EXPECT_EQ(reading.notes[0].textKey, c.noteKey);
            EXPECT_EQ(reading.notes[0].detail, c.noteDetail);
        }
    }
}

}  // namespace
}  // namespace pl3::interchange
