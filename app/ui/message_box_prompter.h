#pragma once
// The Prompter of the desktop program: message boxes owned by the main window, with
// captions and texts looked up at the moment they are shown.

#include <QPointer>
#include <QWidget>

#include "lang/text_lookup.h"
#include "platform/prompter.h"

namespace pl3 {

class MessageBoxPrompter : public Prompter {
  public:
    MessageBoxPrompter(const TextLookup& texts, QWidget* owner) : texts_(texts), owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showMessage(const PromptMessage& message) override;
    bool askOkCancel(const PromptMessage& message) override;
    PromptAnswer askYesNoCancel(const PromptMessage& message) override;

  private:
    const TextLookup& texts_;
    QPointer<QWidget> owner_;
};

}  // namespace pl3
