#include "app/ui/about_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "app/program_info.h"
#include "app/ui/desktop_opener.h"
#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"
#include "platform/build_version.h"

namespace pl3 {

namespace {

constexpr int kEnglishTemplate = 100;
constexpr int kChineseTemplate = 159;
constexpr int kTitleControl = 1150;
constexpr int kRightsControl = 1151;

struct AboutTexts {
    const char* caption;
    const char* title;
    const char* version;
    const char* rights;
    const char* ok;
};

// Installation branding: the built-in captions of the two templates.
constexpr AboutTexts kEnglish = {"About PL-3", "PL-3 Radio Programming Software", "Version : R1.0",
                                 "PL-3 is a trademark of Korvel Amberlin.\nAll rights reserved.",
                                 "OK"};
constexpr AboutTexts kChinese = {"关于 PL-3", "PL-3 对讲机写频软件", "版本 : R1.0",
                                 "PL-3 是 Korvel Amberlin 的商标。\n保留所有权利。", "确定"};

}  // namespace

std::unique_ptr<QDialog> makeAboutDialog(QWidget* parent, const AppContext& context,
                                         Prompter& prompter) {
    const bool english = aboutInEnglish(context.texts.languageFilePath());
    const AboutTexts& texts = english ? kEnglish : kChinese;
    auto about = std::make_unique<QDialog>(parent);
    QDialog& dialog = *about;
    dialog.setProperty("templateNumber", english ? kEnglishTemplate : kChineseTemplate);
    dialog.setWindowTitle(QString::fromUtf8(texts.caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* logo = new QLabel(&dialog);
    logo->setPixmap(dialog.style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto* title = new QLabel(QString::fromUtf8(texts.title), &dialog);
    setResourceId(title, kTitleControl);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* rights = new QLabel(QString::fromUtf8(texts.rights), &dialog);
    setResourceId(rights, kRightsControl);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(texts.ok));
    setResourceId(buttons->button(QDialogButtonBox::Ok), 1);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    layout->addWidget(title);
    layout->addWidget(new QLabel(QString::fromUtf8(texts.version), &dialog));
    layout->addWidget(
        new QLabel(QString::fromUtf8(kVersionText.data(), kVersionText.size()), &dialog));
    layout->addWidget(rights);
    std::vector<FolderInUse> shown = foldersInUse(context.paths, context.backups.folder());
    if (auto log = conversationLogInUse(context.port.logOutcome())) shown.push_back(*log);
    for (const FolderInUse& inUse : shown) {
        const QString path = QString::fromStdString(inUse.path);
        auto* folder = new QLabel(&dialog);
        folder->setText(
            QString::fromStdString(context.texts.text(inUse.textKey) + inUse.captionDetail)
                .toHtmlEscaped() +
            QStringLiteral("<br><a href=\"%1\">%2</a>")
                .arg(QUrl::fromLocalFile(path).toString(), path.toHtmlEscaped()));
        folder->setTextFormat(Qt::RichText);
        // Opened here rather than by the label, which would drop a failure unseen.
        QObject::connect(folder, &QLabel::linkActivated, &dialog, [&prompter](const QString& link) {
            openShownPath(QUrl(link).toLocalFile().toStdString(), openWithDesktop, prompter);
        });
        layout->addWidget(folder);
    }
    layout->addWidget(buttons);
    if (english) translateDialog(&dialog, kEnglishTemplate, context.texts);
    return about;
}

void showAboutDialog(QWidget* parent, const AppContext& context, Prompter& prompter) {
    makeAboutDialog(parent, context, prompter)->exec();
}

}  // namespace pl3
