#include "codeplug/document_commands.h"

#include "codeplug/data_file.h"
#include "codeplug/factory_defaults.h"
#include "codeplug/text_keys.h"

namespace pl3 {

namespace {

std::string pathAndReason(const std::string& path, const platform::FileError& error) {
    return path + "\n" + error.describe();
}

void resetToNew(CMaItemDoc& doc) {
    doc.clearContents();
    doc.setPathName({});
    doc.setFileStamp(std::nullopt);
    doc.setModifiedFlag(false);
    doc.selectRange(0);
    applyFactoryDefaults(doc.rawFields());
}

// Before a save over the document's own file: one another program wrote (or replaced)
// since it was opened or saved here is replaced only when the user agrees.
bool mayReplaceOwnFile(const CMaItemDoc& doc, const std::string& path, Prompter& prompter) {
    if (path != doc.pathName() || !doc.fileStamp()) return true;
    std::optional<platform::FileStamp> now = platform::fileStampOf(path);
    if (!now || *now == *doc.fileStamp()) return true;
    return prompter.askOkCancel(
        {text_key::kPrompt, text_key::kWarnFileChangedElsewhere, path, PromptIcon::Exclamation});
}

}  // namespace

PromptMessage saveFailure(const std::string& path, const platform::FileError& error) {
    if (error.partlyWritten) {
        return {text_key::kError, text_key::kErrorSavePartly,
                pathAndReason(path, error) + "\n" + error.completeCopy, PromptIcon::Stop};
    }
    if (error.notRegularFile)
        return {text_key::kError, text_key::kErrorNotRegularFile, path, PromptIcon::Stop};
    return {text_key::kError, text_key::kErrorSaveFile, pathAndReason(path, error),
            PromptIcon::Stop};
}

void tellSharedNames(const std::string& path, const platform::WriteNotes& notes,
                     Prompter& prompter) {
    if (notes.otherNames == 0) return;
    prompter.showMessage({text_key::kPrompt, text_key::kWarnHardLinks,
                          path + " (+" + std::to_string(notes.otherNames) + ")",
                          PromptIcon::Exclamation});
}

bool newDocument(CMaItemDoc& doc, Prompter& prompter, bool& skipPrompt) {
    if (skipPrompt) {
        skipPrompt = false;
    } else if (!prompter.askOkCancel(
                   {text_key::kPrompt, text_key::kWarnClear, {}, PromptIcon::Exclamation})) {
        return false;
    }
    resetToNew(doc);
    doc.startHistory(true);
    doc.updateAllViews();
    return true;
}

void restartInRange(CMaItemDoc& doc, int index) {
    doc.clearContents();
    doc.selectRange(index);
    applyFactoryDefaults(doc.rawFields());
    doc.setModifiedFlag(true);
    doc.startHistory(false);
}

OpenOutcome openDocument(CMaItemDoc& doc, const std::string& path, Prompter& prompter) {
    // Taken before the read: a change while reading shows as one at the next save.
    std::optional<platform::FileStamp> stamp = platform::fileStampOf(path);
    Header header = doc.header();
    Image image;
    image.fill(kErased);
    data_file::writeMagic(header);
    data_file::ReadResult read = data_file::read(path, header, image);

    switch (read.status) {
        case data_file::ReadStatus::FileError:
            prompter.showMessage({text_key::kError, text_key::kErrorOpenFile,
                                  pathAndReason(path, read.error), PromptIcon::Stop});
            return OpenOutcome::FileError;
        case data_file::ReadStatus::WrongMagic:
            prompter.showMessage({{}, text_key::kWarnLoad, "\n" + path, PromptIcon::Stop});
            return OpenOutcome::NotADataFile;
        case data_file::ReadStatus::Incomplete:
        case data_file::ReadStatus::Complete:
            break;
    }

    doc.header() = header;
    doc.rawFields().image() = image;
    doc.deriveRangeLimits();
    doc.setPathName(path);
    doc.setFileStamp(stamp);
    doc.setModifiedFlag(false);
    doc.setFromIncompleteFile(read.status == data_file::ReadStatus::Incomplete);
    doc.startHistory(true);
    doc.updateAllViews();
    if (read.status == data_file::ReadStatus::Incomplete) {
        prompter.showMessage(
            {text_key::kPrompt, text_key::kWarnIncomplete, path, PromptIcon::Exclamation});
        return OpenOutcome::LoadedIncomplete;
    }
    return OpenOutcome::Loaded;
}

bool storeDocument(CMaItemDoc& doc, const std::string& path, Prompter& prompter) {
    platform::FileError error;
    platform::WriteNotes notes;
    if (!data_file::write(path, doc.header(), doc.image(), &error, &notes)) {
        prompter.showMessage(saveFailure(path, error));
        return false;
    }
    tellSharedNames(path, notes, prompter);
    doc.setPathName(path);
    doc.setFileStamp(platform::fileStampOf(path));
    doc.setModifiedFlag(false);
    doc.markSaved();
    doc.deriveRangeLimits();
    return true;
}

bool saveCommand(CMaItemDoc& doc, Prompter& prompter,
                 const std::function<std::optional<std::string>()>& chooseSavePath) {
    if (!doc.pathName().empty()) {
        if (!prompter.askOkCancel({text_key::kPrompt, text_key::kWarnSave, doc.pathName(),
                                   PromptIcon::Exclamation}) ||
            !mayReplaceOwnFile(doc, doc.pathName(), prompter)) {
            return false;
        }
        return storeDocument(doc, doc.pathName(), prompter);
    }
    std::optional<std::string> path = chooseSavePath();
    return path && storeDocument(doc, *path, prompter);
}

bool saveModified(CMaItemDoc& doc, Prompter& prompter,
                  const std::function<std::optional<std::string>()>& chooseSavePath) {
    if (!doc.isModified()) return true;
    switch (prompter.askYesNoCancel(
        {{}, text_key::kAskSaveChanges, doc.pathName(), PromptIcon::Exclamation})) {
        case PromptAnswer::No:
            return true;
        case PromptAnswer::Cancel:
            return false;
        case PromptAnswer::Yes:
            break;
    }
    std::optional<std::string> path =
        doc.pathName().empty() ? chooseSavePath() : std::optional<std::string>(doc.pathName());
    return path && mayReplaceOwnFile(doc, *path, prompter) && storeDocument(doc, *path, prompter);
}

}  // namespace pl3
