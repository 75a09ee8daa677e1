// Not a benchmark: takes the README's pictures of the creator's windows, made by the creator's
// own code on this desktop's real services with the bundled sample quiz. Only the boxes a
// person would answer are scripted. Run it on an X server (xvfb-run) so that the windows are
// drawn as on a desktop; scripts/take-screenshots.sh does.
//
//   take_screenshots SAMPLES_DIR OUT_DIR
#include "../tests/avimaker/bitmaps.h"
#include "../tests/storage/test_support.h"
#include "app/examoforge/examoforgedesktop.h"
#include "avimaker/frmavi.h"
#include "creator/examoforge.h"
#include "creator/frmpreview.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "storage/scorelog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace examo;

namespace {

// Lets the window be laid out, painted and its media started before it is taken.
void settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

bool take(QWidget* window, const std::string& file) {
    window->raise();
    settle(1500);
    const bool saved = window->grab().save(QString::fromStdString(file), "PNG");
    std::printf("%s %s\n", saved ? "written" : "FAILED", file.c_str());
    return saved;
}

scorelog::ScoreLogRecord entry(const char* name, int score, const char* percent, const char* time,
                               int day, int hour) {
    scorelog::ScoreLogRecord r;
    r.studentName = name;
    r.score = score;
    r.questionCount = 8;
    r.percentText = percent;
    r.timeText = time;
    r.finishedAt.year = 2026;
    r.finishedAt.month = 12;
    r.finishedAt.day = day;
    r.finishedAt.dayOfWeek = 1;
    r.finishedAt.hour = hour;
    r.finishedAt.minute = 41;
    r.finishedAt.weekdayName = "Monday";
    r.finishedAt.monthShortName = "Dec";
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SAMPLES_DIR OUT_DIR\n", argv[0]);
        return 2;
    }
    qputenv("EXAMO_AUDIO", "silent");
    QApplication app(argc, argv);
    const std::filesystem::path samples = std::filesystem::absolute(argv[1]);
    const std::string out = std::filesystem::absolute(argv[2]).string() + "/";
    examo::testing::TempFolder work;
    std::filesystem::copy(samples, work.path("farm"));

    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
    program.current = work.path("farm");
    program.command = work.path("farm/sample.exm");
    ExamoForgeDesktop desktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge creator(desktop.services, desktop.aviLibrary);
    creator.module().Main();
    dialogs.inputAnswers.push_back("Maria");
    creator.window().cmdPreview->click();
    bool ok =
        creator.previewer() != nullptr && take(creator.previewer(), out + "examoforge-preview.png");
    if (creator.previewer() != nullptr)
        creator.previewer()->close();

    // The first question chosen for editing, as a teacher picks it from the list.
    creator.window().cboExist->setCurrentIndex(0);
    Q_EMIT creator.window().cboExist->activated(0);
    ok = take(&creator.window(), out + "examoforge-editor.png") && ok;

    const std::string log = work.path("farm/sample.log");
    scorelog::AppendEntry(log, entry("Maria Garc\xED"
                                     "a",
                                     7, "87", "2 minutes and 5 seconds", 7, 9));
    scorelog::AppendEntry(log,
                          entry("Tom\xE1s Nov\xE1k", 6, "75", "3 minutes and 40 seconds", 7, 9));
    scorelog::AppendEntry(log, entry("Aiyana Brown", 8, "100", "1 minutes and 52 seconds", 7, 10));
    fileDialogs.paths.push_back(log);
    creator.window().mnuToolScore->trigger();
    auto* viewer = dynamic_cast<frmLog*>(creator.scoreLogViewer());
    if (viewer != nullptr) {
        viewer->mnuOpen_Click();
        ok = take(viewer, out + "examoforge-scorelog.png") && ok;
        viewer->close();
    }

    creator.window().mnuToolAVI->trigger();
    if (auto* maker = dynamic_cast<frmAVI*>(creator.aviMaker())) {
        for (int frame = 0; frame < 3; ++frame) {
            const std::string name = work.path("farm/frame" + std::to_string(frame + 1) + ".bmp");
            bitmaps::write(name, bitmaps::bmp24(bitmaps::quarters(160, 120, frame)));
            fileDialogs.paths.push_back(name);
            maker->cmdFileOpen_Click();
        }
        ok = take(maker, out + "examoforge-avimaker.png") && ok;
    }
    creator.window().close();
    return ok ? 0 : 1;
}
