#pragma once
// Automatic backups: every image read from the radio and every image about to be written
// to it is kept as a data file in the user's own data folder, so that what the radio held
// before a bad write, or a read the user overwrote, can still be opened. Backups older
// than kKeepDays are removed. A backup that cannot be saved never stops the radio job: the
// user is warned once, and the job goes on.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "codeplug/image_layout.h"
#include "platform/prompter.h"

namespace pl3::backup {

enum class Event { Read, BeforeWrite };

inline constexpr int kKeepDays = 90;

// <user data folder>/pl3/backups (on Linux ~/.local/share/pl3/backups, following
// XDG_DATA_HOME); empty when the platform names no user data folder.
std::string defaultFolder();

// "2026-12-07_131502_read.PL-3", "2026-12-07_131502_before-write.PL-3"; a further backup
// of the same event in the same second takes sequence 2, 3 ...: "2026-12-07_131502-2_read.PL-3".
std::string fileName(const std::tm& localTime, Event event, int sequence = 1);

// The local time a backup's file name carries; nullopt for every other name.
std::optional<std::time_t> timeOf(std::string_view fileName);

// A backup file, when it was made, and for a read the device it was read from (empty when
// not known: the backup is older, or its note is missing).
struct BackupFile {
    std::string path;
    std::time_t made;
    std::string port;
};

class BackupStore {
  public:
    explicit BackupStore(std::string folder = defaultFolder()) : folder_(std::move(folder)) {}

    const std::string& folder() const { return folder_; }

    // Saves the image as a new backup file (creating the folder when needed), then prunes.
    // Returns the file's path. On failure the first one in this store's life is shown
    // through the prompter; nullopt either way. port, when given, is noted beside the
    // backup ("…_read.port") as the device the image came from.
    std::optional<std::string> save(const Image& image, Event event, Prompter& prompter,
                                    std::time_t now = std::time(nullptr),
                                    const std::string& port = {});

    // The newest backup of the event in the folder; nullopt when there is none.
    std::optional<BackupFile> latest(Event event) const;

    // Removes this program's backups named more than kKeepDays before now, with their port
    // notes; any other file in the folder stays. Returns how many backups were removed.
    int prune(std::time_t now) const;

  private:
    std::string folder_;
    bool warned_ = false;
};

}  // namespace pl3::backup
