#include "quizrun/quizform.h"

#include "platform/twips.h"
#include "quizrun/quizrun.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <optional>
#include <utility>

namespace examo {

namespace {

using namespace quizcolors;

constexpr std::uint32_t kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kBlack = rgb(0, 0, 0);
// The answer letters' raised edge and their face while pressed.
constexpr std::uint32_t kButtonEdge = rgb(200, 225, 255);
constexpr std::uint32_t kButtonDown = rgb(120, 170, 235);

// The quiz window's controls; lblScore's left comes from the Layout.
// clang-format off
constexpr ControlSpec kQuizControls[] = {
    {.name = "lblScore", .caption = "Score:  xxx correct of xxx total questions.",
     .top = 240, .width = 3765, .height = 300, .points = 12, .bold = true, .back = kBack,
     .fore = kLabel},
    {.name = "lblTitle", .caption = "Test Title",
     .left = 4320, .top = 120, .width = 3735, .height = 255, .back = kBack, .fore = kWhite},
    {.name = "lblTeacher", .caption = "Class Name",
     .left = 4320, .top = 360, .width = 3735, .height = 255, .back = kBack, .fore = kWhite},
    {.name = "cmdExit", .caption = "Exit", .left = 8160, .top = 240, .width = 1215, .height = 375,
     .back = kButton},
    {.name = "cmdPreview", .caption = "Play Wav",
     .left = 120, .top = 720, .width = 1215, .height = 375, .back = kButton},
    {.name = "lblCount", .caption = "Question #1",
     .left = 2040, .top = 720, .width = 2175, .height = 375, .points = 12, .back = kLabel,
     .fore = kBlack},
    {.name = "picPic", .left = 120, .top = 1200, .width = 4095, .height = 4095, .back = kBack},
    {.name = "picHide", .left = 600, .top = 3960, .width = 855, .height = 735},
    {.name = "grpMultiple", .caption = "Multiple Choice Question",
     .left = QuizForm::kInView, .top = 720, .width = 5055, .height = 4575, .back = kBack,
     .fore = kWhite},
    {.name = "lblMQuestion", .left = 240, .top = 360, .width = 4575, .height = 1575,
     .back = kLabel, .fore = kBlack},
    {.name = "optABCD(0)", .caption = "A", .left = 240, .top = 2040, .width = 375, .height = 495,
     .back = kButton},
    {.name = "optABCD(1)", .caption = "B", .left = 240, .top = 2640, .width = 375, .height = 495,
     .back = kButton},
    {.name = "optABCD(2)", .caption = "C", .left = 240, .top = 3240, .width = 375, .height = 495,
     .back = kButton},
    {.name = "optABCD(3)", .caption = "D", .left = 240, .top = 3840, .width = 375, .height = 495,
     .back = kButton},
    {.name = "lblMAnswer(0)", .left = 720, .top = 2040, .width = 4095, .height = 495,
     .back = kLabel, .fore = kBlack},
    {.name = "lblMAnswer(1)", .left = 720, .top = 2640, .width = 4095, .height = 495,
     .back = kLabel, .fore = kBlack},
    {.name = "lblMAnswer(2)", .left = 720, .top = 3240, .width = 4095, .height = 495,
     .back = kLabel, .fore = kBlack},
    {.name = "lblMAnswer(3)", .left = 720, .top = 3840, .width = 4095, .height = 495,
     .back = kLabel, .fore = kBlack},
    {.name = "grpTrueFalse", .caption = "True/False Question:",
     .left = kOutOfSight, .top = 720, .width = 5055, .height = 4575, .back = kBack, .fore = kWhite},
    {.name = "lblTrueQuestion", .caption = "Question",
     .left = 240, .top = 360, .width = 4575, .height = 1575, .back = kLabel, .fore = kBlack},
    {.name = "optTrueFalse(0)", .caption = "True",
     .left = 480, .top = 2280, .width = 975, .height = 495, .back = kBack, .fore = kWhite},
    {.name = "optTrueFalse(1)", .caption = "False",
     .left = 480, .top = 3000, .width = 975, .height = 495, .back = kBack, .fore = kWhite},
};
// clang-format on

QLabel* label(QWidget* parent, const ControlSpec& spec) {
    auto* l = buildControl<QLabel>(parent, spec);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLabel* label(QWidget* parent, std::string_view name) {
    return label(parent, controlSpec(kQuizControls, name));
}

// Too narrow for a round mark beside the letter: the letter is the button.
// With keyboard marks, the focused letter has a thick gold edge; without them (until the
// student first answers or moves with a key), it looks as it always did.
QString answerLetterStyle(bool keyboardMarks = false) {
    QString style =
        QStringLiteral("QRadioButton { background-color: %1; border: 2px outset %2; "
                       "padding-left: 5px; font-weight: bold; }"
                       "QRadioButton:checked { border-style: inset; background-color: %3; }"
                       "QRadioButton::indicator { width: 0px; height: 0px; }")
            .arg(cssColor(kButton), cssColor(kButtonEdge), cssColor(kButtonDown));
    if (keyboardMarks)
        style += QStringLiteral("QRadioButton:focus { border: 3px solid #ffd700; }");
    return style;
}

// Our own pointer: a pencil-blue arrow with a small star, so the quiz window feels its own.
QCursor quizCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 22);
    arrow.lineTo(6, 17);
    arrow.lineTo(10, 26);
    arrow.lineTo(13, 25);
    arrow.lineTo(9, 16);
    arrow.lineTo(16, 16);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(20, 40, 160));
    p.drawPath(arrow);
    QPainterPath star;
    const QPointF c(23, 8);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 6.5 : 2.8;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.setBrush(QColor(255, 210, 40));
    p.drawPath(star);
    p.end();
    return QCursor(pixmap, 1, 1);
}

} // namespace

QuizForm::QuizForm(const Layout& layout, QWidget* parent)
    : QMainWindow(parent), m_client(new QWidget(this)), m_cursor(quizCursor()) {
    setWindowTitle(layout.caption);
    setCentralWidget(m_client);
    m_client->setFixedSize(twipsToPixels(layout.clientWidthTwips),
                           twipsToPixels(layout.clientHeightTwips));
    useDesignFont(this);
    buildControls(layout);
    setBackColor(this, toColor(kBack));
    setBackColor(m_client, toColor(kBack));
    setCursor(m_cursor);
}

void QuizForm::buildControls(const Layout& layout) {
    QWidget* c = m_client;
    ControlSpec score = controlSpec(kQuizControls, "lblScore");
    score.left = layout.scoreLeftTwips;
    lblScore = label(c, score);
    lblScore->setWordWrap(false);
    lblTitle = label(c, "lblTitle");
    lblTeacher = label(c, "lblTeacher");
    cmdExit = buildControl<QPushButton>(c, kQuizControls, "cmdExit");
    cmdPreview = buildControl<QPushButton>(c, kQuizControls, "cmdPreview");
    lblCount = label(c, "lblCount");
    picPic = buildControl<PictureBox>(c, kQuizControls, "picPic");
    picHide = buildControl<PictureBox>(c, kQuizControls, "picHide", false);
    picHide->hide();

    grpMultiple = buildControl<QGroupBox>(c, kQuizControls, "grpMultiple");
    lblMQuestion = label(grpMultiple, "lblMQuestion");
    for (std::size_t i = 0; i < optABCD.size(); ++i) {
        optABCD[i] =
            buildControl<QRadioButton>(grpMultiple, kQuizControls, indexedName("optABCD", i));
        optABCD[i]->setStyleSheet(answerLetterStyle());
        optABCD[i]->installEventFilter(this);
        lblMAnswer[i] = label(grpMultiple, indexedName("lblMAnswer", i));
    }

    grpTrueFalse = buildControl<QGroupBox>(c, kQuizControls, "grpTrueFalse");
    lblTrueQuestion = label(grpTrueFalse, "lblTrueQuestion");
    for (std::size_t i = 0; i < optTrueFalse.size(); ++i) {
        optTrueFalse[i] =
            buildControl<QRadioButton>(grpTrueFalse, kQuizControls, indexedName("optTrueFalse", i));
        optTrueFalse[i]->installEventFilter(this);
    }
    // Tab goes in screen order: Exit, Play, then the answer buttons from top to bottom.
    QWidget* previous = cmdExit;
    const auto then = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    then(cmdPreview);
    for (QRadioButton* b : optABCD)
        then(b);
    for (QRadioButton* b : optTrueFalse)
        then(b);
    // Only now: a widget that takes no focus cannot be put in the order.
    for (QRadioButton* b : optTrueFalse)
        b->setFocusPolicy(Qt::NoFocus); // out of sight until a question needs it
}

void QuizForm::attachRun(QuizRun* run) {
    connect(cmdPreview, &QPushButton::clicked, this,
            std::bind_front(&QuizRun::cmdPreview_Click, run));
    onMultipleChoiceMouseUp(std::bind_front(&QuizRun::optABCD_MouseUp, run));
    onTrueFalseMouseUp(std::bind_front(&QuizRun::optTrueFalse_MouseUp, run));
    onReadAloud(std::bind_front(&QuizRun::readAloud, run));
}

void QuizForm::showPanel(bool trueFalse) {
    m_trueFalseInView = trueFalse;
    setLeftTwips(grpTrueFalse, trueFalse ? kInView : kOutOfSight);
    setLeftTwips(grpMultiple, trueFalse ? kOutOfSight : kInView);
    // Tab never leads into the panel out of sight.
    for (QRadioButton* b : optABCD)
        b->setFocusPolicy(trueFalse ? Qt::NoFocus : Qt::StrongFocus);
    for (QRadioButton* b : optTrueFalse)
        b->setFocusPolicy(trueFalse ? Qt::StrongFocus : Qt::NoFocus);
}

void QuizForm::presentQuestion() {
    for (std::size_t i = 0; i < optABCD.size(); ++i)
        optABCD[i]->setAccessibleName(optABCD[i]->text() + QStringLiteral(": ") +
                                      lblMAnswer[i]->text());
    grpMultiple->setAccessibleDescription(lblMQuestion->text());
    grpTrueFalse->setAccessibleDescription(lblTrueQuestion->text());
    // Focus comes only now, so that a screen reader reads the new names, not the old ones; a
    // button that has the focus already is announced again, as a new question is there.
    QWidget* first = m_trueFalseInView ? static_cast<QWidget*>(optTrueFalse[0]) : optABCD[0];
    const bool focusedAlready = first->hasFocus();
    first->setFocus();
    if (focusedAlready) {
        QAccessibleEvent again(first, QAccessible::Focus);
        QAccessible::updateAccessibility(&again);
    }
}

void QuizForm::describeMedia(const QString& kind, const QString& fileName) {
    const QString what = kind.isEmpty() ? QString() : kind + QStringLiteral(": ") + fileName;
    picPic->setAccessibleName(what);
    cmdPreview->setAccessibleDescription(what);
}

QString QuizForm::questionForReading() const {
    QStringList parts{lblCount->text()};
    if (m_trueFalseInView) {
        parts << lblTrueQuestion->text() << optTrueFalse[0]->text() << optTrueFalse[1]->text();
    } else {
        parts << lblMQuestion->text();
        for (const QRadioButton* b : optABCD)
            parts << b->accessibleName();
    }
    // Each part ends as a sentence, so that the engine pauses between them.
    for (QString& part : parts) {
        part = part.trimmed();
        if (!part.isEmpty() && !QStringLiteral(".?!:;").contains(part.back()))
            part += QLatin1Char('.');
    }
    parts.removeAll(QString());
    return parts.join(QLatin1Char('\n'));
}

void QuizForm::answer(bool trueFalse, int index, int button, int shift, QPoint pos) {
    const MouseUpHandler& handler = trueFalse ? m_trueFalseMouseUp : m_abcdMouseUp;
    // Answer once the button has taken the event itself, so the next question's display is
    // not undone by it.
    QTimer::singleShot(0, this, [handler, index, button, shift, pos] {
        if (handler)
            handler(index, button, shift, pos.x(), pos.y());
    });
}

bool QuizForm::eventFilter(QObject* watched, QEvent* event) {
    const auto answerOf = [this, watched]() -> std::optional<std::pair<bool, int>> {
        for (std::size_t i = 0; i < optABCD.size(); ++i)
            if (watched == optABCD[i])
                return std::pair(false, static_cast<int>(i));
        for (std::size_t i = 0; i < optTrueFalse.size(); ++i)
            if (watched == optTrueFalse[i])
                return std::pair(true, static_cast<int>(i));
        return std::nullopt;
    };
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const auto which = answerOf())
            answer(which->first, which->second, static_cast<int>(mouse->button()),
                   static_cast<int>(mouse->modifiers() >> 25), mouse->position().toPoint());
    } else if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (answerOf() && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
            showKeyboardMarks();
    } else if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // Space, released as a click is, or Enter on the focused answer button is the click
        // of the left mouse button on it.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool release = event->type() == QEvent::KeyRelease;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool space = key->key() == Qt::Key_Space;
        const auto which = answerOf();
        if (which && !key->isAutoRepeat() && ((space && release) || (enter && !release))) {
            pressByKey(which->first, which->second);
            return enter;
        }
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (which && tab && !release) {
            tabFrom(which->first, which->second, key->key() == Qt::Key_Tab);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void QuizForm::tabFrom(bool trueFalse, int index, bool forward) {
    showKeyboardMarks();
    // Every answer button is a stop of its own: Qt would pass over all but one button of an
    // exclusive group, and a student without a mouse must reach each answer.
    const int count = trueFalse ? int(optTrueFalse.size()) : int(optABCD.size());
    const int next = index + (forward ? 1 : -1);
    QWidget* target = nullptr;
    if (next >= 0 && next < count)
        target = trueFalse ? static_cast<QWidget*>(optTrueFalse.at(std::size_t(next)))
                           : optABCD.at(std::size_t(next));
    else if (forward || !cmdPreview->isVisible())
        target = cmdExit;
    else
        target = cmdPreview;
    target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void QuizForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        if (m_readAloud && !event->isAutoRepeat())
            m_readAloud();
        return;
    }
    const QString letters = m_trueFalseInView ? QStringLiteral("TF") : QStringLiteral("ABCD");
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0 &&
                       !event->isAutoRepeat() && event->text().size() == 1;
    const qsizetype index = plain ? letters.indexOf(event->text().toUpper()) : -1;
    if (index < 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    pressByKey(m_trueFalseInView, static_cast<int>(index));
}

void QuizForm::showKeyboardMarks() {
    if (m_keyboardMarks)
        return;
    m_keyboardMarks = true;
    // Qt's styles mark the focus only once the keyboard has moved it; the letters' own style
    // sheet is told here.
    setAttribute(Qt::WA_KeyboardFocusChange);
    for (QRadioButton* b : optABCD)
        b->setStyleSheet(answerLetterStyle(true));
}

void QuizForm::pressByKey(bool trueFalse, int index) {
    showKeyboardMarks();
    QRadioButton* const button = trueFalse ? optTrueFalse.at(static_cast<std::size_t>(index))
                                           : optABCD.at(static_cast<std::size_t>(index));
    // Chosen as a click chooses it.
    button->setFocus();
    button->setChecked(true);
    answer(trueFalse, index, static_cast<int>(Qt::LeftButton), 0, {});
}

} // namespace examo
