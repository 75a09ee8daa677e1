#include "creator/examoforgeprogram.h"

#include "avimaker/frmavi.h"
#include "creator/helpwindow.h"
#include "logviewer/frmlog.h"

namespace examo {

ExamoForgeProgram::ExamoForgeProgram(std::optional<QString> pdfFolder,
                                     ExamoForgeOverrides overrides)
    : m_dialogs(overrides.dialogs ? *overrides.dialogs : m_qtDialogs),
      m_fileDialogs(overrides.fileDialogs ? *overrides.fileDialogs : m_qtFileDialogs),
      m_program(overrides.program ? *overrides.program : m_qtProgram),
      m_printer(QStringLiteral("ExamoForge"), std::move(pdfFolder)) {
    m_form.attach(&m_module);
    m_form.attachMenus(&m_menus);
    m_menus.showScoreLogs = [this] { showScoreLogs(); };
    m_menus.showHelp = [this] { showHelp(); };
    m_menus.showAviMaker = [this] { showAviMaker(); };
    m_module.openLogViewer = [this](const std::string&) { showScoreLogs(); };
    m_module.closeOtherWindows = [this] {
        for (QWidget* w : {m_log.data(), m_avi.data(), m_help.data()})
            if (w != nullptr)
                w->close();
    };
}

void ExamoForgeProgram::showScoreLogs() {
    auto* log = new frmLog(m_dialogs, m_fileDialogs, m_program, m_printer, m_program.commandLine());
    log->setAttribute(Qt::WA_DeleteOnClose);
    log->show();
    m_log = log;
}

void ExamoForgeProgram::showAviMaker() {
    if (m_avi == nullptr) {
        auto* avi =
            new frmAVI(m_dialogs, m_fileDialogs, m_shell, m_program, m_aviLibrary, m_pictures);
        avi->setAttribute(Qt::WA_DeleteOnClose);
        m_avi = avi;
    }
    m_avi->show();
    m_avi->raise();
}

void ExamoForgeProgram::showHelp() {
    if (m_help == nullptr) {
        auto* help = new HelpWindow;
        help->setAttribute(Qt::WA_DeleteOnClose);
        m_help = help;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace examo
