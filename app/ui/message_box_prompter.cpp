#include "app/ui/message_box_prompter.h"

#include <QMessageBox>

#include "codeplug/text_keys.h"

namespace pl3 {

namespace {

QMessageBox::Icon iconOf(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Exclamation:
            return QMessageBox::Warning;
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

int run(const TextLookup& texts, QWidget* owner, const PromptMessage& message,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    std::string caption =
        texts.text(message.captionKey.empty() ? text_key::kWindowName : message.captionKey);
    QMessageBox box(iconOf(message.icon), QString::fromStdString(caption),
                    QString::fromStdString(texts.text(message.textKey, message.detail)), buttons,
                    owner);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

void MessageBoxPrompter::showMessage(const PromptMessage& message) {
    run(texts_, owner_, message, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompter::askOkCancel(const PromptMessage& message) {
    return run(texts_, owner_, message, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

PromptAnswer MessageBoxPrompter::askYesNoCancel(const PromptMessage& message) {
    switch (run(texts_, owner_, message, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

}  // namespace pl3
