// The language and port dialogs wired to their widgets, offscreen: controls are found by
// the identifiers the language file uses, and OK / Cancel are clicked like a user would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/comm_port_dialog.h"
#include "codeplug/text_keys.h"
#include "fake_device_tree.h"
#include "lang/ui/dialog_translation.h"
#include "lang/ui/language_dialog.h"
#include "platform/private_profile.h"
#include "pseudo_terminal.h"
#include "settings_fixture.h"
#include "temp_dir.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

void click(QWidget* root, int id) {
    QPushButton* button = test::control<QPushButton>(root, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    button->click();
}

// ---- translateDialog ----

TEST(TranslateDialog, ReplacesCaptionsOfKnownIdsOnly) {
    test::TempDir dir;
    TextLookup texts(dir.write("test.lang",
                               "[Resource]\n777=Translated title\n1=Okay\n500=Label\\ttext\n"
                               "600=Group title\n601=Nested box\n700=Not a caption\n"));
    QDialog dialog;
    dialog.setWindowTitle("built-in title");
    auto* ok = new QPushButton("ok", &dialog);
    auto* label = new QLabel("label", &dialog);
    auto* group = new QGroupBox("group", &dialog);
    auto* nested = new QCheckBox("nested", group);
    auto* unknown = new QRadioButton("unknown", group);
    auto* edit = new QLineEdit("edit", &dialog);
    auto* plain = new QLabel("no id", &dialog);
    setResourceId(ok, 1);
    setResourceId(label, 500);
    setResourceId(group, 600);
    setResourceId(nested, 601);
    setResourceId(unknown, 602);
    setResourceId(edit, 700);

    translateDialog(&dialog, 777, texts);

    struct Case {
        const char* name;
        QString actual;
        std::string expected;
    };
    const Case cases[] = {
        {"window title", dialog.windowTitle(), "Translated title"},
        {"button", ok->text(), "Okay"},
        {"label, escapes expanded", label->text(), "Label\ttext"},
        {"group box", group->title(), "Group title"},
        {"box inside the group", nested->text(), "Nested box"},
        {"id without key", unknown->text(), "unknown"},
        {"line edit is no caption", edit->text(), "edit"},
        {"widget without id", plain->text(), "no id"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(c.actual), c.expected) << c.name;
    EXPECT_EQ(dialog.property(kTemplateNumberProperty).toInt(), 777);
}

TEST(TranslateDialog, MissingTemplateKeyOrFileKeepsBuiltInCaptions) {
    test::TempDir dir;
    const std::string withoutTitle = dir.write("test.lang", "[Resource]\n5=Five\n");
    for (const std::string& path : {withoutTitle, dir.file("missing.lang")}) {
        QDialog dialog;
        dialog.setWindowTitle("built-in title");
        auto* button = new QPushButton("one", &dialog);
        setResourceId(button, 1);

        translateDialog(&dialog, 130, TextLookup(path));

        EXPECT_EQ(str(dialog.windowTitle()), "built-in title") << path;
        EXPECT_EQ(str(button->text()), "one") << path;
        EXPECT_EQ(dialog.property(kTemplateNumberProperty).toInt(), 130) << path;
    }
}

// ---- language dialog ----

// In list order: chinese, copy, english, nameless. Only english.lang has captions.
class LanguageDialogTest : public ::testing::Test {
  protected:
    LanguageDialogTest() {
        folder_.write("english.lang",
                      "[Face]\ndisp=English\n[Resource]\n131=Language\n1=OK\n2=Cancel\n");
        folder_.write("copy.lang", "[Face]\ndisp=English\n");
        folder_.write("chinese.lang", "[Face]\ndisp=简体中文\n");
        folder_.write("nameless.lang", "[String]\nIDS_ON=on\n");
    }

    std::string settingsText() const { return test::readText(folder_.file("setting.ini")); }

    test::ProgramFolder folder_{"[setup]\ncom=1\nlanguage=english\n"};
    TextLookup texts_{folder_.file("english.lang")};
    SettingsWriteWarning warning_;
    SilentPrompter prompter_;
};

std::vector<std::string> itemsOf(QComboBox* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(str(list->itemText(i)));
    return items;
}

TEST_F(LanguageDialogTest, ListsLanguagesWithTheCurrentOneSelectedAndTranslated) {
    LanguageDialog dialog(nullptr, {folder_.path()}, texts_, folder_.settings(), warning_,
                          prompter_);

    QComboBox* list = test::control<QComboBox>(&dialog, kLanguageListId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(itemsOf(list), (std::vector<std::string>{"简体中文", "English", "English", "-----"}));
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_EQ(str(dialog.windowTitle()), "Language");
    EXPECT_EQ(str(test::control<QPushButton>(&dialog, kOkButtonId)->text()), "OK");
    EXPECT_EQ(str(test::control<QPushButton>(&dialog, kCancelButtonId)->text()), "Cancel");
    EXPECT_EQ(dialog.property(kTemplateNumberProperty).toInt(), kLanguageDialogTemplate);
}

TEST_F(LanguageDialogTest, BuiltInCaptionsWhenTheFileHasNone) {
    // The path in other case still selects the file, though it cannot be read here.
    TextLookup texts(folder_.path() + "/CHINESE.LANG");
    LanguageDialog dialog(nullptr, {folder_.path()}, texts, folder_.settings(), warning_,
                          prompter_);

    EXPECT_EQ(test::control<QComboBox>(&dialog, kLanguageListId)->currentIndex(), 0);
    EXPECT_EQ(str(dialog.windowTitle()), "语言");
    EXPECT_EQ(str(test::control<QPushButton>(&dialog, kOkButtonId)->text()), "确定");
    EXPECT_EQ(str(test::control<QPushButton>(&dialog, kCancelButtonId)->text()), "取消");
    std::vector<std::string> labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels.push_back(str(label->text()));
    EXPECT_EQ(labels, std::vector<std::string>{"请选择语言:"});
}

TEST_F(LanguageDialogTest, OkSwitchesToTheFirstFileWithTheSelectedText) {
    struct Case {
        int index;
        const char* title;
    };
    // Index 2 is english.lang, but its text "English" belongs to copy.lang first.
    for (const Case& c : {Case{0, "chinese"}, Case{2, "copy"}, Case{3, "nameless"}}) {
        TextLookup texts(folder_.file("english.lang"));
        LanguageDialog dialog(nullptr, {folder_.path()}, texts, folder_.settings(), warning_,
                              prompter_);
        test::control<QComboBox>(&dialog, kLanguageListId)->setCurrentIndex(c.index);

        click(&dialog, kOkButtonId);

        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.title;
        EXPECT_EQ(folder_.settings().languageName(), c.title);
        EXPECT_EQ(texts.languageFilePath(), folder_.file(std::string(c.title) + ".lang"));
    }
}

TEST_F(LanguageDialogTest, CancelChangesNothing) {
    const std::string before = settingsText();
    LanguageDialog dialog(nullptr, {folder_.path()}, texts_, folder_.settings(), warning_,
                          prompter_);
    test::control<QComboBox>(&dialog, kLanguageListId)->setCurrentIndex(0);

    click(&dialog, kCancelButtonId);

    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settingsText(), before);
    EXPECT_EQ(texts_.languageFilePath(), folder_.file("english.lang"));
}

TEST(LanguageDialog, OkWithNothingToChooseIsStillAccepted) {
    test::ProgramFolder folder("[setup]\nlanguage=english\n");
    const std::string before = test::readText(folder.file("setting.ini"));
    TextLookup texts(folder.file("english.lang"));
    SettingsWriteWarning warning;
    SilentPrompter prompter;
    LanguageDialog dialog(nullptr, {folder.path()}, texts, folder.settings(), warning, prompter);
    EXPECT_EQ(test::control<QComboBox>(&dialog, kLanguageListId)->count(), 0);

    click(&dialog, kOkButtonId);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(test::readText(folder.file("setting.ini")), before);
    EXPECT_EQ(texts.languageFilePath(), folder.file("english.lang"));
}

// ---- communication-port dialog ----

// Ports 2 and 4 open, 5 names a device that does not exist; no other port number has a
// device. The machine's own devices stay out of sight: sysfs and /dev are made up.
class CommPortDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(pty_.slavePath().empty()) << "no pseudo-terminal"; }

    void useSetup(const std::string& setup) {
        folder_ = std::make_unique<test::ProgramFolder>(
            "[setup]\n" + setup + "\n[ports]\ndefaults=0\n2=" + pty_.slavePath() +
            "\n4=" + pty_.slavePath() + "\n5=/dev/pl3-no-such-device\n");
        port_ = std::make_unique<SerialPort>(folder_->settings());
    }
    std::unique_ptr<CommPortDialog> openDialog(const std::string& languageText = "") {
        TextLookup texts(languageText.empty() ? folder_->file("none.lang")
                                              : folder_->write("test.lang", languageText));
        return std::make_unique<CommPortDialog>(nullptr, *port_, folder_->settings(), texts,
                                                warning_, prompter_, machine_.roots());
    }
    QRadioButton* portButton(QWidget* dialog, int n) {
        return test::control<QRadioButton>(dialog, kFirstPortButtonId + n - 1);
    }
    // A tooltip's words, whatever lines they were wrapped into.
    static std::string tip(const QWidget* widget) {
        return str(widget->toolTip().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
    std::string settingsText() const { return test::readText(folder_->file("setting.ini")); }

    test::PseudoTerminal pty_;
    test::FakeDeviceTree machine_;
    std::unique_ptr<test::ProgramFolder> folder_;
    std::unique_ptr<SerialPort> port_;
    SettingsWriteWarning warning_;
    SilentPrompter prompter_;
};

TEST_F(CommPortDialogTest, ButtonsShowDevicesTicksAndUsablePorts) {
    useSetup("com=4\nsearchcom=1\n");
    auto dialog = openDialog();

    struct Case {
        int port;
        std::string text;
        bool checked;
        bool enabled;
        std::string why;  // the tooltip: why the port does not open
    };
    const std::string pty = pty_.slavePath();
    const std::string none = "Not Found";  // no language file: the keys show as missing
    const Case cases[] = {
        {1, "COM1  (—)", false, false, none},
        {2, "COM2  (" + pty + ")", false, true, ""},
        {3, "COM3  (—)", false, false, none},
        {4, "COM4  (" + pty + ")", true, true, ""},
        {5, "COM5  (/dev/pl3-no-such-device)", false, false, none},
        {8, "COM8  (—)", false, false, none},
    };
    for (const Case& c : cases) {
        QRadioButton* button = portButton(dialog.get(), c.port);
        ASSERT_NE(button, nullptr) << c.port;
        EXPECT_EQ(str(button->text()), c.text) << c.port;
        EXPECT_EQ(button->isChecked(), c.checked) << c.port;
        EXPECT_EQ(button->isEnabled(), c.enabled) << c.port;
        EXPECT_EQ(tip(button), c.why) << c.port;
    }
    EXPECT_FALSE(dialog->noDeviceAdvice()->isVisibleTo(dialog.get()));
    EXPECT_EQ(str(dialog->windowTitle()), "通讯端口");
    EXPECT_EQ(str(test::control<QPushButton>(dialog.get(), kOkButtonId)->text()), "确定");

    QCheckBox* search = test::control<QCheckBox>(dialog.get(), kPortSearchBoxId);
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->isChecked());
    dialog->show();
    EXPECT_FALSE(search->isVisible());
    EXPECT_TRUE(portButton(dialog.get(), 4)->isVisible());
}

TEST_F(CommPortDialogTest, StoredPortThatDoesNotOpenStaysTickedButDisabled) {
    useSetup("com=3\nsearchcom=0\n");
    auto dialog = openDialog();

    QRadioButton* stored = portButton(dialog.get(), 3);
    EXPECT_TRUE(stored->isChecked());
    EXPECT_FALSE(stored->isEnabled());
    EXPECT_FALSE(test::control<QCheckBox>(dialog.get(), kPortSearchBoxId)->isChecked());
}

TEST_F(CommPortDialogTest, TranslatedCaptionsKeepTheDevice) {
    useSetup("com=2\n");
    auto dialog = openDialog("[Resource]\n130=Port\n1002=Cable\n1=OK\n1012=Search\n");

    EXPECT_EQ(str(dialog->windowTitle()), "Port");
    EXPECT_EQ(str(portButton(dialog.get(), 2)->text()), "Cable  (" + pty_.slavePath() + ")");
    EXPECT_EQ(str(portButton(dialog.get(), 1)->text()), "COM1  (—)");
    EXPECT_EQ(str(test::control<QPushButton>(dialog.get(), kOkButtonId)->text()), "OK");
    EXPECT_EQ(str(test::control<QCheckBox>(dialog.get(), kPortSearchBoxId)->text()), "Search");
}

TEST_F(CommPortDialogTest, PortMappedForThisRunShowsItsDevice) {
    useSetup("com=6\n");
    port_->mapPortForThisRun(6, pty_.slavePath());
    auto dialog = openDialog();

    QRadioButton* mapped = portButton(dialog.get(), 6);
    EXPECT_EQ(str(mapped->text()), "COM6  (" + pty_.slavePath() + ")");
    EXPECT_TRUE(mapped->isEnabled());
    EXPECT_TRUE(mapped->isChecked());
}

// Why each port does not open, in the user's language, and the advice when no device
// exists at all.
TEST_F(CommPortDialogTest, DisabledPortsTellWhyAndNoDeviceSaysHowToAddOne) {
    test::ProgramFolder language;
    language.installLanguageFiles();
    const std::string english = test::readText(language.file("english.lang"));
    TextLookup texts(language.file("english.lang"));

    useSetup("com=4\n");
    auto some = openDialog(english);
    EXPECT_EQ(tip(portButton(some.get(), 5)),
              withTexts(texts.text(text_key::kPortMissing), {"/dev/pl3-no-such-device"}));
    EXPECT_EQ(tip(portButton(some.get(), 1)), texts.text(text_key::kPortNotConfigured));
    EXPECT_FALSE(some->noDeviceAdvice()->isVisibleTo(some.get()));

    folder_ = std::make_unique<test::ProgramFolder>("[setup]\ncom=1\n[ports]\ndefaults=0\n");
    port_ = std::make_unique<SerialPort>(folder_->settings());
    auto none = openDialog(english);
    EXPECT_TRUE(none->noDeviceAdvice()->isVisibleTo(none.get()));
    EXPECT_EQ(str(none->noDeviceAdvice()->text()), texts.text(text_key::kPortNoneFound));
}

// A device past COM8 and a stable name nobody numbered yet get rows of their own under
// a heading; choosing the stable name stores it through the ports table.
TEST_F(CommPortDialogTest, DevicesPresentPastTheButtonsGetRowsOfTheirOwn) {
    machine_.addTty({.name = "ttyUSB9", .levelsBelowUsbDevice = 2, .product = "CP2102"});
    machine_.addStableName("usb-cable-if00-port0", "ttyUSB9");
    useSetup("com=4\n");
    platform::writeString(folder_->file("setting.ini"), "ports", "defaults", "1");
    // Port numbers 1 ... 8 keep their pseudo-terminals; ttyUSB9 is 10 by the default table.
    auto dialog = openDialog();
    const std::string stable = "/dev/serial/by-id/usb-cable-if00-port0";

    ASSERT_EQ(dialog->findChildren<QRadioButton*>().size(), 11);  // and "Other device…"
    EXPECT_EQ(str(dialog->portButton(8)->text()), "COM10  (/dev/ttyUSB9 — CP2102)");
    EXPECT_EQ(str(dialog->portButton(9)->text()), stable + "  (CP2102)");
    const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&dialog](QLabel* label) {
        return label->text() == "Not Found" && label->isVisibleTo(dialog.get());
    }));

    // The device is made up, so its row cannot be clicked; a tick stands for the click.
    dialog->portButton(9)->setChecked(true);
    click(dialog.get(), kOkButtonId);

    EXPECT_EQ(dialog->storedPort(), 65);
    EXPECT_EQ(folder_->settings().portDevice(65), stable);
    EXPECT_EQ(folder_->settings().comPort(), 65);
}

TEST_F(CommPortDialogTest, OkStoresAnotherTickedPort) {
    useSetup("com=4\nsearchcom=1\n");
    auto dialog = openDialog();
    ASSERT_TRUE(port_->open(4, kRadioBaud));
    portButton(dialog.get(), 2)->click();
    EXPECT_FALSE(portButton(dialog.get(), 4)->isChecked());

    click(dialog.get(), kOkButtonId);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->storedPort(), 2);
    EXPECT_EQ(folder_->settings().comPort(), 2);
    EXPECT_EQ(folder_->settings().portSearchFlag(), 1);
    EXPECT_FALSE(port_->isOpen());
}

// A device typed under "Other device…" that is not there keeps the dialog open and says
// why; one that is there is stored like a listed one.
TEST_F(CommPortDialogTest, OtherDeviceIsRefusedWithTheReasonOrStored) {
    useSetup("com=4\n");
    auto dialog = openDialog();
    dialog->otherDevicePath()->setText("/dev/pl3-no-such-device");
    dialog->otherDeviceButton()->setChecked(true);

    click(dialog.get(), kOkButtonId);

    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->otherDeviceReason()->isVisibleTo(dialog.get()));
    EXPECT_EQ(folder_->settings().comPort(), 4);

    dialog->otherDevicePath()->setText("/dev/null");
    click(dialog.get(), kOkButtonId);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->storedPort(), 1);
    EXPECT_EQ(folder_->settings().portDevice(1), "/dev/null");
}

TEST_F(CommPortDialogTest, OkOrCancelWithoutAChangeWritesNothing) {
    struct Case {
        const char* name;
        std::string setup;
        int clickPort;  // 0: none
        int closeWith;
    };
    const Case cases[] = {
        {"OK, same port", "com=4\n", 0, kOkButtonId},
        {"OK, same port clicked again", "com=4\n", 4, kOkButtonId},
        {"OK, stored port above 8, nothing ticked", "com=9\n", 0, kOkButtonId},
        {"Cancel after ticking another port", "com=4\n", 2, kCancelButtonId},
    };
    for (const Case& c : cases) {
        useSetup(c.setup);
        const std::string before = settingsText();
        auto dialog = openDialog();
        if (c.clickPort != 0) portButton(dialog.get(), c.clickPort)->click();

        click(dialog.get(), c.closeWith);

        EXPECT_EQ(dialog->storedPort(), std::nullopt) << c.name;
        EXPECT_EQ(settingsText(), before) << c.name;
        EXPECT_EQ(dialog->result(),
                  c.closeWith == kOkButtonId ? QDialog::Accepted : QDialog::Rejected)
            << c.name;
    }
}

}  // namespace
}  // namespace pl3
