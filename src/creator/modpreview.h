#pragma once

#include "quizrun/quizrun.h"

#include <string>

namespace examo {

class modCreate;

// The creator's previewer: the quiz being written, taken as a student takes it. It reads the
// creator's quiz store at each question, so changes made meanwhile are shown when reached; it
// keeps no score log and closes its window after the summary.
class modPreview : public QuizRun {
public:
    modPreview(QuizForm& form, QuizServices& services, modCreate& store);

    // The window's load step: a new run from the first question.
    void Form_Load();
    void ShowResults() override;

protected:
    std::string recordAt(int n) override;
    int questionCount() override;
    std::string quizFolder() override;
    bool acceptsAnswer(bool) override { return true; }
    void playRightSound() override;
    void playWrongSound() override;
    // The counter keeps the last question's number; ShowResults writes the score.
    void markQuizEnd() override {}

private:
    modCreate& m_store;
};

} // namespace examo
