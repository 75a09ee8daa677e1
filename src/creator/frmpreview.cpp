#include "creator/frmpreview.h"

#include <QCloseEvent>

namespace examo {

frmPreview::frmPreview(modCreate& store, CreatorServices& services, QWidget* parent)
    : QuizForm(Layout{.caption = QStringLiteral("Examo Me Previewer"),
                      .clientWidthTwips = 9480,
                      .clientHeightTwips = 5445,
                      .scoreLeftTwips = 120},
               parent),
      m_quiz{.media = services.media,
             .dialogs = services.dialogs,
             .clock = services.clock,
             .pictures = services.pictures,
             .printer = services.printer,
             .speech = services.speech},
      m_module(*this, m_quiz, store) {
    connect(cmdExit, &QPushButton::clicked, this, &frmPreview::cmdExit_Click);
    attachRun(&m_module);
}

void frmPreview::Show() {
    if (!m_loaded) {
        m_loaded = true;
        m_module.Form_Load();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void frmPreview::cmdExit_Click() {
    close();
}

void frmPreview::closeEvent(QCloseEvent* event) {
    modSound::CloseAllMedia(m_quiz.media);
    m_quiz.speech.stop();
    event->accept();
}

} // namespace examo
