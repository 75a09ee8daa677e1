#include "player/frmexamome.h"

#include "player/modexamo.h"

#include <QCloseEvent>
#include <QMenuBar>

#include <functional>

namespace examo {

frmExamoMe::frmExamoMe(QWidget* parent)
    : QuizForm(Layout{.caption = QStringLiteral("ExamoMe - Interactive Quiz"),
                      .clientWidthTwips = 9510,
                      .clientHeightTwips = 5475,
                      .scoreLeftTwips = 240},
               parent) {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelpHelp = mnuHelp->addAction(QStringLiteral("He&lp"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About"));

    connect(cmdExit, &QPushButton::clicked, this, &frmExamoMe::cmdExit_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmExamoMe::mnuFileExit_Click);
}

void frmExamoMe::attach(modExamo* module) {
    m_module = module;
    connect(mnuFileOpen, &QAction::triggered, this,
            std::bind_front(&modExamo::mnuFileOpen_Click, module));
    connect(mnuHelpHelp, &QAction::triggered, this,
            std::bind_front(&modExamo::mnuHelpHelp_Click, module));
    connect(mnuHelpAbout, &QAction::triggered, this,
            std::bind_front(&modExamo::mnuHelpAbout_Click, module));
    attachRun(module);
}

void frmExamoMe::cmdExit_Click() {
    close();
}

void frmExamoMe::mnuFileExit_Click() {
    cmdExit_Click();
}

void frmExamoMe::closeEvent(QCloseEvent* event) {
    if (!m_unloaded && m_module != nullptr)
        m_module->Form_Unload();
    m_unloaded = true;
    event->accept();
}

} // namespace examo
