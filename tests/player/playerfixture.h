#pragma once

#include "../storage/test_support.h"
#include "fakes/fakeclock.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakeeventpump.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakefiletyperegistry.h"
#include "fakes/fakemedia.h"
#include "fakes/fakemediaservices.h"
#include "fakes/fakepictureloader.h"
#include "fakes/fakeprinter.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakespeech.h"
#include "player/examome.h"
#include "storage/quizfile.h"
#include "storage/record.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace examo::testing {

// The player's window and module on fakes; built-in sound n is the bytes "RIFF" n.
class PlayerTest : public ::testing::Test, protected fakes::FakeMediaServices {
protected:
    PlayerTest() {
        form.show();
        for (int n = 101; n <= 123; ++n)
            resources.items[n] = {'R', 'I', 'F', 'F', static_cast<std::uint8_t>(n)};
        program.current = dir.folder();
    }

    std::string writeQuiz(const std::string& name, const std::vector<std::string>& records,
                          const std::string& title = "Farm Animals",
                          const std::string& className = "Grade 3") {
        const std::string path = dir.path(name);
        EXPECT_TRUE(quizfile::Write(path, title, className, records));
        return path;
    }

    // n multiple-choice questions whose right answer is C.
    static std::vector<std::string> multipleChoice(int n) {
        std::vector<std::string> records;
        for (int i = 1; i <= n; ++i)
            records.push_back(record::BuildMultipleChoice(
                "m", "Question " + std::to_string(i), {"Cow", "Hen", "Pig", "Goat"}, "none", 2));
        return records;
    }

    // Opens a quiz through File > Open as a student named Ann.
    void openAsAnn(const std::string& path) {
        dialogs.inputAnswers.push_back("Ann");
        fileDialogs.paths.push_back(path);
        mod.mnuFileOpen_Click();
    }

    void click(QRadioButton* button, Qt::MouseButton mouse = Qt::LeftButton) {
        QTest::mouseClick(button, mouse);
        QCoreApplication::processEvents();
    }

    // The built-in sounds played so far, with their wave flags.
    std::vector<std::pair<int, std::uint32_t>> sounds() const {
        std::vector<std::pair<int, std::uint32_t>> out;
        for (const auto& p : waves.plays)
            if (p.image.size() == 5)
                out.emplace_back(p.image[4], p.flags);
        return out;
    }

    TempFolder dir;
    fakes::FakeClock clock;
    fakes::FakePictureLoader pictures;
    fakes::FakePrinter printer;
    fakes::FakeSpeech speech;
    QuizServices quiz{media, dialogs, clock, pictures, printer, speech};
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeFileTypeRegistry fileTypes;
    fakes::FakeProgramInfo program;
    PlayerServices services{quiz, fileDialogs, fileTypes, program};
    ExamoMe player{services};
    frmExamoMe& form = player.window();
    modExamo& mod = player.module();

private:
    KeepCurrentFolder m_keepFolder; // last: the folder comes back before anything is torn down
};

} // namespace examo::testing
