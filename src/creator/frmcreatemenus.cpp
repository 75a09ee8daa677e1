#include "creator/frmcreate.h"

#include "creator/creatormenus.h"
#include "creator/modprint.h"
#include "widgets/menutable.h"

#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>

#include <functional>
#include <utility>

// The creator window's menus: built from one table, then wired to the services behind them.
namespace examo {

namespace {

// clang-format off
constexpr MenuEntry<frmCreate> kCreateMenus[] = {
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileNew, .caption = "&New",
     .keys = Qt::CTRL | Qt::Key_N},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileOpen, .caption = "&Open",
     .keys = Qt::CTRL | Qt::Key_O},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileSaveas, .caption = "Save &As",
     .enabled = false},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuBar1},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileImport,
     .caption = "&Import Questions..."},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileExport,
     .caption = "&Export Questions...", .enabled = false},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuBar4},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFilePrint, .caption = "&Print",
     .keys = Qt::CTRL | Qt::Key_P, .enabled = false},
    // Offered with Print: both need a quiz on screen, and neither suits edit mode.
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileCheckMedia,
     .caption = "Check &Media...", .enabled = false},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuBar2},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuFileExit, .caption = "E&xit",
     .keys = Qt::CTRL | Qt::Key_Q},
    {.menu = &frmCreate::mnuFile, .action = &frmCreate::mnuBar3},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolScore,
     .caption = "&Read Score Logs"},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolAVI, .caption = "&AVI Maker"},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolBar1},
    // Named for what they start on this desktop.
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolNotepad,
     .caption = "&Text Editor"},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolSoundRecorder,
     .caption = "&Sound Recorder"},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolPaint,
     .caption = "Paint Progra&m"},
    {.menu = &frmCreate::mnuToolS, .action = &frmCreate::mnuToolExplorer,
     .caption = "&File Manager"},
    {.menu = &frmCreate::mnuHelp, .action = &frmCreate::mnuHelpContents,
     .caption = "Help &Contents"},
    {.menu = &frmCreate::mnuHelp, .action = &frmCreate::mnuHelpAbout, .caption = "&About"},
    {.menu = &frmCreate::mnuHelp, .action = &frmCreate::mnuHelpWeb,
     .caption = "&ExamoMe Website"},
    {.menu = &frmCreate::mnuHelp, .action = &frmCreate::mnuHelpAuthor,
     .caption = "&Email Author"},
};
// clang-format on

} // namespace

void frmCreate::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuToolS = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    addMenuEntries<frmCreate>(this, kCreateMenus);
    connect(mnuFilePrint, &QAction::enabledChanged, mnuFileCheckMedia, &QAction::setEnabled);
    mnuToolS->setToolTipsVisible(true);

    mnuFileRecent = mnuFile->addMenu(QStringLiteral("&Recent Files"));
    mnuFileRecent->menuAction()->setVisible(false);
    mnuRecent[0] = nullptr;
    for (std::size_t n = 1; n <= 4; ++n) {
        mnuRecent[n] = mnuFileRecent->addAction(QString());
        mnuRecent[n]->setEnabled(false);
        mnuRecent[n]->setVisible(false);
    }
}

void frmCreate::attachMenus(CreatorMenus* menus) {
    const std::pair<QAction*, void (CreatorMenus::*)()> entries[] = {
        {mnuToolScore, &CreatorMenus::mnuToolScore_Click},
        {mnuToolAVI, &CreatorMenus::mnuToolAVI_Click},
        {mnuToolNotepad, &CreatorMenus::mnuToolNotepad_Click},
        {mnuToolSoundRecorder, &CreatorMenus::mnuToolSoundRecorder_Click},
        {mnuToolPaint, &CreatorMenus::mnuToolPaint_Click},
        {mnuToolExplorer, &CreatorMenus::mnuToolExplorer_Click},
        {mnuHelpContents, &CreatorMenus::mnuHelpContents_Click},
        {mnuHelpAbout, &CreatorMenus::mnuHelpAbout_Click},
        {mnuHelpWeb, &CreatorMenus::mnuHelpWeb_Click},
        {mnuHelpAuthor, &CreatorMenus::mnuHelpAuthor_Click}};
    for (const auto& [action, handler] : entries)
        connect(action, &QAction::triggered, this, std::bind_front(handler, menus));
    // A role with no program installed is offered disabled, saying what to install, rather
    // than failing after the click. Looked at again each time the menu opens, so that a
    // program installed meanwhile is found.
    const auto lookForTools = [this, menus] {
        const std::pair<QAction*, DesktopTool> tools[] = {
            {mnuToolNotepad, DesktopTool::TextEditor},
            {mnuToolSoundRecorder, DesktopTool::SoundRecorder},
            {mnuToolPaint, DesktopTool::PaintProgram},
            {mnuToolExplorer, DesktopTool::FileManager}};
        for (const auto& [action, tool] : tools) {
            const std::string missing = menus->missingToolNote(tool);
            action->setEnabled(missing.empty());
            action->setToolTip(missing.empty() ? QString() : QString::fromStdString(missing));
        }
    };
    lookForTools();
    connect(mnuToolS, &QMenu::aboutToShow, this, lookForTools);
    // F1 anywhere in the creator opens the help.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this,
            std::bind_front(&CreatorMenus::mnuHelpContents_Click, menus));
}

void frmCreate::attachPrint(modPrint* print) {
    connect(mnuFilePrint, &QAction::triggered, this,
            std::bind_front(&modPrint::mnuFilePrint_Click, print));
}

} // namespace examo
