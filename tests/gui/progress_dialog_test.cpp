#include "link/ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <QTest>

#include "codeplug/text_keys.h"
#include "radio_document_fixture.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"

namespace pl3 {
namespace {

using link::Direction;

struct Outcome {
    int result;
    QString status;
    bool retry;
};

class ProgressDialogTest : public test::RadioDocumentFixture {
  protected:
    void prepare(const sim::Faults& faults = {}) {
        prepareRadioAndDocument(test::optionsWith(faults));
    }

    // Runs the dialog's job until the dialog ends or the job has stopped with a failure.
    Outcome run(Direction direction) {
        ProgressDialog dialog(context->radio(), *doc, prompter, direction,
                              {[this](int port) { searchedPorts.push_back(port); },
                               [this] { ++statusBarRefreshes; }, [this] { ++relabels; },
                               [this](const std::string& version) { radioVersion = version; }});
        dialog.startJob();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return dialog.result() != 0 || dialog.retryAllowed(); }, 60000));
        return {dialog.result(), dialog.statusText(), dialog.retryAllowed()};
    }
    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }

    test::ScriptedPrompter prompter;
    std::vector<int> searchedPorts;
    int statusBarRefreshes = 0;
    int relabels = 0;
    std::string radioVersion;
};

TEST_F(ProgressDialogTest, ReadReplacesTheImageAndEnds) {
    prepare();
    Image memory = radio->radio().memory();
    memory[80 * 16 + 0] = 0x00, memory[80 * 16 + 1] = 0x00, memory[80 * 16 + 2] = 0x30,
                     memory[80 * 16 + 3] = 0x43;
    radio->radio().setMemory(memory);
    Outcome result = run(Direction::Read);
    EXPECT_EQ(result.result, 5);
    EXPECT_EQ(doc->frequencyText(80, Side::Receive), "433.00000");
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(radioVersion, "1.2");
    EXPECT_EQ(relabels, 1);
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(prompter.prompts().empty());
}

TEST_F(ProgressDialogTest, WriteSendsTheDocument) {
    prepare();
    doc->setFrequencyText(90, Side::Receive, "441");
    Outcome result = run(Direction::Write);
    EXPECT_EQ(result.result, 5);
    EXPECT_EQ(radio->radio().memory()[90 * 16 + 3], 0x44);
}

TEST_F(ProgressDialogTest, FailuresAreShownAsTheyShould) {
    struct Case {
        const char* what;
        Direction direction;
        sim::Faults faults;
        std::string_view messageKey;  // a message box, after which the dialog ends
        std::string_view statusKey;   // or a text in the dialog, which stays open
    } cases[] = {
        {"no radio",
         Direction::Read,
         test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         text_key::kErrorPortConn,
         {}},
        {"wrong radio",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.refuseChallenge = true; }),
         text_key::kErrorType,
         {}},
        {"read fails",
         Direction::Read,
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 3; }),
         {},
         text_key::kPromptReadFail},
        {"write fails",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 3; }),
         {},
         text_key::kPromptWriteFail},
    };
    for (const Case& c : cases) {
        prepare(c.faults);
        Image before = doc->image();
        prompter = test::ScriptedPrompter();
        Outcome result = run(c.direction);
        if (!c.messageKey.empty()) {
            EXPECT_EQ(result.result, 5) << c.what;
            ASSERT_EQ(prompter.prompts().size(), 1u) << c.what;
            EXPECT_EQ(prompter.prompts()[0].textKey, c.messageKey) << c.what;
            EXPECT_EQ(prompter.prompts()[0].captionKey, text_key::kError) << c.what;
        } else {
            EXPECT_EQ(result.result, 0) << c.what;
            EXPECT_TRUE(result.retry) << c.what;
            EXPECT_EQ(result.status, text(c.statusKey)) << c.what;
        }
        if (c.direction == Direction::Read) {
            EXPECT_EQ(doc->image(), before) << c.what;
        }
        EXPECT_FALSE(context->port.isOpen()) << c.what;
    }
}

TEST_F(ProgressDialogTest, RetryStartsAgainAndCancelEndsQuietly) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 200; }));
    {
        ProgressDialog dialog(context->radio(), *doc, prompter, Direction::Read, {});
        dialog.startJob();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.retryAllowed(); }, 60000));
        dialog.accept();  // OK: try again
        EXPECT_FALSE(dialog.retryAllowed());
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.statusText().endsWith('%'); }, 60000));
        dialog.reject();  // Esc while reading
        EXPECT_EQ(dialog.result(), 0);
    }
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_EQ(radio->radio().sessions(), 2);
}

}  // namespace
}  // namespace pl3
