#pragma once
// Where the radio stands once a read or a write has been stopped or has failed: how many
// blocks moved, whether the radio is unchanged, holds part of the new codeplug or all of
// it, and which backups hold the codeplugs involved. pl3ctl and the progress dialog both
// tell the user this, and it depends on nothing but the job's result.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/backup_store.h"
#include "lang/text_lookup.h"
#include "link/transfer_job.h"

namespace pl3::link {

// How a job ended, as far as the radio's memory is concerned.
struct TransferEnd {
    Direction direction;
    JobStatus status;  // the last status the job set
    int blocksDone;    // blocks the radio acknowledged (a write) or sent (a read)
    bool stopped;      // by the user, before the job ended by itself
};

enum class RadioHolds {
    Before,       // a read, or a write that never sent a block: the radio is unchanged
    MaybeFirst,   // the first block went out unacknowledged: unchanged, or that block is new
    PartOfNew,    // the blocks up to blocksDone are new, the rest are as before
    WholeOfNew,   // every block was acknowledged
    NotAffected,  // the job's own message says all (it completed, found no radio, ...)
};

RadioHolds radioHolds(const TransferEnd& end);

// The backups a write leaves for the user to go back to.
struct BackupsKept {
    bool taken = true;                   // false: backups were turned off
    std::optional<std::string> ofWrite;  // the codeplug being written
    // The newest backup of a read made on this computer: of whichever radio was read.
    std::optional<backup::BackupFile> newestRead;
};

// The lines that say where the radio stands, in the user's language; none when the job's
// own message says all.
std::vector<std::string> radioStanding(const TransferEnd& end, const BackupsKept& backups,
                                       const TextLookup& texts);

}  // namespace pl3::link
