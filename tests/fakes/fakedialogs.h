#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace examo::fakes {

// Records every box and answers from a script (Yes / OK when the script runs out).
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        Buttons buttons;
        Icon icon;
        std::string title;
    };
    struct Input {
        std::string prompt;
        std::string title;
        std::string initialText;
    };

    Answer message(const std::string& text, Buttons buttons, Icon icon,
                   const std::string& title) override {
        messages.push_back({text, buttons, icon, title});
        if (onMessage)
            onMessage(messages.back());
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }

    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& initialText) override {
        inputs.push_back({prompt, title, initialText});
        if (inputAnswers.empty())
            return std::nullopt;
        auto a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }

    // The texts of the boxes shown so far.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }

    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::deque<Answer> answers;
    // Runs while a box is up, to look at the window behind it.
    std::function<void(const Message&)> onMessage;
    std::deque<std::optional<std::string>> inputAnswers; // nullopt = Cancel
};

} // namespace examo::fakes
