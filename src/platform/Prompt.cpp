#include "platform/Prompt.h"

#include <iostream>

namespace ov {

namespace {

PromptAnswer FirstButton(PromptButtons buttons) {
    return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes
                                                                                     : PromptAnswer::Ok;
}

class StderrPrompt : public IPrompt {
public:
    PromptAnswer Show(const std::string& text, const std::string&, PromptIcon, PromptButtons buttons) override {
        std::cerr << text << '\n';
        return FirstButton(buttons);
    }
};

IPrompt*& Installed() {
    static IPrompt* prompt = nullptr;
    return prompt;
}

} // namespace

IPrompt& Prompt() {
    static StderrPrompt fallback;
    IPrompt* p = Installed();
    return p ? *p : fallback;
}

void SetPrompt(IPrompt* prompt) { Installed() = prompt; }

void ShowMessage(const std::string& text, PromptIcon icon, const std::string& title) {
    Prompt().Show(text, title, icon, PromptButtons::Ok);
}

PromptAnswer RecordingPrompt::Show(const std::string& text, const std::string& title, PromptIcon icon,
                                   PromptButtons buttons) {
    Messages.push_back({text, title, icon, buttons});
    if (Answers.empty()) return FirstButton(buttons);
    const PromptAnswer a = Answers.front();
    Answers.pop_front();
    return a;
}

const std::string& RecordingPrompt::LastText() const {
    static const std::string none;
    return Messages.empty() ? none : Messages.back().Text;
}

} // namespace ov
