#include "creator/modpreview.h"

#include "creator/modcreate.h"

namespace examo {

namespace {

const QuizRunRules kPreviewRules{.wrongAnswerIcon = Dialogs::Icon::Critical,
                                 .redStepOnTrueFalse = false,
                                 .hideMediaClosesAll = false,
                                 .playButtonError = "Error in media file.",
                                 .outOfRangeAnswerCountsWrong = false};

// The creator's built-in sounds.
constexpr std::int16_t kRightSound = 101;
constexpr std::int16_t kWrongSound = 102;

} // namespace

modPreview::modPreview(QuizForm& form, QuizServices& services, modCreate& store)
    : QuizRun(form, services, kPreviewRules), m_store(store) {}

void modPreview::Form_Load() {
    m_form.show();
    m_form.repaint();
    Score = 0;
    CurrentQuestion = 1;
    CorrectAnswer = 1;
    restartClock();
    ShowQuestion();
}

std::string modPreview::recordAt(int n) {
    return n >= 1 && n < static_cast<int>(m_store.QuestionRecords.size())
               ? m_store.QuestionRecords[static_cast<std::size_t>(n)]
               : std::string();
}

int modPreview::questionCount() {
    return m_store.QuestionCounter - 1;
}

std::string modPreview::quizFolder() {
    return m_store.QuizFolder;
}

void modPreview::playRightSound() {
    modSound::PlayResourceWave(m_services.media, kRightSound, "sync");
}

void modPreview::playWrongSound() {
    modSound::PlayResourceWave(m_services.media, kWrongSound, "async");
}

void modPreview::ShowResults() {
    const Results results = finishScore(questionCount());
    // Nothing is logged: the teacher's trial leaves no trace on disk.
    if (offerPrintedScore(results))
        PrintScore(QStringLiteral("Student Name"), QStringLiteral("Test Name.....Teacher"),
                   scoreLine(results), false);
    m_form.close();
}

} // namespace examo
