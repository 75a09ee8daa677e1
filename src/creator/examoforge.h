#pragma once

#include "creator/creatormenus.h"
#include "creator/frmcreate.h"
#include "creator/frmpreview.h"
#include "creator/modcreate.h"
#include "creator/modprint.h"
#include "platform/avifilelibrary.h"

#include <QPointer>

namespace examo {

// The quiz creator put together over its services: the main window, its quiz store and menus,
// and the windows they open (score logs, help, AVI maker). main() gives it this desktop's
// services; tests give it fakes.
class ExamoForge {
public:
    ExamoForge(CreatorServices& services, AviFileLibrary& aviLibrary);
    ~ExamoForge();
    ExamoForge(const ExamoForge&) = delete;
    ExamoForge& operator=(const ExamoForge&) = delete;

    frmCreate& window() { return m_form; }
    modCreate& module() { return m_module; }
    modPrint& print() { return m_print; }
    CreatorMenus& menus() { return m_menus; }
    QWidget* scoreLogViewer() const { return m_log; }
    QWidget* helpWindow() const { return m_help; }
    QWidget* aviMaker() const { return m_avi; }
    frmPreview* previewer() const { return m_preview; }

    // Shows the score log viewer, made the first time: it opens the log the command line names.
    void showScoreLogs();
    void showHelp();
    void showAviMaker();
    // The "Preview Test" button of frmCreate: the quiz as it stands, unsaved, in the previewer.
    void cmdPreview_Click();
    // File > Check Media: what of the quiz's media its students would miss, in a window.
    void mnuFileCheckMedia_Click();
    QWidget* mediaCheck() const { return m_mediaCheck; }

private:
    void closeOtherWindows();

    CreatorServices& m_services;
    AviFileLibrary& m_aviLibrary;
    frmCreate m_form;
    modCreate m_module;
    modPrint m_print;
    CreatorMenus m_menus;
    QPointer<QWidget> m_log;
    QPointer<QWidget> m_help;
    QPointer<QWidget> m_avi;
    QPointer<frmPreview> m_preview;
    QPointer<QWidget> m_mediaCheck;
};

} // namespace examo
