#pragma once

#include <QTextBrowser>

namespace examo {

// The teachers' help, shipped inside the program.
class HelpWindow : public QTextBrowser {
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

} // namespace examo
