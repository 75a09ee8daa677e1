#include "quizrun/quizrun.h"

#include "quizrun/fitpicture.h"

#include "platform/cp1252.h"
#include "storage/fileexists.h"
#include "storage/mediafile.h"
#include "storage/record.h"
#include "storage/scorelog.h"
#include "storage/textrules.h"
#include "widgets/quiztext.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <stdexcept>

namespace examo {

namespace {

// The editor's rule for a media kind: the file name's extension, a dotted folder aside.
using MediaKind = mediafile::Kind;

} // namespace

std::string readAloudNote(Speech& speech) {
    if (speech.available())
        return {};
    return "\r\n\r\nReading aloud (F5) needs a speech engine, such as\r\n"
           "speech-dispatcher with espeak-ng.";
}

QuizRun::QuizRun(QuizForm& form, QuizServices& services, QuizRunRules rules)
    : m_form(form), m_services(services), m_rules(std::move(rules)) {}

void QuizRun::restartClock() {
    StartTime = m_services.clock.monotonicSeconds();
}

long long QuizRun::elapsedSeconds() {
    return text::WholePart(m_services.clock.monotonicSeconds() - StartTime);
}

void QuizRun::redraw() {
    m_form.repaint();
}

void QuizRun::message(const std::string& text, Dialogs::Icon icon) {
    m_services.dialogs.message(text, Dialogs::Buttons::Ok, icon);
}

void QuizRun::UpdateCounters() {
    m_form.lblCount->setText(QStringLiteral("Question #") +
                             QString::fromStdString(text::Str(CurrentQuestion)));
    m_form.lblScore->setText(
        QStringLiteral("Score: %1 correct of %2 total.").arg(Score).arg(questionCount()));
    m_form.picPic->clearPicture();
    m_form.picPic->hide();
    m_form.cmdPreview->hide();
    m_form.describeMedia({}, {});
    m_services.speech.stop(); // the reading of the last question has nothing left to say
    modSound::CloseAllMedia(m_services.media);
}

void QuizRun::ShowQuestion() {
    try {
        UpdateCounters();
        const auto kind = record::KindOf(recordAt(CurrentQuestion));
        if (kind == record::QuestionKind::MultipleChoice)
            ShowMultipleChoice();
        else if (kind == record::QuestionKind::TrueFalse)
            ShowTrueFalse();
    } catch (const std::exception&) {
        message("Error updating question!", Dialogs::Icon::Critical);
    }
    m_form.presentQuestion();
}

void QuizRun::ShowMultipleChoice() {
    showQuestionOf(false);
}

void QuizRun::ShowTrueFalse() {
    showQuestionOf(true);
}

void QuizRun::showQuestionOf(bool trueFalse) {
    const std::string line = recordAt(CurrentQuestion);
    if (!trueFalse)
        HideMedia(); // the true/false display relies on ShowQuestion having hidden everything
    if (trueFalse)
        QuizForm::unselect(m_form.optTrueFalse);
    else
        QuizForm::unselect(m_form.optABCD);
    m_form.showPanel(trueFalse);
    if (line.empty())
        return;
    const auto parsed = record::ParseQuestion(line);
    if (!parsed.question) {
        message("An error has occured.  Unable to process question " +
                text::QuoteInMessage(cp1252::toUtf8(parsed.kindField)));
        return;
    }
    const record::Question& q = *parsed.question;
    if (trueFalse) {
        m_form.lblTrueQuestion->setText(fromQuizText(q.text));
    } else {
        m_form.lblMQuestion->setText(fromQuizText(q.text));
        for (std::size_t i = 0; i < 4; ++i)
            m_form.lblMAnswer[i]->setText(fromQuizText(q.answers[i]));
    }
    CorrectAnswer = static_cast<std::int16_t>(q.correct);
    lookUpMedia(cp1252::toUtf8(q.media));
}

void QuizRun::lookUpMedia(const std::string& field) {
    // A full path as written, a bare name beside its quiz: the current folder, which every
    // file dialog moves, counts only while the quiz's folder is not known yet.
    const std::string folder = quizFolder();
    std::string path = mediafile::Resolve(field, folder);
    if (path.empty() && folder.empty() && !record::IsNoneMedia(field) && files::FileExists(field))
        path = field;
    if (!path.empty())
        ShowMedia(path);
}

void QuizRun::ShowMedia(const std::string& path) {
    MediaPath = path;
    auto& media = m_services.media;
    const QString fileName = QFileInfo(QString::fromStdString(path)).fileName();
    const auto startMedia = [this, &fileName](const QString& caption, bool showBox) {
        m_form.describeMedia(showBox ? QStringLiteral("movie") : QStringLiteral("sound"), fileName);
        m_form.setCursor(Qt::WaitCursor);
        m_form.cmdPreview->setText(caption);
        m_form.cmdPreview->show();
        m_form.picPic->setVisible(showBox);
        redraw();
    };
    switch (mediafile::KindOf(path)) {
    case MediaKind::Wave:
        startMedia(QStringLiteral("Play Sound"), false);
        modSound::PlayWaveFile(media, path, "sync");
        break;
    case MediaKind::Avi:
        startMedia(QStringLiteral("Play Movie"), true);
        modSound::PlayAviMovie(media, path, *m_form.picPic, true);
        break;
    case MediaKind::Mpeg:
        startMedia(QStringLiteral("Play Movie"), true);
        modSound::PlayMpegMovie(media, path, *m_form.picPic, true);
        break;
    case MediaKind::Midi:
        startMedia(QStringLiteral("Play Music"), false);
        modSound::PlayMidiFile(media, path);
        break;
    case MediaKind::Mp3:
        startMedia(QStringLiteral("Play Music"), false);
        modSound::PlayMp3File(media, path);
        break;
    case MediaKind::Picture: {
        const QImage picture = m_services.pictures.load(QString::fromStdString(path));
        if (picture.isNull()) {
            m_form.setCursor(m_form.ownCursor());
            message("Error loading media file!", Dialogs::Icon::Critical);
            return;
        }
        m_form.picHide->setAutoSizedPicture(picture);
        m_form.describeMedia(QStringLiteral("picture"), fileName);
        FitPicture();
        redraw();
        return;
    }
    case MediaKind::None:
        return;
    }
    m_form.setCursor(m_form.ownCursor());
}

void QuizRun::FitPicture() {
    const int W = m_form.picHide->innerWidth();
    const int H = m_form.picHide->innerHeight();
    if (W <= 0 || H <= 0)
        return;
    const QRect r = FittedRect(W, H, m_form.picPic->innerWidth(), m_form.picPic->innerHeight());
    m_form.picPic->clearPicture();
    m_form.picPic->paintPicture(m_form.picHide->picture(), r.x(), r.y(), r.width(), r.height());
    m_form.cmdPreview->hide();
    m_form.picPic->show();
}

void QuizRun::HideMedia() {
    m_form.cmdPreview->hide();
    m_form.picPic->hide();
    if (m_rules.hideMediaClosesAll)
        modSound::CloseAllMedia(m_services.media);
}

void QuizRun::SetColors(const QColor& color) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             &m_form, m_form.client(), m_form.lblScore, m_form.lblTeacher, m_form.lblTitle,
             m_form.grpMultiple, m_form.grpTrueFalse, m_form.picPic, m_form.optTrueFalse[0],
             m_form.optTrueFalse[1]})
        setBackColor(w, color);
    redraw();
}

void QuizRun::cmdPreview_Click() {
    m_form.setCursor(Qt::WaitCursor);
    bool failed = false;
    try {
        playAgain();
    } catch (const std::exception&) {
        failed = true;
    }
    m_form.setCursor(m_form.ownCursor());
    if (failed)
        message(m_rules.playButtonError, Dialogs::Icon::Critical);
}

void QuizRun::playAgain() {
    auto& media = m_services.media;
    modSound::CloseAllMedia(media);
    switch (mediafile::KindOf(MediaPath)) {
    case MediaKind::Wave:
        modSound::PlayWaveFile(media, MediaPath, "async");
        break;
    case MediaKind::Midi:
        modSound::PlayMidiFile(media, MediaPath);
        break;
    case MediaKind::Mp3:
        modSound::PlayMp3File(media, MediaPath);
        break;
    case MediaKind::Mpeg:
        modSound::PlayMpegMovie(media, MediaPath, *m_form.picPic, true);
        break;
    case MediaKind::Avi:
        modSound::PlayAviMovie(media, MediaPath, *m_form.picPic, true);
        break;
    case MediaKind::Picture:
    case MediaKind::None:
        break;
    }
}

void QuizRun::readAloud() {
    Speech& speech = m_services.speech;
    if (speech.speaking())
        speech.stop();
    else if (speech.available())
        speech.say(m_form.questionForReading());
}

void QuizRun::optABCD_MouseUp(int index, int, int, int, int) {
    grade(index, m_form.optABCD, false);
}

void QuizRun::optTrueFalse_MouseUp(int index, int, int, int, int) {
    grade(index, m_form.optTrueFalse, true);
}

template <std::size_t N>
void QuizRun::grade(int index, std::array<QRadioButton*, N>& buttons, bool trueFalse) {
    const QColor saved = backColor(&m_form);
    try {
        gradeAndGoOn(index, buttons, trueFalse);
    } catch (const std::exception&) {
        // The handler ends here; a highlight must not outlive it.
        if (backColor(&m_form) != saved)
            SetColors(saved);
        message("There has been an error in this question.", Dialogs::Icon::Critical);
    }
}

template <std::size_t N>
void QuizRun::gradeAndGoOn(int index, std::array<QRadioButton*, N>& buttons, bool trueFalse) {
    if (!acceptsAnswer(trueFalse))
        return;
    m_services.speech.stop(); // answered: the reading would talk over the feedback
    if (CorrectAnswer < 0 || CorrectAnswer >= static_cast<int>(N)) {
        // The record names no existing button: there is no right answer to name.
        if (!m_rules.outOfRangeAnswerCountsWrong)
            throw std::out_of_range("the right answer names no button");
        m_form.cmdPreview->hide();
        m_form.picPic->hide();
        playWrongSound();
        NextQuestion();
        return;
    }
    const QColor saved = backColor(&m_form);
    m_form.cmdPreview->hide();
    m_form.picPic->hide();
    if (index != CorrectAnswer) {
        playWrongSound();
        const QString letter = buttons[CorrectAnswer]->text();
        const QString answer =
            trueFalse ? letter + QStringLiteral(".")
                      : letter + QStringLiteral(". ") + m_form.lblMAnswer[CorrectAnswer]->text();
        message("The correct answer was " + text::QuoteInMessage(answer.toStdString()),
                m_rules.wrongAnswerIcon);
    } else {
        SetColors(backColor(m_form.cmdExit));
        playRightSound();
        ++Score;
        if (trueFalse && m_rules.redStepOnTrueFalse)
            SetColors(QColor(255, 0, 0));
        SetColors(saved);
    }
    NextQuestion();
}

void QuizRun::NextQuestion() {
    ++CurrentQuestion;
    if (CurrentQuestion <= questionCount()) {
        ShowQuestion();
        return;
    }
    markQuizEnd();
    m_form.picPic->clearPicture();
    m_form.picPic->hide();
    m_form.cmdPreview->hide();
    ShowResults();
}

QuizRun::Results QuizRun::finishScore(int count) {
    m_form.lblScore->setText(
        QStringLiteral("Score: %1 correct of %2 total.").arg(Score).arg(count));
    // A quiz without questions still ends in a summary, without dividing by zero.
    const int counted = std::max(count, 1);
    return Results{.count = counted,
                   .percent = scorelog::PercentText(Score, counted),
                   .timeText = scorelog::TimeSpentText(elapsedSeconds())};
}

bool QuizRun::offerPrintedScore(const Results& r) {
    const std::string summary = "You got " + text::Dec(Score) + " correct out of " +
                                text::Dec(r.count) + " total questions.\r\nYou scored " +
                                r.percent + " percent.\r\nYou spent " + r.timeText +
                                " on this quiz.\r\n\r\nWould you like to print your score?";
    return m_services.dialogs.message(summary, Dialogs::Buttons::YesNo, Dialogs::Icon::None,
                                      "Your Score!") == Dialogs::Answer::Yes;
}

QString QuizRun::scoreLine(const Results& r) {
    return QString::fromStdString("Score " + text::Dec(Score) + " of " + text::Dec(r.count) +
                                  ".  " + r.percent + "%   Time spent " + r.timeText +
                                  ".  Test date:  " + m_services.clock.now().shortDate);
}

void QuizRun::PrintScore(const QString& studentLine, const QString& testLine,
                         const QString& scoreLine, bool blankLinePair) {
    try {
        Printer& p = m_services.printer;
        p.print(QString());
        if (blankLinePair)
            p.print(QStringLiteral("\r\n"));
        p.print(studentLine);
        p.print(testLine);
        p.print(scoreLine);
        p.endDoc();
    } catch (const PrintError&) {
        message("There was an error printing the quiz score.", Dialogs::Icon::Critical);
    }
}

} // namespace examo
