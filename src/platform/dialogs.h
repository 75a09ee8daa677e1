#pragma once

#include <optional>
#include <string>

namespace examo {

// Message boxes and input boxes. Texts are UTF-8. An empty title means the program's title.
class Dialogs {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Dialogs() = default;

    virtual Answer message(const std::string& text, Buttons buttons, Icon icon,
                           const std::string& title = {}) = 0;

    // The typed text, or nothing when the user cancelled.
    virtual std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                             const std::string& initialText = {}) = 0;
};

} // namespace examo
