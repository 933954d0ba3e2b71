#include "codeplug/edit_history.h"

#include <gtest/gtest.h>

#include "codeplug/document.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

Image imageWith(std::uint8_t first) {
    Image image{};
    image[0] = first;
    return image;
}

TEST(EditHistory, StepsBackAndForthThroughTheEdits) {
    EditHistory history;
    history.reset(imageWith(0), true);
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.record(imageWith(1)));
    EXPECT_TRUE(history.record(imageWith(2)));
    EXPECT_FALSE(history.record(imageWith(2)));  // nothing changed: no step
    EXPECT_EQ(history.undo()[0], 1);
    EXPECT_EQ(history.undo()[0], 0);
    EXPECT_EQ(history.undo()[0], 0);  // no further back
    EXPECT_EQ(history.redo()[0], 1);
    EXPECT_EQ(history.redo()[0], 2);
    EXPECT_EQ(history.redo()[0], 2);
    EXPECT_FALSE(history.canRedo());
}

TEST(EditHistory, AnEditAfterUndoDropsTheRedoSteps) {
    EditHistory history;
    history.reset(imageWith(0), true);
    history.record(imageWith(1));
    history.record(imageWith(2));
    history.undo();
    history.record(imageWith(7));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undo()[0], 1);
}

TEST(EditHistory, KnowsWhichStepMatchesTheFile) {
    const struct {
        const char* name;
        std::vector<char> actions;  // e: edit, u: undo, r: redo, s: save
        bool saved;
    } cases[] = {
        {"fresh", {}, true},
        {"edited", {'e'}, false},
        {"undone to the file", {'e', 'u'}, true},
        {"redone past it", {'e', 'u', 'r'}, false},
        {"saved after edits", {'e', 'e', 's'}, true},
        {"undone past a save", {'e', 'e', 's', 'u'}, false},
        {"and back again", {'e', 'e', 's', 'u', 'r'}, true},
        // The saved step was redo history and is gone.
        {"edit after undoing a save", {'e', 's', 'u', 'e', 'u'}, false},
    };
    for (const auto& c : cases) {
        EditHistory history;
        history.reset(imageWith(0), true);
        std::uint8_t next = 1;
        for (char a : c.actions) {
            if (a == 'e') history.record(imageWith(next++));
            if (a == 'u') history.undo();
            if (a == 'r') history.redo();
            if (a == 's') history.markSaved();
        }
        EXPECT_EQ(history.atSavedState(), c.saved) << c.name;
    }
    EditHistory unsaved;
    unsaved.reset(imageWith(0), false);
    EXPECT_FALSE(unsaved.atSavedState());
}

TEST(EditHistory, ForgetsTheOldestStepsBeyondItsLimit) {
    EditHistory history;
    history.reset(imageWith(0), true);
    for (std::size_t i = 1; i <= EditHistory::kMaxSteps + 5; ++i) {
        Image image{};
        image[0] = static_cast<std::uint8_t>(i);
        image[1] = static_cast<std::uint8_t>(i >> 8);
        history.record(image);
    }
    std::size_t undone = 0;
    while (history.canUndo()) {
        history.undo();
        ++undone;
    }
    EXPECT_EQ(undone, EditHistory::kMaxSteps - 1);
    EXPECT_FALSE(history.atSavedState());  // the saved state fell off the end
    EXPECT_EQ(history.current()[0], 6);
}

class DocumentHistory : public ::testing::Test {
  protected:
    test::ProgramFolder folder;
    CMaItemDoc doc{folder.settings()};
    int told = 0;
    int refreshed = 0;

    void SetUp() override {
        doc.setHistoryListener([this] { ++told; });
        doc.addViewListener([this] { ++refreshed; });
        doc.startHistory(true);
    }
};

TEST_F(DocumentHistory, UndoRestoresTheImageAndTheModifiedFlag) {
    const Image original = doc.image();
    doc.rawFields().image()[layout::record(5)] ^= 0xFF;
    doc.markEdited();
    const Image edited = doc.image();
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.canUndo());

    doc.undo();
    EXPECT_EQ(doc.image(), original);
    EXPECT_FALSE(doc.isModified());
    EXPECT_GT(refreshed, 0);
    doc.redo();
    EXPECT_EQ(doc.image(), edited);
    EXPECT_TRUE(doc.isModified());
    EXPECT_GE(told, 3);
}

TEST_F(DocumentHistory, AFreshHistoryCannotUndoIntoTheOldImage) {
    doc.rawFields().image()[layout::record(5)] ^= 0xFF;
    doc.markEdited();
    ASSERT_TRUE(doc.canUndo());
    doc.setModifiedFlag(true);
    doc.startHistory(false);  // e.g. an image read from the radio
    EXPECT_FALSE(doc.canUndo());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
}

}  // namespace
}  // namespace pl3
