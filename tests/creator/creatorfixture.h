#pragma once

#include "../storage/test_support.h"
#include "creator/dlgask.h"
#include "creator/examoforge.h"
#include "fakes/fakeavifilelibrary.h"
#include "fakes/fakeclock.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakeeventpump.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakemedia.h"
#include "fakes/fakemediaservices.h"
#include "fakes/fakepictureloader.h"
#include "fakes/fakeprinter.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakesettingsstore.h"
#include "fakes/fakeshell.h"
#include "fakes/fakespeech.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace examo::testing {

// The smallest rectangle holding every pixel of the picture that passes the test.
template <class Test> QRect areaOf(const QImage& picture, Test test) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (test(picture.pixelColor(x, y)))
                area |= QRect(x, y, 1, 1);
    return area;
}

// The creator's window and module on fakes, driven as a teacher drives them.
class CreatorTest : public ::testing::Test, protected fakes::FakeMediaServices {
protected:
    CreatorTest() {
        std::filesystem::current_path(dir.folder());
        program.current = dir.folder();
        program.titleText = "ExamoForge";
    }

    // Starts the creator as the desktop does, with the command line set in program.
    void start() { mod.Main(); }

    // Types into a box; letters beyond printable ASCII go in as the input method or a paste
    // would put them.
    static void type(QLineEdit* box, const QString& text) {
        box->selectAll(); // replaced in one step, as a teacher retypes a box
        if (text.isEmpty()) {
            box->del();
            return;
        }
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
        if (ascii)
            QTest::keyClicks(box, text);
        else
            box->insert(text);
    }

    void typeMultipleChoice(const QString& question, int correct = 2, const QString& media = {}) {
        form.optType[0]->click();
        type(form.txtMQuestion, question);
        const std::array<QString, 4> answers = {QStringLiteral("Cow"), QStringLiteral("Hen"),
                                                QStringLiteral("Pig"), QStringLiteral("Goat")};
        for (std::size_t i = 0; i < 4; ++i)
            type(form.txtManswer[i], answers[i]);
        form.optABCD[static_cast<std::size_t>(correct)]->click();
        if (!media.isEmpty())
            type(form.txtMpic, media);
    }

    void addMultipleChoice(const QString& question, int correct = 2, const QString& media = {}) {
        typeMultipleChoice(question, correct, media);
        form.cmdAdd->click();
    }

    void addTrueFalse(const QString& question, int correct, const QString& media = {}) {
        form.optType[1]->click();
        type(form.txtTFquestion, question);
        form.optTrueAnswer[static_cast<std::size_t>(correct)]->click();
        if (!media.isEmpty())
            type(form.txtTFpic, media);
        form.cmdAdd->click();
    }

    // Picks entry i of the question list as the teacher does.
    void choose(int i) {
        form.cboExist->setCurrentIndex(i);
        Q_EMIT form.cboExist->activated(i);
    }

    // A file in the test folder that the picture loader reads as w by h red pixels.
    void addPicture(const std::string& name, int w, int h) {
        std::filesystem::create_directories(std::filesystem::path(dir.path(name)).parent_path());
        writeBytes(dir.path(name), "BM picture");
        QImage picture(w, h, QImage::Format_RGB32);
        picture.fill(Qt::red);
        pictures.pictures.insert(QString::fromStdString(dir.path(name)), picture);
    }

    // The quiz's questions, put straight into the module.
    static void setQuestions(modCreate& m, const std::vector<std::string>& records) {
        for (std::size_t i = 0; i < records.size(); ++i)
            m.QuestionRecords[i + 1] = rec(records[i]);
        m.QuestionCounter = static_cast<std::int16_t>(records.size() + 1);
    }

    QStringList listEntries() const {
        QStringList out;
        for (int i = 0; i < form.cboExist->count(); ++i)
            out << form.cboExist->itemText(i);
        return out;
    }

    TempFolder dir;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeShell shell;
    fakes::FakeSettingsStore settings;
    fakes::FakeProgramInfo program;
    fakes::FakePictureLoader pictures;
    fakes::FakePrinter printer;
    fakes::FakeClock clock;
    fakes::FakeSpeech speech;
    CreatorServices services{dialogs, fileDialogs, shell,   settings, program,
                             media,   pictures,    printer, clock,    speech};
    fakes::FakeAviFileLibrary aviLibrary;
    ExamoForge forge{services, aviLibrary};
    frmCreate& form = forge.window();
    modCreate& mod = forge.module();

private:
    KeepCurrentFolder m_keepFolder; // last: the folder comes back before anything is torn down
};

} // namespace examo::testing
