#include "creator/examoforge.h"

#include "avimaker/frmavi.h"
#include "creator/frmmediacheck.h"
#include "creator/helpwindow.h"
#include "creator/mediacheck.h"
#include "logviewer/frmlog.h"

#include <QApplication>

#include <algorithm>
#include <functional>

namespace examo {

ExamoForge::ExamoForge(CreatorServices& services, AviFileLibrary& aviLibrary)
    : m_services(services), m_aviLibrary(aviLibrary), m_module(m_form, services),
      m_print(m_form, m_module, services),
      m_menus(services.shell, services.dialogs, services.program, services.speech) {
    m_form.attach(&m_module);
    m_form.attachMenus(&m_menus);
    m_form.attachPrint(&m_print);
    m_menus.showScoreLogs = [this] { showScoreLogs(); };
    m_menus.showHelp = [this] { showHelp(); };
    m_menus.showAviMaker = [this] { showAviMaker(); };
    m_module.openLogViewer = [this](const std::string&) { showScoreLogs(); };
    m_module.closeOtherWindows = [this] { closeOtherWindows(); };
    QObject::connect(m_form.cmdPreview, &QPushButton::clicked, &m_form,
                     std::bind_front(&ExamoForge::cmdPreview_Click, this));
    QObject::connect(m_form.mnuFileCheckMedia, &QAction::triggered, &m_form,
                     std::bind_front(&ExamoForge::mnuFileCheckMedia_Click, this));
}

// The previewer reads the quiz store, so it must not outlive it.
ExamoForge::~ExamoForge() {
    delete m_preview.data();
}

void ExamoForge::closeOtherWindows() {
    for (QWidget* w : {m_log.data(), static_cast<QWidget*>(m_preview.data()), m_avi.data(),
                       m_help.data(), m_mediaCheck.data()})
        if (w != nullptr)
            w->close();
}

void ExamoForge::showScoreLogs() {
    // One viewer: asked again, it comes forward with what it shows.
    if (m_log == nullptr) {
        auto* log = new frmLog(m_services.dialogs, m_services.fileDialogs, m_services.program,
                               m_services.printer, m_services.program.commandLine());
        log->setAttribute(Qt::WA_DeleteOnClose);
        m_log = log;
    }
    m_log->show();
    m_log->raise();
    m_log->activateWindow();
}

void ExamoForge::showAviMaker() {
    if (m_avi == nullptr) {
        auto* avi = new frmAVI(m_services.dialogs, m_services.fileDialogs, m_services.shell,
                               m_services.program, m_aviLibrary, m_services.pictures);
        avi->setAttribute(Qt::WA_DeleteOnClose);
        m_avi = avi;
    }
    m_avi->show();
    m_avi->raise();
}

void ExamoForge::showHelp() {
    if (m_help == nullptr) {
        auto* help = new HelpWindow;
        help->setAttribute(Qt::WA_DeleteOnClose);
        m_help = help;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void ExamoForge::cmdPreview_Click() {
    modSound::CloseAllMedia(m_services.media);
    // A closed previewer is only waiting to be deleted: a new run needs a new window.
    if (m_preview == nullptr || m_preview->isHidden()) {
        m_preview = new frmPreview(m_module, m_services);
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_preview->Show();
    // After the first question is on show, as the title and class reach the previewer.
    m_preview->lblTitle->setText(m_form.txtTitle->text());
    m_preview->lblTeacher->setText(m_form.txtTeacher->text());
}

void ExamoForge::mnuFileCheckMedia_Click() {
    const auto first = m_module.QuestionRecords.begin() + 1;
    const std::vector<std::string> records(first,
                                           first + std::max(0, m_module.QuestionCounter - 1));
    // Each movie and tune is opened for real, which takes a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto findings =
        mediacheck::Check(records, m_module.QuizFolder, m_services.media, m_services.pictures);
    QApplication::restoreOverrideCursor();
    const QString title = m_form.txtTitle->text();
    const std::string report =
        mediacheck::Report(title.isEmpty() ? std::string("Untitled") : title.toStdString(),
                           m_module.QuizFolder, findings);
    // A new window each time: the report is of the quiz as it stands now.
    delete m_mediaCheck.data();
    auto* window =
        new frmMediaCheck(QString::fromStdString(report), m_services.printer, m_services.dialogs);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_mediaCheck = window;
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace examo
