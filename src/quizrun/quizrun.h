#pragma once

#include "media/modsound.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "platform/speech.h"
#include "quizrun/quizform.h"

#include <cstdint>
#include <string>

namespace examo {

// The services taking a quiz uses.
struct QuizServices {
    modSound::Media& media;
    Dialogs& dialogs;
    Clock& clock;
    PictureLoader& pictures;
    Printer& printer;
    Speech& speech;
};

// What differs between the player and the creator's previewer.
struct QuizRunRules {
    Dialogs::Icon wrongAnswerIcon;    // the player's box has none, the previewer's a stop sign
    bool redStepOnTrueFalse;          // a right true/false answer flashes red for a moment
    bool hideMediaClosesAll;          // the previewer has closed media already
    std::string playButtonError;      // the Play button's failure message
    bool outOfRangeAnswerCountsWrong; // else the question is reported and stays
};

// For the About box: a word on what reading aloud needs, where there is no speech engine;
// else nothing.
std::string readAloudNote(Speech& speech);

// Taking a quiz in a quiz window: showing questions and their media, grading answers,
// the summary and the printed score. The player and the previewer supply the quiz, the
// sounds and what follows the summary.
class QuizRun {
public:
    QuizRun(QuizForm& form, QuizServices& services, QuizRunRules rules);
    virtual ~QuizRun() = default;
    QuizRun(const QuizRun&) = delete;
    QuizRun& operator=(const QuizRun&) = delete;

    // The state of the question on show.
    std::int16_t CurrentQuestion = 1;
    std::int16_t CorrectAnswer = 0;
    std::int16_t Score = 0;
    std::string MediaPath; // UTF-8, as the file system names it
    double StartTime = 0;  // on the monotonic clock

    void UpdateCounters();
    void ShowQuestion();
    void ShowMultipleChoice();
    void ShowTrueFalse();
    void ShowMedia(const std::string& path);
    void FitPicture();
    void HideMedia();
    void SetColors(const QColor& color);
    void NextQuestion();
    virtual void ShowResults() = 0;
    void PrintScore(const QString& studentLine, const QString& testLine, const QString& scoreLine,
                    bool blankLinePair);

    void cmdPreview_Click();
    void optABCD_MouseUp(int index, int button, int shift, int x, int y);
    void optTrueFalse_MouseUp(int index, int button, int shift, int x, int y);
    // F5: reads the question and its answers aloud; while reading, stops.
    void readAloud();

    // What the summary of a finished quiz tells.
    struct Results {
        int count; // the questions, at least 1
        std::string percent;
        std::string timeText;
    };
    // Writes the final score label for count questions and works out the results.
    Results finishScore(int count);
    // The summary box; true when the student asks for the printed score.
    bool offerPrintedScore(const Results& results);
    // "Score 7 of 9.  77%   Time spent ...  Test date:  <short date>"
    QString scoreLine(const Results& results);
    // Whole seconds since StartTime.
    long long elapsedSeconds();
    void restartClock();

protected:
    // The record of question n (1-based) as stored, Windows-1252.
    virtual std::string recordAt(int n) = 0;
    virtual int questionCount() = 0;
    // The folder media names are looked up in second, with its trailing "/".
    virtual std::string quizFolder() = 0;
    // False when the click must not be graded (and the user has been told why).
    virtual bool acceptsAnswer(bool trueFalsePanel) = 0;
    virtual void playRightSound() = 0;
    virtual void playWrongSound() = 0;
    // After the last answer, before the results.
    virtual void markQuizEnd() = 0;

    QuizForm& m_form;
    QuizServices& m_services;

private:
    template <std::size_t N>
    void grade(int index, std::array<QRadioButton*, N>& buttons, bool trueFalse);
    template <std::size_t N>
    void gradeAndGoOn(int index, std::array<QRadioButton*, N>& buttons, bool trueFalse);
    void playAgain();
    void showQuestionOf(bool trueFalse);
    void lookUpMedia(const std::string& field);
    void redraw();
    void message(const std::string& text, Dialogs::Icon icon = Dialogs::Icon::None);

    QuizRunRules m_rules;
};

} // namespace examo
