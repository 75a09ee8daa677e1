#pragma once

#include "../storage/test_support.h"
#include "fakes/fakeclock.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprinter.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "storage/scorelog.h"

#include <QTextCursor>

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace examo::testing {

// A viewer on fakes, with a fresh folder for the logs it reads and the files it writes.
class LogViewerTest : public ::testing::Test {
protected:
    LogViewerTest() { program.current = dir.folder(); }

    std::unique_ptr<frmLog> viewer(const std::string& commandLine = {}) {
        return std::make_unique<frmLog>(dialogs, fileDialogs, program, printer, commandLine);
    }
    frmLog& form() {
        if (!m_form)
            m_form = viewer();
        return *m_form;
    }
    // A log written by the player's own code: 7 of 9 in 75 seconds on Sunday, Dec 6 2026.
    std::string writeLog(const std::string& name, const std::vector<std::string>& cp1252Names) {
        scorelog::ScoreLogRecord r;
        r.score = 7;
        r.questionCount = 9;
        r.percentText = "77";
        r.timeText = "1 minutes and 15 seconds";
        r.finishedAt = fakes::FakeClock().now();
        writeBytes(dir.path(name), "");
        for (const auto& student : cp1252Names) {
            r.studentName = student;
            EXPECT_TRUE(scorelog::AppendEntry(dir.path(name), r));
        }
        return dir.path(name);
    }
    void openThroughMenu(frmLog& f, const std::string& path) {
        fileDialogs.paths.push_back(path);
        f.mnuOpen->trigger();
    }
    static std::string shown(const frmLog& f) { return f.txtLog->toPlainText().toStdString(); }
    static bool caretAtStart(const frmLog& f) {
        const QTextCursor c = f.txtLog->textCursor();
        return c.position() == 0 && !c.hasSelection();
    }

    // The file dialog moves the current folder into the test's folder, which goes with the test.
    KeepCurrentFolder m_keepFolder;
    TempFolder dir;
    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
    fakes::FakePrinter printer;

private:
    std::unique_ptr<frmLog> m_form;
};

// A student's entry as shown, for a name given in UTF-8.
inline std::string entry(const std::string& name) {
    return name + ".    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds."
                  "  Test date:  Sunday, Dec 6 2026  09:41 AM";
}

} // namespace examo::testing
