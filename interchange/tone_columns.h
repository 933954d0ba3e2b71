#pragma once
// The seven tone columns of a channel list and the radio's two tone codes. The list
// describes tones by a mode (Tone: "", "Tone", "TSQL", "DTCS", "Cross" with CrossMode)
// plus value columns; columns the mode does not use carry fillers that mean nothing.

#include <string>
#include <string_view>
#include <vector>

namespace pl3::interchange {

struct ToneColumns {
    std::string tone;          // "", "Tone", "TSQL", "DTCS", "Cross"
    std::string rToneFreq;     // transmit CTCSS, Hz with one decimal
    std::string cToneFreq;     // receive CTCSS (both ways in TSQL)
    std::string dtcsCode;      // transmit DCS, three octal digits
    std::string dtcsPolarity;  // transmit then receive: N normal, R inverted
    std::string rxDtcsCode;    // receive DCS
    std::string crossMode;     // "Tone->DTCS", "->Tone", ...

    bool operator==(const ToneColumns&) const = default;
};

// The columns for a channel that transmits txTone and receives with rxTone.
ToneColumns toneColumnsOf(int txTone, int rxTone);

struct ToneNote {
    std::string_view textKey;
    std::string detail;
};

struct ToneReading {
    int txTone = 0;
    int rxTone = 0;
    // A tone the radio's tables do not hold, or a mode nobody defined: that side is off.
    std::vector<ToneNote> notes;
};

// Reads the columns (values without blanks around them; the caller fills the columns
// an older file lacks: RxDtcsCode from DtcsCode, CrossMode "Tone->Tone").
ToneReading readToneColumns(const ToneColumns& columns);

}  // namespace pl3::interchange
