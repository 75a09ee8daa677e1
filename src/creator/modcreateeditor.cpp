#include "creator/modcreate.h"

#include "creator/dlgask.h"
#include "creator/frmcreate.h"
#include "platform/cp1252.h"
#include "storage/mediafile.h"
#include "storage/record.h"
#include "storage/textrules.h"
#include "widgets/controltable.h"
#include "widgets/quiztext.h"

namespace examo {

// ---- the question editor ----

void modCreate::showFrame(bool trueFalse) {
    setLeftTwips(m_form.grpTrueFalse, trueFalse ? frmCreate::kFrameLeft : kOutOfSight);
    setLeftTwips(m_form.grpMultiple, trueFalse ? kOutOfSight : frmCreate::kFrameLeft);
}

void modCreate::optType_Click(int index) {
    showFrame(index == 1);
    ClearMediaPreview();
    modSound::CloseAllMedia(m_services.media);
}

void modCreate::cmdAdd_Click() {
    if (QuestionCounter >= 101) {
        message("Tests are limited to 100 questions.", Dialogs::Icon::Critical);
        return;
    }
    bool added = false;
    if (m_form.optType[0]->isChecked())
        added = AddMultipleChoice();
    else if (m_form.optType[1]->isChecked())
        added = AddTrueFalse();
    if (added) {
        ++QuestionCounter;
        SetHasQuestions(true);
    }
}

std::optional<std::string> modCreate::quizText(const QString& typed, const QString& where) {
    const auto field = record::EncodeField(typed.toStdString());
    if (!field.refused)
        return field.bytes;
    message(
        (QStringLiteral("The character %1 cannot be kept in %2.  Please remove it and try again.")
             .arg(QString::fromStdString(record::NameOfCharacter(*field.refused)), where))
            .toStdString(),
        Dialogs::Icon::Critical);
    return std::nullopt;
}

std::optional<std::string> modCreate::mediaField(const QString& typed) {
    if (typed.isEmpty())
        return std::string("none");
    return quizText(typed, QStringLiteral("a media file name"));
}

// The record of the editor's fields with the given kind field; nothing when a field is
// missing or cannot be stored (the teacher has been told).
std::optional<std::string> modCreate::buildRecord(bool trueFalse, const std::string& kindField,
                                                  std::string* questionText) {
    QLineEdit* questionBox = trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion;
    if (questionBox->text().isEmpty()) {
        message("You must enter a question!", Dialogs::Icon::Critical);
        return std::nullopt;
    }
    const auto question = quizText(questionBox->text(), QStringLiteral("a question"));
    if (!question)
        return std::nullopt;
    *questionText = *question;
    if (trueFalse) {
        const auto media = mediaField(m_form.txtTFpic->text());
        if (!media)
            return std::nullopt;
        const int correct = m_form.optTrueAnswer[1]->isChecked() ? 1 : 0;
        return record::BuildTrueFalse(kindField, *question, *media, correct);
    }
    std::array<std::string, 4> answers;
    bool anyEmpty = false;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto answer = quizText(m_form.txtManswer[i]->text(), QStringLiteral("an answer"));
        if (!answer)
            return std::nullopt;
        answers[i] = *answer;
        anyEmpty = anyEmpty || answer->empty();
    }
    if (anyEmpty) {
        message("You must enter four possible answers!");
        return std::nullopt;
    }
    const auto media = mediaField(m_form.txtMpic->text());
    if (!media)
        return std::nullopt;
    int correct = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (m_form.optABCD[i]->isChecked())
            correct = static_cast<int>(i);
    }
    return record::BuildMultipleChoice(kindField, *question, answers, *media, correct);
}

bool modCreate::addQuestion(bool trueFalse) {
    std::string question;
    const auto record = buildRecord(trueFalse, std::string(1, trueFalse ? 't' : 'm'), &question);
    if (!record)
        return false;
    storeQuestion(*record, question);
    (trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion)->setFocus();
    return true;
}

void modCreate::storeQuestion(const std::string& record, const std::string& questionText) {
    const auto slot = static_cast<std::size_t>(QuestionCounter);
    QuestionTexts[slot] = questionText;
    QuestionRecords[slot] = record;
    m_form.cboExist->addItem(fromQuizText(questionText));
    m_form.cboExist->setEditText(fromQuizText(questionText));
}

bool modCreate::AddMultipleChoice() {
    return addQuestion(false);
}

bool modCreate::AddTrueFalse() {
    return addQuestion(true);
}

void modCreate::cboExist_Click() {
    if (!inEditMode()) {
        QLineEdit* pending =
            m_form.optType[0]->isChecked() ? m_form.txtMQuestion : m_form.txtTFquestion;
        if (!pending->text().isEmpty()) {
            const auto answer = m_services.dialogs.message(
                "Going to edit mode will result in the loss of information in the current "
                "question, which has not yet been added to the quiz.  Would you like to add this "
                "question to the quiz?",
                Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
            if (answer == Dialogs::Answer::Yes) {
                cmdAdd_Click();
                return;
            }
        }
    }
    SetEditMode(true);
    modSound::CloseAllMedia(m_services.media);
    const int p = m_form.cboExist->currentIndex();
    bool shown = false;
    if (p >= 0 && p < 100) {
        const std::string r = text::Trim(QuestionRecords[static_cast<std::size_t>(p) + 1]);
        const auto kind = record::KindOf(r);
        if (kind == record::QuestionKind::MultipleChoice)
            shown = DisplayMultipleChoice(r);
        else if (kind == record::QuestionKind::TrueFalse)
            shown = DisplayTrueFalse(r);
    }
    if (shown)
        m_form.lblNumber->setText(numberCaption(p + 1));
    else
        message("Unable to display this question.  Question appears to be corrupted.",
                Dialogs::Icon::Critical);
}

bool modCreate::displayRecord(const std::string& r, bool trueFalse) {
    const auto fields = record::SplitFields(r);
    if (!m_form.optType[trueFalse ? 1 : 0]->isChecked()) {
        m_form.optType[trueFalse ? 1 : 0]->setChecked(true);
        optType_Click(trueFalse ? 1 : 0);
    }
    showFrame(trueFalse);
    if (r.empty())
        return false;
    const auto parsed = record::ParseQuestion(r);
    if (!parsed.question) {
        message("An error has occured.  Unable to process question " +
                text::QuoteInMessage(cp1252::toUtf8(fields.empty() ? std::string() : fields[0])));
        return false;
    }
    const record::Question& q = *parsed.question;
    // The fields are filled first; a right answer naming no option then fails as selecting
    // it would: for multiple choice with the processing message, then the caller's.
    if (trueFalse) {
        m_form.txtTFquestion->setText(fromQuizText(q.text));
        m_form.txtTFpic->setText(fromQuizText(q.media));
        if (q.correct < 0 || q.correct > 1)
            return false;
        m_form.optTrueAnswer[static_cast<std::size_t>(q.correct)]->setChecked(true);
    } else {
        m_form.txtMQuestion->setText(fromQuizText(q.text));
        for (std::size_t i = 0; i < 4; ++i)
            m_form.txtManswer[i]->setText(fromQuizText(q.answers[i]));
        m_form.txtMpic->setText(fromQuizText(q.media));
        if (q.correct < 0 || q.correct > 3) {
            message("An error has occured.  Unable to process question " +
                    text::QuoteInMessage(cp1252::toUtf8(fields[0])));
            return false;
        }
        m_form.optABCD[static_cast<std::size_t>(q.correct)]->setChecked(true);
    }
    // A bare name is found beside the quiz it came from.
    const std::string media = mediafile::Resolve(cp1252::toUtf8(q.media), QuizFolder);
    if (!media.empty())
        PreviewMedia(media);
    return true;
}

bool modCreate::DisplayMultipleChoice(const std::string& r) {
    return displayRecord(r, false);
}

bool modCreate::DisplayTrueFalse(const std::string& r) {
    return displayRecord(r, true);
}

void modCreate::cmdEdit_Click() {
    const int p = m_form.cboExist->currentIndex();
    bool saved = false;
    if (m_form.optType[0]->isChecked())
        saved = SaveEditedMultipleChoice(p);
    else if (m_form.optType[1]->isChecked())
        saved = SaveEditedTrueFalse(p);
    if (!saved) {
        message("There has been an error in editing this question.", Dialogs::Icon::Critical);
        return;
    }
    SetEditMode(false);
    ClearQuestionEditor();
}

bool modCreate::saveEdited(bool trueFalse, int p) {
    if (p < 0 || p > 99)
        return false;
    std::string question;
    const std::string kind = std::string(1, trueFalse ? 't' : 'm') + " " + text::Str(p + 1);
    const auto record = buildRecord(trueFalse, kind, &question);
    if (!record)
        return false;
    QuestionTexts[static_cast<std::size_t>(p) + 1] = question;
    QuestionRecords[static_cast<std::size_t>(p) + 1] = *record;
    FillQuestionList();
    (trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion)->setFocus();
    return true;
}

bool modCreate::SaveEditedMultipleChoice(int position) {
    return saveEdited(false, position);
}

bool modCreate::SaveEditedTrueFalse(int position) {
    return saveEdited(true, position);
}

void modCreate::cmdRemove_Click() {
    const int k = m_form.cboExist->currentIndex() + 1;
    if (k < 1 || k >= QuestionCounter) {
        message("Error removing question.", Dialogs::Icon::Critical);
        return;
    }
    for (int i = k; i <= QuestionCounter - 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        QuestionRecords[at] = QuestionRecords[at + 1];
        const auto fields = record::SplitFields(QuestionRecords[at]);
        QuestionTexts[at] = fields.size() > 1 ? fields[1] : std::string();
    }
    --QuestionCounter;
    FillQuestionList();
    SetEditMode(false);
    ClearQuestionEditor();
}

void modCreate::FillQuestionList() {
    try {
        m_form.cboExist->clear();
        for (int n = 1; n <= QuestionCounter - 1; ++n)
            m_form.cboExist->addItem(fromQuizText(QuestionTexts.at(static_cast<std::size_t>(n))));
        m_form.cboExist->update();
        if (m_form.cboExist->count() > 0)
            m_form.cboExist->setCurrentIndex(0);
        m_form.cboExist->setEditText(fromQuizText(QuestionTexts[1]));
    } catch (const std::exception&) {
        message("This test has become corrupted.  Please start a new test, or open an existing "
                "test.");
    }
}

void modCreate::SetEditMode(bool flag) {
    m_form.cmdEdit->setEnabled(flag);
    m_form.cmdRemove->setEnabled(flag);
    m_form.cmdAdd->setEnabled(!flag);
    m_form.lblEditMode->setVisible(flag);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_form.cmdPreview, m_form.cmdOkay, m_form.grpType,
                                         m_form.optType[0], m_form.optType[1]})
        w->setEnabled(!flag);
    m_form.mnuFileSaveas->setEnabled(!flag);
    m_form.mnuFilePrint->setEnabled(!flag);
    // Questions come in only in add mode, and go out only as saved, like the quiz itself.
    m_form.mnuFileImport->setEnabled(!flag);
    m_form.mnuFileExport->setEnabled(!flag);
    if (!flag)
        m_form.cboExist->setEditText(QStringLiteral("Existing Questions"));
}

void modCreate::ClearQuestionEditor() {
    modSound::CloseAllMedia(m_services.media);
    PreviewMediaPath.clear();
    for (auto* box : m_form.txtManswer)
        box->clear();
    m_form.txtMpic->setText(QStringLiteral("none"));
    m_form.txtMQuestion->clear();
    m_form.txtTFpic->setText(QStringLiteral("none"));
    m_form.txtTFquestion->clear();
    m_form.lblNumber->setText(numberCaption(QuestionCounter));
    m_form.cboExist->setEditText(m_form.cboExist->count() > 0 ? m_form.cboExist->itemText(0)
                                                              : QString());
    ClearMediaPreview();
}

void modCreate::lblEditMode_Click() {
    if (!DontAskAgain)
        m_ask->showModal();
    if (LeaveEditModeAnswer) {
        SetEditMode(false);
        ClearQuestionEditor();
    }
}

} // namespace examo
