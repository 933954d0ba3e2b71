#include "codeplug/document_commands.h"

#include <gtest/gtest.h>

#include "codeplug/data_file.h"
#include "codeplug/text_keys.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

class DocumentCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.addViewListener([this] { ++viewUpdates; });
        bool skip = true;
        ASSERT_TRUE(newDocument(doc, prompter, skip));
        viewUpdates = 0;
    }

    // A saved codeplug with one distinctive channel, the given range and reserved bytes.
    std::string savedFile(const std::string& name, int range = 0) {
        CMaItemDoc other(folder.settings());
        bool skip = true;
        newDocument(other, prompter, skip);
        other.selectRange(range);
        other.rawFields().setFrequencyText(90, Side::Receive, "435.5");
        other.header()[44] = 0xDE, other.header()[47] = 0xAD;
        std::string path = folder.file(name);
        EXPECT_TRUE(storeDocument(other, path, prompter));
        return path;
    }

    struct Snapshot {
        Header header;
        Image image;
        std::string path;
        bool modified;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const {
        return {doc.header(), doc.image(), doc.pathName(), doc.isModified()};
    }

    test::ProgramFolder folder;
    test::ScriptedPrompter prompter;
    CMaItemDoc doc{folder.settings()};
    int viewUpdates = 0;
};

TEST_F(DocumentCommandsTest, NewWithTheSkipFlagAsksNothing) {
    doc.rawFields().setFrequencyText(80, Side::Receive, "440");
    doc.setModifiedFlag(true);
    doc.setPathName("/x.PL-3");
    bool skip = true;
    EXPECT_TRUE(newDocument(doc, prompter, skip));
    EXPECT_FALSE(skip);
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_TRUE(doc.fields().isEmpty(80));
    EXPECT_EQ(doc.fields().frequencyText(1, Side::Receive), "446.00625");
    EXPECT_EQ(doc.pathName(), "");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.upperLimit(), 47'000'000);
    EXPECT_EQ(viewUpdates, 1);
}

TEST_F(DocumentCommandsTest, NewAsksAndCancelLeavesTheDocumentAsItWas) {
    doc.rawFields().setFrequencyText(80, Side::Receive, "440");
    doc.setModifiedFlag(true);
    doc.setPathName("/x.PL-3");
    Snapshot before = snapshot();
    bool skip = false;
    prompter.answer(false);
    EXPECT_FALSE(newDocument(doc, prompter, skip));
    ASSERT_EQ(prompter.prompts().size(), 1u);
    const test::RecordedPrompt& asked = prompter.prompts()[0];
    EXPECT_EQ(asked.textKey, text_key::kWarnClear);
    EXPECT_EQ(asked.captionKey, text_key::kPrompt);
    EXPECT_EQ(asked.icon, PromptIcon::Exclamation);
    EXPECT_TRUE(asked.question);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(viewUpdates, 0);

    prompter.answer(true);
    EXPECT_TRUE(newDocument(doc, prompter, skip));
    EXPECT_TRUE(doc.fields().isEmpty(80));
}

TEST_F(DocumentCommandsTest, OpenLoadsTheFileAndItsRange) {
    std::string path = savedFile("a.PL-3", 1);
    doc.setModifiedFlag(true);
    EXPECT_EQ(openDocument(doc, path, prompter), OpenOutcome::Loaded);
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_EQ(doc.fields().frequencyText(90, Side::Receive), "435.50000");
    EXPECT_EQ(doc.pathName(), path);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.lowerLimit(), 43'000'000);
    EXPECT_EQ(doc.upperLimit(), 44'000'000);
    EXPECT_EQ(viewUpdates, 1);
}

TEST_F(DocumentCommandsTest, ReservedHeaderBytesSurviveOpenAndSave) {
    std::string path = savedFile("a.PL-3");
    ASSERT_EQ(openDocument(doc, path, prompter), OpenOutcome::Loaded);
    std::string copy = folder.file("copy.PL-3");
    ASSERT_TRUE(storeDocument(doc, copy, prompter));
    EXPECT_EQ(test::readBytes(copy), test::readBytes(path));
    std::vector<std::uint8_t> bytes = test::readBytes(copy);
    EXPECT_EQ(bytes[44], 0xDE);
    EXPECT_EQ(bytes[47], 0xAD);
}

TEST_F(DocumentCommandsTest, FilesThatCannotBeUsedLeaveTheDocumentUntouched) {
    struct Case {
        const char* what;
        std::string path;
        OpenOutcome outcome;
        std::string_view textKey;
    } cases[] = {
        {"other program", folder.write("other.PL-3", std::string(4144, 'x')),
         OpenOutcome::NotADataFile, text_key::kWarnLoad},
        {"empty file", folder.write("empty.PL-3", ""), OpenOutcome::NotADataFile,
         text_key::kWarnLoad},
        {"missing", folder.file("missing.PL-3"), OpenOutcome::FileError, text_key::kErrorOpenFile},
        {"directory", folder.path(), OpenOutcome::FileError, text_key::kErrorOpenFile},
    };
    doc.rawFields().setFrequencyText(80, Side::Receive, "440");
    doc.setModifiedFlag(true);
    for (const Case& c : cases) {
        test::ScriptedPrompter messages;
        Snapshot before = snapshot();
        EXPECT_EQ(openDocument(doc, c.path, messages), c.outcome) << c.what;
        ASSERT_EQ(messages.prompts().size(), 1u) << c.what;
        EXPECT_EQ(messages.prompts()[0].textKey, c.textKey) << c.what;
        EXPECT_EQ(messages.prompts()[0].icon, PromptIcon::Stop) << c.what;
        EXPECT_TRUE(snapshot() == before) << c.what;
    }
    EXPECT_EQ(viewUpdates, 0);
}

TEST_F(DocumentCommandsTest, IncompleteFileLoadsWhatItHoldsAndSaysSo) {
    std::vector<std::uint8_t> bytes = test::readBytes(savedFile("full.PL-3"));
    bytes.resize(48 + 16 * 10);
    test::TempDir dir;
    std::string path = dir.writeBytes("short.PL-3", bytes);
    EXPECT_EQ(openDocument(doc, path, prompter), OpenOutcome::LoadedIncomplete);
    ASSERT_EQ(prompter.textKeys(),
              std::vector<std::string>{std::string(text_key::kWarnIncomplete)});
    EXPECT_EQ(prompter.prompts()[0].detail, path);
    EXPECT_EQ(doc.fields().frequencyText(1, Side::Receive),
              "446.00625");                 // inside the part it held
    EXPECT_TRUE(doc.fields().isEmpty(20));  // beyond it: erased
    EXPECT_EQ(doc.pathName(), path);
}

TEST_F(DocumentCommandsTest, FailedStoreReportsAndKeepsTheDocumentState) {
    doc.setModifiedFlag(true);
    std::string target = folder.file("missing-folder/x.PL-3");
    EXPECT_FALSE(storeDocument(doc, target, prompter));
    ASSERT_EQ(prompter.prompts().size(), 1u);
    EXPECT_EQ(prompter.prompts()[0].textKey, text_key::kErrorSaveFile);
    EXPECT_EQ(prompter.prompts()[0].detail.rfind(target, 0), 0u);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pathName(), "");
}

TEST_F(DocumentCommandsTest, SaveCommandConfirmsOverwritingItsFile) {
    std::string path = savedFile("a.PL-3");
    ASSERT_EQ(openDocument(doc, path, prompter), OpenOutcome::Loaded);
    doc.rawFields().setFrequencyText(90, Side::Receive, "436");
    doc.setModifiedFlag(true);
    auto noChooser = []() -> std::optional<std::string> {
        ADD_FAILURE() << "a document with a path must not ask for one";
        return std::nullopt;
    };

    prompter.answer(false);
    EXPECT_FALSE(saveCommand(doc, prompter, noChooser));
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kWarnSave);
    EXPECT_EQ(prompter.prompts().back().detail, path);
    EXPECT_TRUE(doc.isModified());
    CMaItemDoc onDisk(folder.settings());
    test::ScriptedPrompter quiet;
    openDocument(onDisk, path, quiet);
    EXPECT_EQ(onDisk.fields().frequencyText(90, Side::Receive), "435.50000");

    prompter.answer(true);
    EXPECT_TRUE(saveCommand(doc, prompter, noChooser));
    EXPECT_FALSE(doc.isModified());
    openDocument(onDisk, path, quiet);
    EXPECT_EQ(onDisk.fields().frequencyText(90, Side::Receive), "436.00000");
}

TEST_F(DocumentCommandsTest, SaveCommandOnANewDocumentAsksForAName) {
    int asked = 0;
    EXPECT_FALSE(saveCommand(doc, prompter, [&]() -> std::optional<std::string> {
        ++asked;
        return std::nullopt;
    }));
    EXPECT_TRUE(prompter.prompts().empty());
    std::string path = folder.file("new.PL-3");
    EXPECT_TRUE(saveCommand(doc, prompter, [&]() -> std::optional<std::string> {
        ++asked;
        return path;
    }));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(doc.pathName(), path);
    EXPECT_EQ(test::readBytes(path).size(), 4144u);
}

TEST_F(DocumentCommandsTest, SaveModifiedAsksOnlyForAModifiedDocument) {
    auto noChooser = []() -> std::optional<std::string> { return std::nullopt; };
    EXPECT_TRUE(saveModified(doc, prompter, noChooser));
    EXPECT_TRUE(prompter.prompts().empty());

    std::string path = savedFile("a.PL-3");
    ASSERT_EQ(openDocument(doc, path, prompter), OpenOutcome::Loaded);
    doc.rawFields().setFrequencyText(90, Side::Receive, "437");
    doc.setModifiedFlag(true);
    struct Case {
        PromptAnswer answer;
        bool goOn;
        const char* onDisk;
    } cases[] = {
        {PromptAnswer::Cancel, false, "435.50000"},
        {PromptAnswer::No, true, "435.50000"},
        {PromptAnswer::Yes, true, "437.00000"},
    };
    for (const Case& c : cases) {
        prompter.answer(c.answer);
        EXPECT_EQ(saveModified(doc, prompter, noChooser), c.goOn);
        EXPECT_EQ(prompter.prompts().back().textKey, text_key::kAskSaveChanges);
        CMaItemDoc onDisk(folder.settings());
        test::ScriptedPrompter quiet;
        openDocument(onDisk, path, quiet);
        EXPECT_EQ(onDisk.fields().frequencyText(90, Side::Receive), c.onDisk);
    }
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentCommandsTest, SavingOverAFileAnotherProgramChangedAsksFirst) {
    std::string path = savedFile("a.PL-3");
    ASSERT_EQ(openDocument(doc, path, prompter), OpenOutcome::Loaded);
    doc.setModifiedFlag(true);
    std::string theirs = test::readText(savedFile("a.PL-3", 1));  // another program's save
    auto noChooser = [] { return std::optional<std::string>(); };
    for (int asked = 0; asked < 2; ++asked) {
        prompter.answer(PromptAnswer::Yes);  // save? (IDS_WARN_SAVE, IDS_ASK_SAVECHANGES)
        prompter.answer(false);              // replace their changes?
    }
    EXPECT_FALSE(saveCommand(doc, prompter, noChooser));
    EXPECT_FALSE(saveModified(doc, prompter, noChooser));
    EXPECT_EQ(test::readText(path), theirs);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(prompter.textKeys(),
              (std::vector<std::string>{"IDS_WARN_SAVE", "IDS_WARN_FILE_CHANGED_ELSEWHERE",
                                        "IDS_ASK_SAVECHANGES", "IDS_WARN_FILE_CHANGED_ELSEWHERE"}));
    EXPECT_EQ(prompter.prompts().back().detail, path);

    prompter.answer(true);
    prompter.answer(true);
    EXPECT_TRUE(saveCommand(doc, prompter, noChooser));
    EXPECT_NE(test::readText(path), theirs);
    prompter.answer(true);
    EXPECT_TRUE(saveCommand(doc, prompter, noChooser));  // its own save changed nothing
    EXPECT_EQ(prompter.textKeys().size(), 7u);
}

TEST_F(DocumentCommandsTest, SaveModifiedOfAnUnnamedDocumentAsksForAName) {
    doc.setModifiedFlag(true);
    prompter.answer(PromptAnswer::Yes);
    EXPECT_FALSE(saveModified(doc, prompter, [] { return std::optional<std::string>(); }));
    EXPECT_TRUE(doc.isModified());
    prompter.answer(PromptAnswer::Yes);
    std::string path = folder.file("named.PL-3");
    EXPECT_TRUE(saveModified(doc, prompter, [&] { return std::optional<std::string>(path); }));
    EXPECT_EQ(test::readBytes(path).size(), 4144u);
}

}  // namespace
}  // namespace pl3
