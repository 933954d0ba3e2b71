#include "scripted_prompter.h"

#include <gtest/gtest.h>

namespace pl3::test {

PromptAnswer ScriptedPrompter::next(const PromptMessage& message) {
    record(message, true);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question " << message.textKey;
        return PromptAnswer::Cancel;
    }
    PromptAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedPrompter::askOkCancel(const PromptMessage& message) {
    return next(message) == PromptAnswer::Yes;
}

PromptAnswer ScriptedPrompter::askYesNoCancel(const PromptMessage& message) {
    return next(message);
}

std::vector<std::string> ScriptedPrompter::textKeys() const {
    std::vector<std::string> keys;
    for (const RecordedPrompt& prompt : prompts_)
        keys.push_back(prompt.textKey);
    return keys;
}

void ScriptedPrompter::record(const PromptMessage& message, bool question) {
    prompts_.push_back({std::string(message.captionKey), std::string(message.textKey),
                        message.detail, message.icon, question});
}

}  // namespace pl3::test
