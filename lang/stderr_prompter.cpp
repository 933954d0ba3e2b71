#include "lang/stderr_prompter.h"

#include <iostream>

namespace pl3 {

void StderrPrompter::print(const PromptMessage& message) const {
    std::cerr << program_ << ": ";
    if (!message.captionKey.empty()) std::cerr << texts_.text(message.captionKey) << ": ";
    std::cerr << texts_.text(message.textKey) << message.detail << "\n";
}

void StderrPrompter::showMessage(const PromptMessage& message) {
    print(message);
}

bool StderrPrompter::askOkCancel(const PromptMessage& message) {
    print(message);
    return false;
}

PromptAnswer StderrPrompter::askYesNoCancel(const PromptMessage& message) {
    print(message);
    return PromptAnswer::Cancel;
}

}  // namespace pl3
