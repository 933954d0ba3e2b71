#include "link/radio_standing.h"

#include <ctime>

#include "codeplug/text_keys.h"
#include "platform/local_time.h"

namespace pl3::link {

namespace {

std::string localTimeText(std::time_t when) {
    const std::tm local = platform::localTime(when);
    char text[32];
    return {text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local)};
}

std::string blocksLine(std::string_view key, int blocksDone, const TextLookup& texts) {
    return withNumbers(texts.text(key), {blocksDone, kBlockCount});
}

// Never "what this radio held": the newest read may be of any radio.
std::string newestReadLine(const backup::BackupFile& read, const TextLookup& texts) {
    const std::string made = localTimeText(read.made);
    std::string line =
        read.port.empty()
            ? withTexts(texts.text(text_key::kBackupOfNewestRead), {made})
            : withTexts(texts.text(text_key::kBackupOfNewestReadPort), {made, read.port});
    return line + read.path;
}

}  // namespace

RadioHolds radioHolds(const TransferEnd& end) {
    if (end.direction == Direction::Read) return RadioHolds::Before;
    if (end.stopped) {
        if (end.blocksDone == 0) return RadioHolds::Before;
        return end.blocksDone < kBlockCount ? RadioHolds::PartOfNew : RadioHolds::WholeOfNew;
    }
    if (end.status != JobStatus::WriteFailed) return RadioHolds::NotAffected;
    // The block that failed went out: the radio may have stored it without a word.
    return end.blocksDone == 0 ? RadioHolds::MaybeFirst : RadioHolds::PartOfNew;
}

std::vector<std::string> radioStanding(const TransferEnd& end, const BackupsKept& backups,
                                       const TextLookup& texts) {
    std::vector<std::string> lines;
    switch (radioHolds(end)) {
        case RadioHolds::NotAffected:
            return lines;
        case RadioHolds::Before:
            if (!end.stopped) return lines;
            if (end.direction == Direction::Read) {
                lines.push_back(blocksLine(text_key::kCliReadStopped, end.blocksDone, texts));
            } else {
                lines.push_back(texts.text(text_key::kCliWriteStoppedUnchanged));
            }
            return lines;
        case RadioHolds::MaybeFirst:
            lines.push_back(texts.text(text_key::kWriteFailedAtFirstBlock));
            break;
        case RadioHolds::PartOfNew:
            lines.push_back(blocksLine(
                end.stopped ? text_key::kCliWriteStopped : text_key::kWriteFailedAfterBlock,
                end.blocksDone, texts));
            break;
        case RadioHolds::WholeOfNew:
            lines.push_back(blocksLine(text_key::kWriteStoppedWhole, end.blocksDone, texts));
            break;
    }
    if (!backups.taken) {
        lines.push_back(texts.text(text_key::kCliNoBackup));
        return lines;
    }
    if (backups.newestRead) lines.push_back(newestReadLine(*backups.newestRead, texts));
    if (backups.ofWrite)
        lines.push_back(texts.text(text_key::kCliBackupOfWrite) + *backups.ofWrite);
    return lines;
}

}  // namespace pl3::link
