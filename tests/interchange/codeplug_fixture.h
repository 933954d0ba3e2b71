#pragma once
// A new codeplug (factory defaults, range 0 = 400-470 MHz) and ways to program its
// channels directly through the document's field operations, for the channel-list tests.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "codeplug/document_commands.h"
#include "codeplug/frequency.h"
#include "codeplug/tone_tables.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3::test {

inline constexpr std::string_view kHeading =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// Lines joined with LF.
inline std::string lines(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += part;
        text += '\n';
    }
    return text;
}

inline int toneCode(std::string_view text) {
    return text == "off" ? tone::kOff : tone::codeOfText(text).value_or(-1);
}

struct ChannelSetup {
    const char* rx;
    const char* tx;  // "" leaves the transmit frequency empty
    bool repeater;
    const char* rxTone = "off";
    const char* txTone = "off";
    const char* name = "";
};

class CodeplugTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(makeNew(doc)); }

    bool makeNew(CMaItemDoc& target) {
        bool skip = true;
        return newDocument(target, prompter, skip);
    }

    static void program(ImageFields& target, int n, const ChannelSetup& setup) {
        target.setFrequencyText(n, Side::Receive, setup.rx);
        target.setFrequencyText(n, Side::Transmit, setup.tx);
        target.setChannelFlag(n, ChannelFlag::Repeater, setup.repeater);
        target.setToneCode(n, Side::Receive, toneCode(setup.rxTone));
        target.setToneCode(n, Side::Transmit, toneCode(setup.txTone));
        target.setChannelName(n, text_codes::encodeDisplayText(setup.name));
        // As the channel page keeps it.
        const std::int32_t rx = frequency::parse(setup.rx);
        const std::int32_t tx = frequency::parse(setup.tx);
        target.setShiftDir(n, rx > tx ? 2 : rx < tx ? 1 : 0);
    }
    void program(int n, const ChannelSetup& setup) { program(doc.rawFields(), n, setup); }

    ProgramFolder folder;
    ScriptedPrompter prompter;
    CMaItemDoc doc{folder.settings()};
};

}  // namespace pl3::test
