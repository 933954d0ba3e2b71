#pragma once
// A Prompter that records every message and answers questions from a script.

#include <deque>
#include <string>
#include <vector>

#include "platform/prompter.h"

namespace pl3::test {

struct RecordedPrompt {
    std::string captionKey;
    std::string textKey;
    std::string detail;
    PromptIcon icon;
    bool question;
};

class ScriptedPrompter : public Prompter {
  public:
    // Answers for the next questions, in order; a question beyond the script fails the test.
    void answer(bool ok) { answers_.push_back(ok ? PromptAnswer::Yes : PromptAnswer::Cancel); }
    void answer(PromptAnswer answer) { answers_.push_back(answer); }

    void showMessage(const PromptMessage& message) override { record(message, false); }
    bool askOkCancel(const PromptMessage& message) override;
    PromptAnswer askYesNoCancel(const PromptMessage& message) override;

    const std::vector<RecordedPrompt>& prompts() const { return prompts_; }
    std::vector<std::string> textKeys() const;

  private:
    void record(const PromptMessage& message, bool question);

    std::deque<PromptAnswer> answers_;
    PromptAnswer next(const PromptMessage& message);
    std::vector<RecordedPrompt> prompts_;
};

}  // namespace pl3::test
