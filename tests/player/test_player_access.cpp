#include "playerfixture.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

using namespace examo;
using namespace Qt::StringLiterals;
using examo::testing::PlayerTest;

namespace {

// The accessibility events the windows send, as a screen reader's bridge would get them. Qt
// sends them only while a screen reader listens, which is switched on here as the desktop's
// bridge does; it takes a plain function as the handler, so the record is kept where it can
// reach it.
std::vector<std::pair<QObject*, QAccessible::Event>>* g_events = nullptr;

class AccessibilityEvents {
public:
    AccessibilityEvents() {
        g_events = &events;
        m_previous = QAccessible::installUpdateHandler(
            [](QAccessibleEvent* e) { g_events->emplace_back(e->object(), e->type()); });
        platform()->setActive(true);
    }
    ~AccessibilityEvents() {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(m_previous);
        g_events = nullptr;
    }
    AccessibilityEvents(const AccessibilityEvents&) = delete;
    AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

    // Where the event came first, or -1.
    long indexOf(QObject* object, QAccessible::Event type) const {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i] == std::pair(object, type))
                return static_cast<long>(i);
        return -1;
    }

    std::vector<std::pair<QObject*, QAccessible::Event>> events;

private:
    static QPlatformAccessibility* platform() {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    QAccessible::UpdateHandler m_previous;
};

QString accessibleText(QWidget* w, QAccessible::Text t) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(t) : u"<none>"_s;
}

std::string capitals(const std::string& question, const std::string& media, int right,
                     const std::string& first = "Paris") {
    return record::BuildMultipleChoice("m", question, {first, "Rome", "Oslo", "Bern"}, media,
                                       right);
}

} // namespace

// A screen reader hears each answer with its letter, the question as the panel's description,
// and what the picture box shows or the Play button plays.
TEST_F(PlayerTest, ScreenReadersGetTheAnswersTheQuestionAndTheMediaOfEachQuestion) {
    examo::testing::writeBytes(dir.path("moo.wav"), "RIFF....WAVE");
    examo::testing::writeBytes(dir.path("tower.bmp"), "BM");
    pictures.pictures[QString::fromStdString(dir.path("tower.bmp"))] =
        QImage(8, 8, QImage::Format_RGB32);
    openAsAnn(writeQuiz("names.exm",
                        {capitals("Capital of France?", dir.path("tower.bmp"), 0),
                         record::BuildTrueFalse("t", "Hens lay eggs.", "moo.wav", 0),
                         record::BuildMultipleChoice("m", "Which is a bird?",
                                                     {"Cow", "Hen", "Pig", "Goat"}, "none", 1)}));
    const auto names = [&] {
        QStringList n;
        for (QRadioButton* b : form.optABCD)
            n << accessibleText(b, QAccessible::Name);
        return n;
    };
    EXPECT_EQ(names(), (QStringList{u"A: Paris"_s, u"B: Rome"_s, u"C: Oslo"_s, u"D: Bern"_s}));
    EXPECT_EQ(accessibleText(form.grpMultiple, QAccessible::Description), u"Capital of France?"_s);
    EXPECT_EQ(accessibleText(form.picPic, QAccessible::Name), u"picture: tower.bmp"_s);

    click(form.optABCD[0]);
    EXPECT_EQ(accessibleText(form.optTrueFalse[0], QAccessible::Name), u"True"_s);
    EXPECT_EQ(accessibleText(form.optTrueFalse[1], QAccessible::Name), u"False"_s);
    EXPECT_EQ(accessibleText(form.grpTrueFalse, QAccessible::Description), u"Hens lay eggs."_s);
    EXPECT_EQ(accessibleText(form.cmdPreview, QAccessible::Description), u"sound: moo.wav"_s);

    click(form.optTrueFalse[0]);
    EXPECT_EQ(names(), (QStringList{u"A: Cow"_s, u"B: Hen"_s, u"C: Pig"_s, u"D: Goat"_s}));
    EXPECT_EQ(accessibleText(form.grpMultiple, QAccessible::Description), u"Which is a bird?"_s);
    EXPECT_EQ(accessibleText(form.picPic, QAccessible::Name), u""_s); // no media: nothing to say
    EXPECT_EQ(accessibleText(form.cmdPreview, QAccessible::Description), u""_s);
}

// A new question is announced by the focus coming to its first answer once the answers carry
// their new names, even when the focus was there already; a changed score by its label.
TEST_F(PlayerTest, ANewQuestionAndAChangedScoreAreAnnounced) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    openAsAnn(writeQuiz("events.exm",
                        {capitals("One?", "none", 0, "Lyon"), capitals("Two?", "none", 0, "Nice"),
                         capitals("Three?", "none", 0, "Metz")}));
    QWidget* first = form.optABCD[0];
    ASSERT_EQ(QApplication::focusWidget(), first);

    AccessibilityEvents heard;
    click(form.optABCD[0]); // right, with the focus on A already
    const long renamed = heard.indexOf(first, QAccessible::NameChanged);
    ASSERT_GE(renamed, 0);
    EXPECT_GT(heard.indexOf(first, QAccessible::Focus), renamed);
    EXPECT_GE(heard.indexOf(form.grpMultiple, QAccessible::DescriptionChanged), 0);
    EXPECT_GE(heard.indexOf(form.lblScore, QAccessible::NameChanged), 0);
    EXPECT_GE(heard.indexOf(form.lblCount, QAccessible::NameChanged), 0);

    heard.events.clear();
    form.optABCD[2]->setFocus();
    click(form.optABCD[2]); // wrong: the score stays as it was, and says nothing
    EXPECT_EQ(heard.indexOf(form.lblScore, QAccessible::NameChanged), -1);
    EXPECT_GE(heard.indexOf(first, QAccessible::Focus), 0);
    EXPECT_EQ(accessibleText(form.lblScore, QAccessible::Name), u"Score: 1 correct of 3 total."_s);
}

// F5 reads the question and its answers aloud through the speech engine; F5 again stops, as
// does answering; with no engine the key does nothing and the About box says what is missing.
TEST_F(PlayerTest, F5ReadsTheQuestionAloudAndStopsAgain) {
    openAsAnn(writeQuiz("read.exm", {capitals("Capital of France?", "none", 0),
                                     record::BuildTrueFalse("t", "Hens lay eggs", "none", 0)}));
    const auto f5 = [&] { QTest::keyClick(form.focusWidget(), Qt::Key_F5); };
    EXPECT_TRUE(speech.said.isEmpty()); // nothing speaks unless asked
    f5();
    ASSERT_EQ(speech.said.size(), 1);
    EXPECT_EQ(speech.said[0],
              u"Question # 1.\nCapital of France?\nA: Paris.\nB: Rome.\nC: Oslo.\nD: Bern."_s);
    f5();
    EXPECT_FALSE(speech.speaking());
    EXPECT_EQ(speech.stops, 1);
    EXPECT_EQ(speech.said.size(), 1);

    f5();
    click(form.optABCD[0]); // the answer ends the reading
    EXPECT_FALSE(speech.speaking());
    f5();
    EXPECT_EQ(speech.said.last(), u"Question # 2.\nHens lay eggs.\nTrue.\nFalse."_s);
    EXPECT_EQ(mod.CurrentQuestion, 2); // F5 answers nothing

    dialogs.messages.clear();
    mod.mnuHelpAbout_Click();
    EXPECT_EQ(dialogs.messages.at(0).text, modExamo::AboutText());
    speech.engine = false;
    speech.finish();
    f5();
    EXPECT_EQ(speech.said.size(), 3);
    mod.mnuHelpAbout_Click();
    EXPECT_EQ(dialogs.messages.at(1).text,
              modExamo::AboutText() + "\r\n\r\nReading aloud (F5) needs a speech engine, such "
                                      "as\r\nspeech-dispatcher with espeak-ng.");
}
