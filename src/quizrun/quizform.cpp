#include "quizrun/quizform.h"

#include "platform/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace examo {

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QFont sansSerif(double points, bool bold = false) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <class W> W* place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QLabel* label(QWidget* parent, const QString& text, const QColor& back) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackColor(l, back);
    // Dark text on the light labels, whatever the frame around them writes in.
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    return l;
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

void setBackColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QColor backColor(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

QuizForm::QuizForm(const Layout& layout, QWidget* parent)
    : QMainWindow(parent), m_client(new QWidget(this)), m_cursor(quizCursor()) {
    setWindowTitle(layout.caption);
    setCentralWidget(m_client);
    m_client->setFixedSize(twipsToPixels(layout.clientWidthTwips),
                           twipsToPixels(layout.clientHeightTwips));
    setFont(sansSerif(8));
    buildControls(layout);
    setBackColor(this, quizcolors::kBack);
    setBackColor(m_client, quizcolors::kBack);
    setCursor(m_cursor);
}

void QuizForm::buildControls(const Layout& layout) {
    QWidget* c = m_client;
    lblScore = place(
        label(c, QStringLiteral("Score:  xxx correct of xxx total questions."), quizcolors::kBack),
        layout.scoreLeftTwips, 240, 3765, 300);
    lblScore->setFont(sansSerif(12, true));
    lblScore->setWordWrap(false);
    QPalette scorePalette = lblScore->palette();
    scorePalette.setColor(QPalette::WindowText, quizcolors::kLabel);
    lblScore->setPalette(scorePalette);

    lblTitle =
        place(label(c, QStringLiteral("Test Title"), quizcolors::kBack), 4320, 120, 3735, 255);
    lblTeacher =
        place(label(c, QStringLiteral("Class Name"), quizcolors::kBack), 4320, 360, 3735, 255);
    for (QLabel* l : {lblTitle, lblTeacher}) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(pal);
    }

    cmdExit = place(new QPushButton(QStringLiteral("Exit"), c), 8160, 240, 1215, 375);
    cmdPreview = place(new QPushButton(QStringLiteral("Play Wav"), c), 120, 720, 1215, 375);
    setBackColor(cmdExit, quizcolors::kButton);
    setBackColor(cmdPreview, quizcolors::kButton);

    lblCount =
        place(label(c, QStringLiteral("Question #1"), quizcolors::kLabel), 2040, 720, 2175, 375);
    lblCount->setFont(sansSerif(12));

    picPic = place(new PictureBox(c), 120, 1200, 4095, 4095);
    setBackColor(picPic, quizcolors::kBack);
    picPic->setAttribute(Qt::WA_NativeWindow);
    picHide = place(new PictureBox(c, false), 600, 3960, 855, 735);
    picHide->hide();

    grpMultiple =
        place(new QGroupBox(QStringLiteral("Multiple Choice Question"), c), 4320, 720, 5055, 4575);
    setBackColor(grpMultiple, quizcolors::kBack);
    lblMQuestion = place(label(grpMultiple, QString(), quizcolors::kLabel), 240, 360, 4575, 1575);
    const std::array<int, 4> tops = {2040, 2640, 3240, 3840};
    const std::array<QString, 4> letters = {QStringLiteral("A"), QStringLiteral("B"),
                                            QStringLiteral("C"), QStringLiteral("D")};
    for (std::size_t i = 0; i < 4; ++i) {
        optABCD[i] = place(new QRadioButton(letters[i], grpMultiple), 240, tops[i], 375, 495);
        setBackColor(optABCD[i], quizcolors::kButton);
        // Too narrow for a round mark beside the letter: the letter is the button.
        optABCD[i]->setStyleSheet(QStringLiteral(
            "QRadioButton { background-color: rgb(150, 200, 255); border: 2px outset "
            "rgb(200, 225, 255); padding-left: 5px; font-weight: bold; }"
            "QRadioButton:checked { border-style: inset; background-color: rgb(120, 170, 235); }"
            "QRadioButton::indicator { width: 0px; height: 0px; }"));
        optABCD[i]->installEventFilter(this);
        lblMAnswer[i] =
            place(label(grpMultiple, QString(), quizcolors::kLabel), 720, tops[i], 4095, 495);
    }

    grpTrueFalse = place(new QGroupBox(QStringLiteral("True/False Question:"), c), kOutOfSight, 720,
                         5055, 4575);
    setBackColor(grpTrueFalse, quizcolors::kBack);
    lblTrueQuestion = place(label(grpTrueFalse, QStringLiteral("Question"), quizcolors::kLabel),
                            240, 360, 4575, 1575);
    optTrueFalse[0] =
        place(new QRadioButton(QStringLiteral("True"), grpTrueFalse), 480, 2280, 975, 495);
    optTrueFalse[1] =
        place(new QRadioButton(QStringLiteral("False"), grpTrueFalse), 480, 3000, 975, 495);
    for (auto* b : optTrueFalse) {
        setBackColor(b, quizcolors::kBack);
        QPalette pal = b->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        b->setPalette(pal);
        b->installEventFilter(this);
    }
    for (QGroupBox* g : {grpMultiple, grpTrueFalse}) {
        QPalette pal = g->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        g->setPalette(pal);
    }
}

void QuizForm::setLeftTwips(QWidget* widget, int left) {
    widget->move(twipsToPixels(left), widget->y());
}

int QuizForm::leftTwips(const QWidget* widget) {
    return pixelsToTwips(widget->x());
}

bool QuizForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease)
        return QMainWindow::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int button = static_cast<int>(mouse->button());
    const int shift = static_cast<int>(mouse->modifiers() >> 25);
    const QPoint pos = mouse->position().toPoint();
    auto dispatch = [this, button, shift, pos](const MouseUpHandler& handler, int index) {
        // Answer once the button has taken the release itself, so the next question's
        // display is not undone by it.
        QTimer::singleShot(0, this, [handler, index, button, shift, pos] {
            if (handler)
                handler(index, button, shift, pos.x(), pos.y());
        });
    };
    for (std::size_t i = 0; i < optABCD.size(); ++i) {
        if (watched == optABCD[i])
            dispatch(m_abcdMouseUp, static_cast<int>(i));
    }
    for (std::size_t i = 0; i < optTrueFalse.size(); ++i) {
        if (watched == optTrueFalse[i])
            dispatch(m_trueFalseMouseUp, static_cast<int>(i));
    }
    return false;
}

} // namespace examo
