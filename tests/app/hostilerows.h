#pragma once

// The table of hostile inputs: each row a file made to break one entry point of the programs,
// the messages a person must see, and whether the entry point may write. The tests check the
// rows; the benchmark measures what each row costs.
#include "../avimaker/bitmaps.h"
#include "../storage/test_support.h"
#include "app/examoforge/examoforgedesktop.h"
#include "app/examome/examomedesktop.h"
#include "avimaker/frmavi.h"
#include "creator/examoforge.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "player/examome.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/scorelog.h"
#include "support/midifiles.h"
#include "support/tools.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace examo::testing::hostile {

namespace fs = std::filesystem;

enum class Entry { PlayerOpen, CreatorOpen, CreatorSave, ViewerOpen, AviAdd, Append };

inline const char* nameOf(Entry e) {
    constexpr const char* kNames[] = {"player open", "creator open",  "creator save",
                                      "viewer open", "AVI maker add", "append"};
    return kNames[static_cast<int>(e)];
}

// Everything in the folder: regular files by their bytes, anything else by its kind.
inline std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> seen;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const auto status = it->symlink_status(ec);
        const std::string name = it->path().string();
        if (fs::is_symlink(status))
            seen[name] = "link";
        else if (fs::is_regular_file(status))
            seen[name] = readBytes(name);
        else
            seen[name] = fs::is_directory(status) ? "folder" : "other";
    }
    return seen;
}

inline std::string mc(const std::string& media = "none", const std::string& answer = " 2") {
    return "m\xA9Which animal?\xA9"
           "Cow\xA9Hen\xA9Pig\xA9Goat\xA9" +
           media + "\xA9" + answer;
}

// A quiz file of these records, scrambled as the writer does.
inline std::string quizBytes(const std::vector<std::string>& records) {
    return quizfile::Encode("Farm", "Grade 3", records);
}

struct Row {
    std::string input;
    Entry entry;
    // Makes the input in the folder and gives the path the entry point is handed.
    std::function<std::string(const TempFolder&)> make;
    // A part of each message the person sees, in order; none for no message.
    std::vector<std::string> messages;
    // The entry point may change the folder: the save or the append it was asked for.
    bool writes = false;
};

using Maker = std::function<std::string(const TempFolder&)>;

inline Maker bytes(const std::string& name, const std::string& content) {
    return [=](const TempFolder& dir) {
        writeBytes(dir.path(name), content);
        return dir.path(name);
    };
}

inline Maker folder(const std::string& name) {
    return [=](const TempFolder& dir) {
        fs::create_directories(dir.path(name));
        return dir.path(name);
    };
}

inline Maker fifo(const std::string& name) {
    return [=](const TempFolder& dir) {
        ::mkfifo(dir.path(name).c_str(), 0600);
        return dir.path(name);
    };
}

inline Maker loop(const std::string& name) {
    return [=](const TempFolder& dir) {
        fs::create_symlink(dir.path("other-" + name), dir.path(name));
        fs::create_symlink(dir.path(name), dir.path("other-" + name));
        return dir.path(name);
    };
}

// A file of `size` bytes beginning with `head`, without writing them all.
inline Maker sized(const std::string& name, const std::string& head, std::uintmax_t size) {
    return [=](const TempFolder& dir) {
        writeBytes(dir.path(name), head);
        fs::resize_file(dir.path(name), size);
        return dir.path(name);
    };
}

// An 8 by 8 bitmap of 8 bits whose header then claims these bits, compression and width.
inline Maker bitmap(int bits, std::uint32_t compression, int width) {
    return [=](const TempFolder& dir) {
        bitmaps::Bytes b = bitmaps::bmp(bitmaps::quarters(8, 8), 8);
        bitmaps::put(b, 18, static_cast<std::uint32_t>(width));
        bitmaps::put(b, 28, static_cast<std::uint32_t>(bits), 2);
        bitmaps::put(b, 30, compression);
        bitmaps::write(dir.path("b.bmp"), b);
        return dir.path("b.bmp");
    };
}

inline Maker named(const std::string& path) {
    return [=](const TempFolder&) { return path; };
}

inline std::string binary(std::size_t size) {
    std::mt19937 random(7);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(random());
    return out;
}

// A log of entries of these (Windows-1252) names.
inline Maker log(const std::string& name, const std::vector<std::string>& students,
                 const std::string& garbage = {}) {
    return [=](const TempFolder& dir) {
        writeBytes(dir.path(name), garbage);
        for (const std::string& s : students)
            scorelog::AppendEntry(dir.path(name), examo::testing::logEntryOf(s));
        return dir.path(name);
    };
}

inline std::vector<Row> rows() {
    const std::string good = quizBytes({mc(), mc()});
    const std::string refused = " could not be opened as an ExamoMe test.  ";
    const std::string wrong = "The correct answer was C. Pig";
    const std::string corrupt = "An error has occured.  Unable to process question m";
    struct Quiz {
        std::string input;
        Maker make;
        std::vector<std::string> player, creator;
    };
    std::vector<Quiz> quizzes = {
        {"empty", bytes("q.exm", ""), {refused + "The file is empty."}, {}},
        {"binary",
         bytes("q.exm", binary(4096)),
         {refused + "The file is not an ExamoMe test."},
         {}},
        {"NUL bytes in a record",
         bytes("q.exm", quizBytes({mc(std::string("no\0ne", 5)), mc()})),
         {wrong},
         {}},
        {"cut inside a record",
         bytes("q.exm", good.substr(0, good.size() - 9)),
         {wrong, corrupt},
         {}},
        {"one byte over the limit",
         sized("q.exm", good, quizfile::kMaxFileBytes + 1),
         {refused + "The file is too large to be an ExamoMe test."},
         {}},
        {"101 questions",
         bytes("q.exm", quizBytes(std::vector<std::string>(101, mc()))),
         {refused + "The file holds more than 100 questions."},
         {}},
        {"lone CR", bytes("q.exm", quizBytes({mc("no\rne"), mc()})), {wrong}, {}},
        {"lone LF", bytes("q.exm", quizBytes({mc("no\nne"), mc()})), {wrong}, {}},
        {"\xC2\xA9 inside a field",
         bytes("q.exm", quizBytes({mc("a\xA9"
                                      "b"),
                                   mc()})),
         {corrupt},
         {}},
        {"missing fields",
         bytes("q.exm", quizBytes({"m\xA9Q\xA9"
                                   "a",
                                   mc()})),
         {corrupt},
         {}},
        {"surplus fields", bytes("q.exm", quizBytes({mc() + "\xA9x", mc()})), {wrong}, {}},
        // Numbers naming no button count the answer wrong without a right one to name.
        {"answer -1", bytes("q.exm", quizBytes({mc("none", "-1"), mc()})), {}, {}},
        {"answer 4", bytes("q.exm", quizBytes({mc("none", " 4"), mc()})), {}, {}},
        {"answer 1e400", bytes("q.exm", quizBytes({mc("none", "1e400"), mc()})), {corrupt}, {}},
        {"answer 2.5", bytes("q.exm", quizBytes({mc("none", " 2.5"), mc()})), {wrong}, {}},
        {"answer empty", bytes("q.exm", quizBytes({mc("none", ""), mc()})), {corrupt}, {}},
        {"media ..", bytes("q.exm", quizBytes({mc(".."), mc()})), {wrong}, {}},
        {"media /dev/zero", bytes("q.exm", quizBytes({mc("/dev/zero"), mc()})), {wrong}, {}},
        {"media /proc/self/mem",
         bytes("q.exm", quizBytes({mc("/proc/self/mem"), mc()})),
         {wrong},
         {}},
        {"a folder", folder("q.exm"), {refused + "The file cannot be read."}, {}},
        {"a symlink loop", loop("q.exm"), {refused + "The file cannot be read."}, {}},
        {"a FIFO", fifo("q.exm"), {refused + "The file cannot be read."}, {}},
        {"a 4096-byte name",
         named("/tmp/" + std::string(4086, 'q') + ".exm"),
         {refused + "The file cannot be read."},
         {}},
        {"blanks and quotes in the name", bytes("my \"farm\" 'quiz'.exm", good), {wrong}, {}},
        {"a leading dash", bytes("-q.exm", good), {wrong}, {}},
        {"a newline in the name", bytes("farm\nquiz.exm", good), {wrong}, {}},
    };
    std::vector<Row> all;
    // Tunes the MIDI parser would never finish must not freeze the quiz: each plays, or its
    // message comes, in time.
    for (const auto& tune : examo::testing::midi::files()) {
        Maker make = [tune, quiz = quizBytes({mc(tune.name), mc()})](const TempFolder& dir) {
            writeBytes(dir.path(tune.name), tune.bytes);
            writeBytes(dir.path("q.exm"), quiz);
            return dir.path("q.exm");
        };
        std::vector<std::string> player = {wrong};
        if (!tune.plays)
            player.insert(player.begin(), "Error playing MIDI.");
        quizzes.push_back({"a tune " + tune.name, make, player, {}});
    }
    for (const Quiz& q : quizzes) {
        all.push_back({q.input, Entry::PlayerOpen, q.make, q.player});
        // The editor takes every record as text; only a file that is no quiz is refused.
        const bool noQuiz = !q.player.empty() && q.player[0].starts_with(refused);
        all.push_back({q.input, Entry::CreatorOpen, q.make, noQuiz ? q.player : q.creator});
    }

    const std::string notWritten = "could not be written.";
    const bool root = ::geteuid() == 0; // root writes into read-only folders
    const std::vector<Row> others = {
        {"a quiz that is read-only",
         Entry::CreatorSave,
         [](const TempFolder& dir) {
             writeBytes(dir.path("q.exm"), "old");
             fs::permissions(dir.path("q.exm"), fs::perms::owner_read);
             return dir.path("q.exm");
         },
         {},
         true},
        {"a read-only folder", Entry::CreatorSave,
         [](const TempFolder& dir) {
             fs::create_directories(dir.path("locked"));
             fs::permissions(dir.path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
             return dir.path("locked/q.exm");
         },
         root ? std::vector<std::string>{} : std::vector<std::string>{notWritten}, root},
        {"a full disk", Entry::CreatorSave, bytes("q.exm", "old quiz, kept whole"), {notWritten}},
        {"a folder in the way", Entry::CreatorSave, folder("q.exm"), {notWritten}},
        {"a missing folder", Entry::CreatorSave, named("/nonexistent/q.exm"), {notWritten}},

        {"a log that is a folder", Entry::ViewerOpen, folder("q.log"), {"cannot be read."}},
        {"a log of 64 MB + 1",
         Entry::ViewerOpen,
         sized("q.log", "", scorelog::kMaxLogBytes + 1),
         {"is too large to show."}},
        {"a log with garbage lines",
         Entry::ViewerOpen,
         log("q.log", {"Ann"}, binary(300) + "\r\n\r\n\r\n"),
         {}},
        {"a log of \xC3\x88, \xC3\x8F and \xC3\x88\xC3\x8F",
         Entry::ViewerOpen,
         log("q.log", {"\xC8ric", "\xCFsa", "\xC8\xCF"}),
         {}},
        {"a log that is a FIFO", Entry::ViewerOpen, fifo("q.log"), {"cannot be read."}},
        {"a log that is a symlink loop", Entry::ViewerOpen, loop("q.log"), {"cannot be read."}},

        {"a log that is a folder", Entry::Append, folder("q.log"), {"append failed"}},
        {"a log that is a FIFO", Entry::Append, fifo("q.log"), {"append failed"}},
        {"a log on a full disk", Entry::Append, log("q.log", {"Ann"}), {"append failed"}},
        {"a log that is /dev/full", Entry::Append, named("/dev/full"), {"append failed"}},
        {"names with \xC3\x88, \xC3\x8F and \xC3\x88\xC3\x8F",
         Entry::Append,
         log("q.log", {"Ann"}),
         {},
         true},

        {"a bitmap that is a FIFO", Entry::AviAdd, fifo("b.bmp"), {"b.bmp"}},
        {"a bitmap that is /dev/zero", Entry::AviAdd, named("/dev/zero"), {"/dev/zero"}},
        {"a bitmap that is a folder", Entry::AviAdd, folder("b.bmp"), {"b.bmp"}},
        {"a bitmap cut in its header", Entry::AviAdd, bytes("b.bmp", "BM\x36\x00\x00"), {"b.bmp"}},
        {"a bitmap of 0 bits", Entry::AviAdd, bitmap(0, 0, 16), {"b.bmp"}},
        {"a bitmap of 64 bits", Entry::AviAdd, bitmap(64, 0, 16), {"b.bmp"}},
        {"a JPEG-compressed bitmap", Entry::AviAdd, bitmap(24, 4, 16), {"b.bmp"}},
        {"a bitmap 8000 wide", Entry::AviAdd, bitmap(8, 1, 8000), {"b.bmp"}},
    };
    all.insert(all.end(), others.begin(), others.end());
    return all;
}

// The messages a person saw after the entry point took the input.
inline std::vector<std::string> take(const Row& row, const TempFolder& dir,
                                     const std::string& path) {
    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
    program.current = dir.folder();
    dialogs.inputAnswers.push_back("Ann");
    const QString pdfs = QString::fromStdString(dir.folder());
    switch (row.entry) {
    case Entry::PlayerOpen: {
        program.command = path;
        ExamoMeDesktop desktop(dialogs, fileDialogs, program, pdfs);
        ExamoMe player(desktop.services);
        player.module().Main();
        // The first answer is graded too: a broken answer number shows only then.
        if (player.module().QuizOpen)
            QTest::mouseClick(player.window().optABCD[0], Qt::LeftButton);
        QCoreApplication::processEvents();
        return dialogs.texts();
    }
    case Entry::Append: {
        std::optional<examo::testing::FileSizeLimit> full;
        if (row.input == "a log on a full disk")
            full.emplace(fs::file_size(path));
        const std::string name = row.writes ? "\xC8\xCF" : "Ann";
        if (!scorelog::AppendEntry(path, examo::testing::logEntryOf(name)))
            return {"append failed"};
        const auto back = scorelog::Read(path);
        EXPECT_EQ(back.entries.back(), scorelog::BuildEntry(examo::testing::logEntryOf(name)));
        return {};
    }
    default:
        break;
    }
    program.command = row.entry == Entry::ViewerOpen ? path : std::string();
    ExamoForgeDesktop desktop(dialogs, fileDialogs, program, pdfs);
    ExamoForge creator(desktop.services, desktop.aviLibrary);
    if (row.entry == Entry::CreatorOpen)
        program.command = path;
    creator.module().Main();
    if (row.entry == Entry::CreatorSave) {
        // A good quiz from elsewhere, saved as the row says.
        TempFolder sources;
        writeBytes(sources.path("source.exm"), quizBytes({mc(), mc()}));
        creator.module().LoadQuiz(sources.path("source.exm"));
        std::optional<examo::testing::FileSizeLimit> full;
        if (row.input == "a full disk")
            full.emplace(20);
        fileDialogs.paths.push_back(path);
        creator.window().mnuFileSaveas->trigger();
    }
    if (row.entry == Entry::AviAdd) {
        creator.window().mnuToolAVI->trigger();
        auto* maker = dynamic_cast<frmAVI*>(creator.aviMaker());
        fileDialogs.paths.push_back(path);
        maker->cmdFileOpen_Click();
        EXPECT_EQ(maker->lstDIBList->count(), row.messages.empty() ? 1 : 0);
    }
    QCoreApplication::processEvents();
    return dialogs.texts();
}

} // namespace examo::testing::hostile
