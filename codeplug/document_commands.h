#pragma once
// What the file commands do to the document: new, open, store and the confirmed save.
// Questions and failures reach the user through the Prompter; every path leaves either
// the complete new state or the document exactly as it was.

#include <functional>
#include <optional>
#include <string>

#include "codeplug/document.h"
#include "platform/atomic_file.h"
#include "platform/prompter.h"

namespace pl3 {

// Resets the document to a new codeplug: cleared image, range 0, factory defaults, no
// path, not modified. Asks "IDS_WARN_CLEAR" first unless skipPrompt is set (which it
// then clears). Cancel leaves the document untouched and returns false.
bool newDocument(CMaItemDoc& doc, Prompter& prompter, bool& skipPrompt);

// The channel page's range change: channels of one band make no sense in another, so the
// whole codeplug starts again in range index with the factory defaults, modified, and
// with a fresh history (undoing into another band's channels would make no sense).
void restartInRange(CMaItemDoc& doc, int index);

enum class OpenOutcome {
    Loaded,
    LoadedIncomplete,  // the file ended early: loaded what it held and told the user
    NotADataFile,      // wrong magic: told the user, document untouched
    FileError,         // could not read it: told the user, document untouched
};

// Opens a data file as the document: the file is read before anything changes, so a
// file that cannot be used never costs the current document. A file that ended early
// leaves the document marked as loaded from an incomplete file.
OpenOutcome openDocument(CMaItemDoc& doc, const std::string& path, Prompter& prompter);

// What a failed save tells the user: the path and the system's reason, or that the path
// names something other than a regular file (a device, a FIFO), which is never written,
// or that the file is now partly written and which file holds the complete new content.
PromptMessage saveFailure(const std::string& path, const platform::FileError& error);

// After a save: a file with further names (hard links) was changed under all of them.
void tellSharedNames(const std::string& path, const platform::WriteNotes& notes,
                     Prompter& prompter);

// Writes header and image to path atomically; on success the document takes the path
// and the file's stamp, is no longer modified and derives its limits again.
bool storeDocument(CMaItemDoc& doc, const std::string& path, Prompter& prompter);

// File Save: a document with a path asks "IDS_WARN_SAVE" + path first; one without a
// path asks for a file name through chooseSavePath (nullopt = cancelled). Its own file
// written by another program since it was opened or saved here (another size,
// modification time or file) is replaced only after "IDS_WARN_FILE_CHANGED_ELSEWHERE".
bool saveCommand(CMaItemDoc& doc, Prompter& prompter,
                 const std::function<std::optional<std::string>()>& chooseSavePath);

// Before a modified document is discarded (new, open, exit): "IDS_ASK_SAVECHANGES".
// Yes saves it (to its file, asking as File Save does when another program wrote that
// file, or to one chosen through chooseSavePath), No lets it go, Cancel keeps it. True
// when the caller may go on.
bool saveModified(CMaItemDoc& doc, Prompter& prompter,
                  const std::function<std::optional<std::string>()>& chooseSavePath);

}  // namespace pl3
