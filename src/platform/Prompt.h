#pragma once
// Every message the program shows the user goes through this interface, so that the
// model stays free of widgets and tests can read what was said and script the answers.

#include <deque>
#include <string>
#include <vector>

namespace ov {

enum class PromptIcon { None, Information, Warning, Critical, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows a message box and returns the button the user chose. An empty title means
    // the application's name.
    virtual PromptAnswer Show(const std::string& text, const std::string& title, PromptIcon icon,
                              PromptButtons buttons) = 0;
};

// The prompt in use. Until the application installs its own, messages go to standard
// error and questions take their first button (Ok or Yes).
IPrompt& Prompt();
// Installs a prompt (not owned); nullptr restores the default.
void SetPrompt(IPrompt* prompt);

// Convenience for the common cases.
void ShowMessage(const std::string& text, PromptIcon icon = PromptIcon::Information, const std::string& title = "");

// A prompt for tests: records every message and answers from a script (the first
// button when the script is empty).
class RecordingPrompt : public IPrompt {
public:
    struct Message {
        std::string Text;
        std::string Title;
        PromptIcon Icon;
        PromptButtons Buttons;
    };
    std::vector<Message> Messages;
    std::deque<PromptAnswer> Answers;

    PromptAnswer Show(const std::string& text, const std::string& title, PromptIcon icon,
                      PromptButtons buttons) override;
    const std::string& LastText() const;
};

// Installs a prompt for the lifetime of the guard.
class ScopedPrompt {
public:
    explicit ScopedPrompt(IPrompt& prompt) { SetPrompt(&prompt); }
    ~ScopedPrompt() { SetPrompt(nullptr); }
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;
};

} // namespace ov
