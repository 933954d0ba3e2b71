#pragma once
// How logic talks to the user without opening a window itself. The GUI shows message
// boxes, pl3ctl writes to standard error, tests script the answers.

#include <string>
#include <string_view>

namespace pl3 {

enum class PromptIcon { Stop, Exclamation, Information, Question };
enum class PromptAnswer { Yes, No, Cancel };

struct PromptMessage {
    std::string_view captionKey;  // text key of the caption; empty: the program's window name
    std::string_view textKey;     // text key of the message
    std::string detail;           // appended verbatim after the looked-up text (a path, ...)
    PromptIcon icon = PromptIcon::Stop;
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows the message with an OK button.
    virtual void showMessage(const PromptMessage& message) = 0;
    // Shows the message with OK and Cancel; true for OK.
    virtual bool askOkCancel(const PromptMessage& message) = 0;
    // Shows the message with Yes, No and Cancel.
    virtual PromptAnswer askYesNoCancel(const PromptMessage& message) = 0;
};

// Tells nobody and declines every question: for code paths where no user is present.
class SilentPrompter : public Prompter {
  public:
    void showMessage(const PromptMessage&) override {}
    bool askOkCancel(const PromptMessage&) override { return false; }
    PromptAnswer askYesNoCancel(const PromptMessage&) override { return PromptAnswer::Cancel; }
};

}  // namespace pl3
