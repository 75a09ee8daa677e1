#include "player/frmexamome.h"

#include "player/modexamo.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace examo {

frmExamoMe::frmExamoMe(QWidget* parent)
    : QuizForm(Layout{QStringLiteral("ExamoMe - Interactive Quiz"), 9510, 5475, 240}, parent) {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelpHelp = mnuHelp->addAction(QStringLiteral("He&lp"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About"));

    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });
}

void frmExamoMe::attach(modExamo* module) {
    m_module = module;
    connect(mnuFileOpen, &QAction::triggered, this, [module] { module->mnuFileOpen_Click(); });
    connect(mnuHelpHelp, &QAction::triggered, this, [module] { module->mnuHelpHelp_Click(); });
    connect(mnuHelpAbout, &QAction::triggered, this, [module] { module->mnuHelpAbout_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [module] { module->cmdPreview_Click(); });
    onMultipleChoiceMouseUp(
        [module](int i, int b, int s, int x, int y) { module->optABCD_MouseUp(i, b, s, x, y); });
    onTrueFalseMouseUp([module](int i, int b, int s, int x, int y) {
        module->optTrueFalse_MouseUp(i, b, s, x, y);
    });
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
