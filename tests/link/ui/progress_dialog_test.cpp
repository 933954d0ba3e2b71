#include "link/ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "app/app_context.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "pseudo_terminal.h"
#include "radio_document_fixture.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"
#include "widget_lookup.h"

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
        ProgressDialog dialog(
            context->radio(), *doc, prompter, direction,
            {[this](int port) { searchedPorts.push_back(port); },
             [this] { ++statusBarRefreshes; },
             [this] { ++relabels; },
             [this](const std::string& version) { radioVersion = version; },
             [this](const std::string& problem) { portProblems.push_back(problem); },
             {},
             [this](link::TransferDone what) { done = what; }});
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
    std::vector<std::string> portProblems;
    std::optional<link::TransferDone> done;
};

// Root opens any file whatever its mode; without these capabilities (per thread, and
// inherited by the threads started meanwhile) it meets the permission check like any
// user. Nothing to do for other users.
class WithoutAccessOverride {
  public:
    WithoutAccessOverride() {
        if (::geteuid() != 0) return;
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutAccessOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutAccessOverride(const WithoutAccessOverride&) = delete;
    WithoutAccessOverride& operator=(const WithoutAccessOverride&) = delete;

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

// The words of a reason after the device path: what tells one reason from another.
std::string reasonWords(const TextLookup& texts, std::string_view key) {
    std::string text = texts.text(key);
    std::size_t mark = text.find("%s");
    std::string words = mark == std::string::npos ? text : text.substr(mark + 2);
    return words.substr(0, words.find("%s"));
}

TEST_F(ProgressDialogTest, ReadReplacesTheImageAndEnds) {
    prepare();
    Image memory = radio->radio().memory();
    memory[80 * 16 + 0] = 0x00, memory[80 * 16 + 1] = 0x00, memory[80 * 16 + 2] = 0x30,
                     memory[80 * 16 + 3] = 0x43;
    radio->radio().setMemory(memory);
    Outcome result = run(Direction::Read);
    EXPECT_EQ(result.result, 5);
    EXPECT_EQ(doc->fields().frequencyText(80, Side::Receive), "433.00000");
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(radioVersion, "1.2");
    EXPECT_EQ(done, link::TransferDone::Read);
    EXPECT_EQ(relabels, 1);
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(prompter.prompts().empty());
}

TEST_F(ProgressDialogTest, WriteSendsTheDocument) {
    prepare();
    doc->rawFields().setFrequencyText(90, Side::Receive, "441");
    Outcome result = run(Direction::Write);
    EXPECT_EQ(result.result, 5);
    EXPECT_EQ(done, link::TransferDone::Written);
    EXPECT_EQ(radio->radio().memory()[90 * 16 + 3], 0x44);
}

TEST_F(ProgressDialogTest, FailuresAreShownAsTheyShould) {
    struct Case {
        const char* what;
        Direction direction;
        sim::Faults faults;
        std::string_view messageKey;  // a message box, after which the dialog ends
        std::string_view statusKey;   // or a text in the dialog, which stays open
        QStringList standing = {};    // then where the radio stands, and its backups
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
         text_key::kPromptWriteFail,
         {"\nThe write failed after block 3 of 256: the radio now holds part of the new codeplug.",
          "\nThe codeplug being written is kept in the backup: "}},
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
            EXPECT_TRUE(result.status.startsWith(text(c.statusKey))) << c.what;
            for (const QString& line : c.standing)
                EXPECT_TRUE(result.status.contains(line)) << result.status.toStdString();
        }
        if (c.direction == Direction::Read) {
            EXPECT_EQ(doc->image(), before) << c.what;
        }
        EXPECT_FALSE(context->port.isOpen()) << c.what;
    }
}

// The reason a port did not open travels from the serial layer through the job to the
// message and the status line, with the device path.
TEST_F(ProgressDialogTest, APortThatDoesNotOpenSaysWhy) {
    prepare();
    test::PseudoTerminal taken;
    SerialPort otherProgram(context->settings);
    ASSERT_TRUE(otherProgram.openDevice(taken.slavePath(), kRadioBaud));
    const std::string locked = radio->folder().write("ttyLocked", "");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    struct Case {
        const char* what;
        std::string path;
        std::string_view reasonKey;
    } cases[] = {
        {"missing", radio->folder().file("ttyUSB9"), text_key::kPortMissing},
        {"busy", taken.slavePath(), text_key::kPortBusy},
        // The file's group is root for root, the user's own group for anyone else.
        {"permission", locked,
         ::geteuid() == 0 ? text_key::kPortPermissionRoot : text_key::kPortPermissionGroup},
    };
    for (const Case& c : cases) {
        radio->mapPort(1, c.path);
        prompter = test::ScriptedPrompter();
        portProblems.clear();
        Outcome result;
        {
            WithoutAccessOverride asAUser;
            result = run(Direction::Read);
        }
        EXPECT_EQ(result.result, 5) << c.what;
        ASSERT_EQ(prompter.prompts().size(), 1u) << c.what;
        const std::string& detail = prompter.prompts()[0].detail;
        // The radio was never asked: nothing says it did not respond.
        EXPECT_EQ(prompter.prompts()[0].textKey, text_key::kPortNotOpened) << c.what;
        EXPECT_NE(detail.find(c.path), std::string::npos) << c.what << ": " << detail;
        EXPECT_NE(detail.find(reasonWords(context->texts, c.reasonKey)), std::string::npos)
            << c.what << ": " << detail;
        ASSERT_EQ(portProblems.size(), 1u) << c.what;
        EXPECT_NE(detail.find(portProblems[0]), std::string::npos) << c.what;
    }
}

// A failure shows every line of its text, a long log path included, in both languages: the
// label is as high as its wrapped text needs at its width, and inside the dialog.
TEST_F(ProgressDialogTest, AFailureShowsItsWholeText) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 3; }));
    const std::string log = radio->folder().file(
        "conversation-log-kept-for-the-dealer/"
        "of-every-radio-programmed-with-the-cable-on-COM1.log");
    context->port.setLogPlace(link::LogPlace::file(log));
    for (const char* language : {"english.lang", "chinese.lang"}) {
        context->texts.setLanguageFilePath(radio->folder().file(language));
        ProgressDialog dialog(context->radio(), *doc, prompter, Direction::Read, {});
        dialog.show();
        dialog.startJob();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.retryAllowed(); }, 60000));
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.statusText().endsWith(QString::fromStdString(log))) << language;
        auto* text = test::control<QLabel>(&dialog, 1010);
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << language;
        EXPECT_GE(text->width(), text->minimumSizeHint().width()) << language;
        EXPECT_TRUE(dialog.rect().contains(text->geometry())) << language;
        dialog.reject();
    }
}

TEST_F(ProgressDialogTest, AFailureOffersRetryAndClose) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 200; }));
    {
        ProgressDialog dialog(context->radio(), *doc, prompter, Direction::Read, {});
        dialog.startJob();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.retryAllowed(); }, 60000));
        // Retry and Close, and Enter does not start the transfer again unasked.
        EXPECT_FALSE(dialog.retryButton()->isHidden());
        EXPECT_FALSE(dialog.closeButton()->isHidden());
        EXPECT_EQ(dialog.retryButton()->text(), text(text_key::kButtonRetry));
        EXPECT_EQ(dialog.closeButton()->text(), text(text_key::kButtonClose));
        EXPECT_TRUE(dialog.closeButton()->isDefault());
        EXPECT_FALSE(dialog.retryButton()->isDefault());
        dialog.retryButton()->click();
        EXPECT_FALSE(dialog.retryAllowed());
        EXPECT_TRUE(dialog.closeButton()->isHidden());
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.statusText().endsWith('%'); }, 60000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.retryAllowed(); }, 60000));
        QTest::keyClick(&dialog, Qt::Key_Escape);  // Escape is Close
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(radio->radio().sessions(), 2);
    }
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(prompter.prompts().empty());
}

}  // namespace
}  // namespace pl3
