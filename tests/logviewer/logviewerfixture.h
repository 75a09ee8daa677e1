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

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

    // One finished quiz as the player logs it, on Sunday, Dec 6 2026 at 09:41.
    static scorelog::ScoreLogRecord finished(const std::string& cp1252Name, int score, int count,
                                             long long seconds) {
        scorelog::ScoreLogRecord r;
        r.studentName = cp1252Name;
        r.score = score;
        r.questionCount = count;
        r.percentText = scorelog::PercentText(score, count);
        r.timeText = scorelog::TimeSpentText(seconds);
        r.finishedAt = fakes::FakeClock().now();
        return r;
    }

    // A log written by the player's own code, one entry per record, in order.
    std::string writeLog(const std::string& name,
                         const std::vector<scorelog::ScoreLogRecord>& records) {
        const std::string path = dir.path(name);
        writeBytes(path, "");
        for (const auto& r : records)
            EXPECT_TRUE(scorelog::AppendEntry(path, r));
        return path;
    }

    // Opens a log through File > Open.
    void openThroughMenu(frmLog& f, const std::string& path) {
        fileDialogs.paths.push_back(path);
        f.mnuOpen->trigger();
    }

    static std::string shown(const frmLog& f) { return f.txtLog->toPlainText().toStdString(); }
    static bool caretAtStart(const frmLog& f) {
        const QTextCursor c = f.txtLog->textCursor();
        return c.position() == 0 && !c.hasSelection();
    }

    TempFolder dir;
    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
    fakes::FakePrinter printer;

private:
    std::unique_ptr<frmLog> m_form;
};

inline const std::string kAnn = "Ann.    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds."
                                "  Test date:  Sunday, Dec 6 2026  09:41 AM";
inline const std::string kBob = "Bob.    Score 3 of 3.  100%   Time spent 45 seconds."
                                "  Test date:  Sunday, Dec 6 2026  09:41 AM";
inline const std::string kCid = "Cid.    Score 0 of 4.  0%   Time spent 1 minutes and 1 seconds."
                                "  Test date:  Sunday, Dec 6 2026  09:41 AM";

} // namespace examo::testing
