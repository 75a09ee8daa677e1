#pragma once

#include "platform/twips.h"
#include "quizrun/picturebox.h"
#include "widgets/controltable.h"

#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <cstdint>
#include <functional>

namespace examo {

class QuizRun;

// The window a quiz is taken in: the same controls in the player and in the creator's
// previewer, which differ only in caption, client size and where the score stands.
class QuizForm : public QMainWindow {
public:
    struct Layout {
        QString caption;
        int clientWidthTwips;
        int clientHeightTwips;
        int scoreLeftTwips;
    };

    // Where the panel in use stands; the other is out of sight.
    static constexpr int kInView = 4320;

    explicit QuizForm(const Layout& layout, QWidget* parent = nullptr);

    // Unselects every answer button of a panel.
    template <std::size_t N> static void unselect(std::array<QRadioButton*, N>& buttons) {
        for (auto* b : buttons) {
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }

    // Called when a mouse button is released on an answer button, after the button has
    // handled the release itself: (index, mouse button, shift state, x, y).
    using MouseUpHandler = std::function<void(int, int, int, int, int)>;
    void onMultipleChoiceMouseUp(MouseUpHandler handler) { m_abcdMouseUp = std::move(handler); }
    void onTrueFalseMouseUp(MouseUpHandler handler) { m_trueFalseMouseUp = std::move(handler); }
    // F5: reads the question on show aloud, or stops reading it.
    void onReadAloud(std::function<void()> handler) { m_readAloud = std::move(handler); }
    // Sends the Play button, the answer buttons and F5 to the run that takes the quiz here.
    void attachRun(QuizRun* run);
    // Puts the panel of the question's kind in view and the other out of sight.
    void showPanel(bool trueFalse);
    // Once the question on show is filled in: screen readers get each answer button named
    // with its letter and answer ("A: Paris") and the question as its panel's description,
    // and the focus goes to the first answer, which announces the new question.
    void presentQuestion();
    // What the picture box shows or the Play button plays, for screen readers: its kind
    // ("picture", "movie" or "sound") and file name; an empty kind for none.
    void describeMedia(const QString& kind, const QString& fileName);
    // The question on show as it is read aloud: its number, the question and the answers.
    QString questionForReading() const;

    QWidget* client() const { return m_client; }
    QCursor ownCursor() const { return m_cursor; }

    QLabel* lblScore;
    QLabel* lblTitle;
    QLabel* lblTeacher;
    QPushButton* cmdExit;
    QPushButton* cmdPreview;
    QLabel* lblCount;
    PictureBox* picPic;
    PictureBox* picHide;
    QGroupBox* grpMultiple;
    QLabel* lblMQuestion;
    std::array<QRadioButton*, 4> optABCD;
    std::array<QLabel*, 4> lblMAnswer;
    QGroupBox* grpTrueFalse;
    QLabel* lblTrueQuestion;
    std::array<QRadioButton*, 2> optTrueFalse;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A, B, C and D answer a multiple-choice question, T and F a true/false one.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls(const Layout& layout);
    // Grades the answer button as a mouse release on it would, once the event is handled.
    void answer(bool trueFalse, int index, int button, int shift, QPoint pos);
    // The same for a key: the button is chosen, as a click chooses it, then graded.
    void pressByKey(bool trueFalse, int index);
    // Tab or Shift+Tab on an answer button.
    void tabFrom(bool trueFalse, int index, bool forward);
    // From the first key on, the focused answer button is marked.
    void showKeyboardMarks();

    QWidget* m_client;
    QCursor m_cursor;
    MouseUpHandler m_abcdMouseUp;
    MouseUpHandler m_trueFalseMouseUp;
    std::function<void()> m_readAloud;
    bool m_trueFalseInView = false;
    bool m_keyboardMarks = false;
};

// The colours of the quiz window.
namespace quizcolors {
inline constexpr std::uint32_t kBack = rgb(53, 53, 255);
inline constexpr std::uint32_t kLabel = rgb(106, 181, 255);
inline constexpr std::uint32_t kButton = rgb(150, 200, 255);
} // namespace quizcolors

} // namespace examo
