#pragma once

#include "platform/dialogs.h"

namespace examo {

// Message and input boxes on Qt Widgets, owned by the active window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(std::string programTitle);

    Answer message(const std::string& text, Buttons buttons, Icon icon,
                   const std::string& title = {}) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& initialText = {}) override;

private:
    std::string programTitle_;
};

} // namespace examo
