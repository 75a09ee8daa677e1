#pragma once

#include "platform/dialogs.h"

#include <cstdio>
#include <optional>
#include <string>

namespace examo::bench {

// Messages go to the terminal; nothing waits for an answer.
class PrintedDialogs : public Dialogs {
public:
    Answer message(const std::string& text, Buttons, Icon, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return Answer::Ok;
    }
    std::optional<std::string> input(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }
};

} // namespace examo::bench
