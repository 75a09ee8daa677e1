#include "creatorfixture.h"

#include "avimaker/frmavi.h"
#include "creator/frmmediacheck.h"
#include "creator/helpwindow.h"
#include "logviewer/frmlog.h"
#include "widgets/screenreadernames.h"

#include <QAccessible>

namespace examo::testing {
namespace {

// Every widget that takes focus on its own, the window included; the parts of a control (the
// edit field of a combo box, the viewport of a text area) are announced with it.
std::vector<QWidget*> focusableControls(QWidget* window) {
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    std::vector<QWidget*> out;
    for (QWidget* w : all) {
        bool part = false;
        for (QWidget* up = w->parentWidget(); up != nullptr && up != window;
             up = up->parentWidget())
            part = part || up->focusPolicy() != Qt::NoFocus;
        if (w->focusPolicy() != Qt::NoFocus && w->focusProxy() == nullptr && !part)
            out.push_back(w);
    }
    return out;
}

QString described(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
}

// Every window of the creator, as a teacher meets it.
class NamesTest : public CreatorTest {
protected:
    frmLog log{dialogs, fileDialogs, program, printer};
    frmAVI avi{dialogs, fileDialogs, shell, program, aviLibrary, pictures};
    frmMediaCheck check{QStringLiteral("No media."), printer, dialogs};
    HelpWindow help;
    dlgAsk ask{mod, nullptr};
    std::vector<QWidget*> windows{&form, &log, &avi, &check, &help, &ask};
};

// A screen reader reads out a control with no name as just "edit" or "list": every control
// of every window, usable or not, carries one with a letter or digit in it.
TEST_F(NamesTest, EveryFocusableControlOfEveryWindowHasAName) {
    std::size_t controls = 0;
    for (QWidget* window : windows) {
        for (QWidget* w : focusableControls(window)) {
            ++controls;
            EXPECT_TRUE(spokenName(w).contains(QRegularExpression(QStringLiteral("\\w"))))
                << window->windowTitle().toStdString() << " / " << w->objectName().toStdString()
                << " named '" << spokenName(w).toStdString() << "'";
        }
    }
    EXPECT_GE(controls, 40u);
}

// Names come from the caption a sighted teacher reads beside or above a box, without its
// colon; a box in a frame would otherwise be read as the frame's title. Captionless controls
// are named from their tooltips, which stay their descriptions.
TEST_F(NamesTest, ControlsAreNamedAfterTheirCaptionsElseTheirTooltips) {
    const struct {
        QWidget* control;
        const char* name;
        const char* description;
    } rows[] = {
        {form.txtTitle, "Test Title", "Give the test a title here."},
        {form.txtTeacher, "Class/Teacher", "Enter the class and/or teacher here."},
        {form.txtMQuestion, "Question", "Type the multiple choice question here."},
        {form.txtTFquestion, "Question", "Type the true/false question here."},
        {form.txtManswer[2], "Answer C", "Type the answer here."},
        {form.txtMpic, "media", "Picure name for this question."},
        {form.cmdMpic, "Choose a picture for this question.",
         "Choose a picture for this question."},
        {form.picPreview, "Picture Preview", "Picture Preview"},
        {form.cmdAdd, "Add This Question", "Add the current question"},
        {form.optABCD[1], "B", "Correct answer is B."},
        {avi.txtFPS, "Frames Per Second", ""},
        {check.cmdPrint, "Print", ""},
        {&help, "ExamoForge Help", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(spokenName(row.control).toStdString(), row.name);
        EXPECT_EQ(described(row.control).toStdString(), row.description) << row.name;
    }
    // Captions are shown as designed.
    EXPECT_EQ(form.lblTitle[0]->text(), QStringLiteral("Test Title:"));
    EXPECT_EQ(form.cmdMpic->text(), QStringLiteral("..."));
}

// On Linux a combo box is announced by its current entry; its caption reaches the screen
// reader as the label it is related to.
TEST_F(NamesTest, TheQuestionListIsLabelledByItsCaption) {
    EXPECT_EQ(form.lblTitle[2]->buddy(), form.cboExist);
    const auto labels =
        QAccessible::queryAccessibleInterface(form.cboExist)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("Existing Questions:"));
}

// The rules on a window of their own: an access key and a colon are not read; a label too far
// off is not a caption; a name given by hand is kept; the window looks as it did.
TEST(ScreenReaderNames, FollowTheCaptionRules) {
    QWidget window;
    const auto label = [&](const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), &window);
        l->setGeometry(x, y, 80, 16);
    };
    const auto box = [&](int x, int y, const char* tip = "") {
        auto* b = new QLineEdit(&window);
        b->setGeometry(x, y, 100, 22);
        b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    label("&Frames:", 0, 3);
    QLineEdit* beside = box(84, 0);
    label("Far away:", 0, 100);
    QLineEdit* far = box(300, 100, "Type here.");
    QLineEdit* kept = box(84, 200);
    kept->setAccessibleName(QStringLiteral("Kept"));
    label("Above", 84, 180);
    window.resize(400, 240);
    const QImage before = window.grab().toImage();
    nameForScreenReaders(&window);
    EXPECT_EQ(window.grab().toImage(), before) << "nothing on screen changes";
    EXPECT_EQ(spokenName(beside).toStdString(), "Frames");
    EXPECT_EQ(spokenName(far).toStdString(), "Type here.");
    EXPECT_EQ(spokenName(kept).toStdString(), "Kept");
}

} // namespace
} // namespace examo::testing
