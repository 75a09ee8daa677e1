#pragma once

#include "creator/modcreate.h"
#include "creator/modpreview.h"
#include "quizrun/quizform.h"

namespace examo {

// The creator's previewer window: the player's quiz window without its menus, over the
// quiz being written. Not modal: the creator stays usable beside it.
class frmPreview : public QuizForm {
public:
    frmPreview(modCreate& store, CreatorServices& services, QWidget* parent = nullptr);

    modPreview& module() { return m_module; }

    // Shows the window; the first time, its load step starts the run.
    void Show();
    void cmdExit_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QuizServices m_quiz;
    modPreview m_module;
    bool m_loaded = false;
};

} // namespace examo
