#pragma once
// A Prompter for runs without a user at a window (pl3ctl, pl3-cps --print-pdf): messages
// go to standard error in the current language; questions are never asked of a script,
// so they count as cancelled.

#include <string>

#include "lang/text_lookup.h"
#include "platform/prompter.h"

namespace pl3 {

class StderrPrompter : public Prompter {
  public:
    // program: the prefix of every line ("pl3ctl").
    StderrPrompter(const TextLookup& texts, std::string program)
        : texts_(texts), program_(std::move(program)) {}
    void showMessage(const PromptMessage& message) override;
    bool askOkCancel(const PromptMessage& message) override;
    PromptAnswer askYesNoCancel(const PromptMessage& message) override;

  private:
    void print(const PromptMessage& message) const;

    const TextLookup& texts_;
    std::string program_;
};

}  // namespace pl3
