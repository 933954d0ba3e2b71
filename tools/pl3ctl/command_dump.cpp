// pl3ctl dump: every field of a codeplug file, as a table for reading or as JSON.

#include <cstdio>
#include <iostream>

#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"
#include "codeplug/frequency.h"
#include "codeplug/text_keys.h"
#include "editors/channel_table.h"
#include "editors/setting_items.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"
#include "tools/pl3ctl/json_writer.h"
#include "tools/pl3ctl/text_table.h"

namespace pl3::cli {

namespace {

std::string hexCode(const freq_range::Code& code) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", code[0], code[1], code[2], code[3]);
    return text;
}

bool isChannelField(const FieldInfo& info) {
    return info.indexMin == 1 && info.indexMax >= kChannelCount;
}

// ---- plain text ----

// Equal, transmit above, transmit below; 3 is not a direction the channel page writes.
constexpr const char* kShiftSymbols[] = {"=", "+", "-", "3"};

void printChannels(const ImageFields& fields, const TextLookup& texts, std::ostream& out) {
    TextTable table;
    std::vector<std::string> heading = {"Ch", "RxFreq", "TxFreq", "RxTone", "TxTone"};
    for (const ChannelOption& option : kChannelOptions)
        heading.emplace_back(option.name);
    heading.insert(heading.end(), {"ShiftDir", "ChannelName", "ScanList"});
    table.addRow(heading);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (fields.isEmpty(n)) {
            table.addRow({std::to_string(n), "-"});
            continue;
        }
        std::string transmit = fields.frequencyText(n, Side::Transmit);
        std::vector<std::string> row = {std::to_string(n), fields.frequencyText(n, Side::Receive),
                                        transmit.empty() ? std::string("-") : transmit,
                                        ChannelTable::toneWord(fields, n, Side::Receive, texts),
                                        ChannelTable::toneWord(fields, n, Side::Transmit, texts)};
        for (const ChannelOption& option : kChannelOptions)
            row.push_back(ChannelTable::optionWord(fields, n, option, texts));
        row.push_back(kShiftSymbols[fields.shiftDir(n)]);
        std::string name = text_codes::decodeDisplayText(fields.channelName(n));
        row.push_back(name.empty() ? "-" : name);
        row.push_back(texts.text(fields.scanMember(n - 1) ? text_key::kYes : text_key::kNo));
        table.addRow(row);
    }
    out << "Channels (- = empty)\n";
    table.print(out, "  ");
}

void printSettings(const CMaItemDoc& doc, const TextLookup& texts, std::ostream& out) {
    TextTable table;
    for (const SettingInfo& info : settingTable()) {
        int index = doc.fields().setting(info.id);
        table.addRow({std::string(info.name), std::to_string(index),
                      settingValueText(info.id, index, texts)});
    }
    auto addText = [&](std::string_view name) {
        std::optional<FieldRef> field = findField(name);
        table.addRow({std::string(name), field->get(doc)});
    };
    for (std::string_view name : {"VfoOffset", "BotCode", "EotCode", "PowerOnPassword",
                                  "PowerOnMessage", "TuneBattery", "TuneVox1", "TuneVox9"})
        addText(name);
    table.addRow({"RxFreq[129] (VFO)", doc.fields().frequencyText(kVfoRecord, Side::Receive)});
    out << "Settings\n";
    table.print(out, "  ");
}

void printLists(const ImageFields& fields, const TextLookup& texts, std::ostream& out) {
    out << "FmPreset (1-" << kFmPresetCount << "):";
    for (int p = 1; p <= kFmPresetCount; ++p) {
        int value = fields.preset(p);
        out << " " << (value == 0 ? texts.text(text_key::kOff) : frequency::fmText(value - 1));
    }
    out << "\nTuneSquelch3 (0-2):";
    for (int i = 0; i < 3; ++i)
        out << " " << fields.tuneSquelch3(i);
    out << "\nTuneHighPower (0-4):";
    for (int j = 0; j < 5; ++j)
        out << " " << fields.tuningValue(j);
    out << "\nTuneLowPower (0-4):";
    for (int j = 5; j < 10; ++j)
        out << " " << fields.tuningValue(j);
    out << "\n";
}

void printPlain(const CMaItemDoc& doc, const CliContext& context, std::ostream& out) {
    int range = doc.rangeIndex();
    out << "File: " << doc.pathName() << "\n"
        << "FreqRangeCode: " << hexCode(doc.fields().freqRangeCode()) << "  range " << range
        << " \"" << context.settings.freqRangeText(range).value_or("") << "\"  "
        << frequency::limitText(doc.lowerLimit()) << " - " << frequency::limitText(doc.upperLimit())
        << " MHz\n\n";
    printChannels(doc.fields(), context.texts, out);
    out << "\n";
    printSettings(doc, context.texts, out);
    out << "\n";
    printLists(doc.fields(), context.texts, out);
}

// ---- JSON: every field under its own name, values as `set` takes them ----

void printJson(const CMaItemDoc& doc, const CliContext& context, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.string("file", doc.pathName());
    json.string("FreqRangeCode", hexCode(doc.fields().freqRangeCode()));
    json.number("rangeIndex", doc.rangeIndex());
    json.string("rangeText", context.settings.freqRangeText(doc.rangeIndex()).value_or(""));
    json.string("lowerLimit", frequency::limitText(doc.lowerLimit()));
    json.string("upperLimit", frequency::limitText(doc.upperLimit()));

    json.beginArray("channels");
    for (int n = 1; n <= kChannelCount; ++n) {
        json.beginObject();
        json.number("channel", n);
        for (const FieldInfo& info : fieldTable()) {
            if (isChannelField(info)) json.value(info.name, info.get(doc, n), info.numeric);
        }
        json.endObject();
    }
    json.endArray();
    json.string("RxFreq[129]", doc.fields().frequencyText(kVfoRecord, Side::Receive));

    for (const FieldInfo& info : fieldTable()) {
        if (isChannelField(info)) continue;
        if (!info.indexed()) {
            json.value(info.name, info.get(doc, 0), info.numeric);
            continue;
        }
        json.beginArray(info.name);
        for (int i = info.indexMin; i <= info.indexMax; ++i)
            json.value({}, info.get(doc, i), info.numeric);
        json.endArray();
    }
    json.endObject();
}

}  // namespace

// pl3ctl dump [--json] FILE
int runDump(CliContext& context, const Arguments& args) {
    bool asJson = false;
    std::string path;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            asJson = true;
        } else if (path.empty() && !arg.starts_with("-")) {
            path = arg;
        } else {
            printUsage(std::cerr);
            return kExitUsage;
        }
    }
    if (path.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    CMaItemDoc doc(context.settings);
    OpenOutcome outcome = openDocument(doc, path, context.prompter);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
        return kExitFileError;
    if (asJson) {
        printJson(doc, context, std::cout);
    } else {
        printPlain(doc, context, std::cout);
    }
    return kExitDone;
}

}  // namespace pl3::cli
