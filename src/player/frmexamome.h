#pragma once

#include "quizrun/quizform.h"

#include <QAction>
#include <QMenu>

#include <functional>

namespace examo {

class modExamo;

// The player's window: the quiz controls and the File and Help menus.
class frmExamoMe : public QuizForm {
public:
    explicit frmExamoMe(QWidget* parent = nullptr);

    // The module whose operations the handlers run; set once by the program.
    void attach(modExamo* module);

    QMenu* mnuFile;
    QAction* mnuFileOpen;
    QAction* mnuFileExit;
    QMenu* mnuHelp;
    QAction* mnuHelpHelp;
    QAction* mnuHelpAbout;

    void cmdExit_Click();
    void mnuFileExit_Click();

    // True once the window has been closed, which ends the program.
    bool unloaded() const { return m_unloaded; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    modExamo* m_module = nullptr;
    bool m_unloaded = false;
};

} // namespace examo
