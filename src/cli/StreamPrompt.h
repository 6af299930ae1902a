#pragma once
#include <ostream>
#include <string>

#include "platform/Prompt.h"

namespace ov::cli {

// Messages of the model (load and save failures) go to the command's error stream.
class StreamPrompt : public IPrompt {
public:
    explicit StreamPrompt(std::ostream& err) : err_(err) {}
    PromptAnswer Show(const std::string& text, const std::string&, PromptIcon, PromptButtons buttons) override {
        std::string line = text;
        for (char& c : line)
            if (c == '\r') c = ' ';
        err_ << line << '\n';
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::No
                                                                                          : PromptAnswer::Ok;
    }

private:
    std::ostream& err_;
};

} // namespace ov::cli
