// Writes the seed corpus of the fuzz targets with our own writers: small, real-looking quizzes,
// records, score logs, bitmaps, pictures, MIDI tunes, media commands and settings files.
// Usage: fuzz_make_corpus OUTPUT_FOLDER (make-corpus.sh adds the samples' metafile and tunes).
#include "avimaker/bitmaps.h"
#include "storage/questiontext.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/scorelog.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace examo;

fs::path g_out;

void put(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(g_out / target);
    std::ofstream(g_out / target / name, std::ios::binary) << bytes;
}

std::string bytesOf(const bitmaps::Bytes& b) {
    return {b.begin(), b.end()};
}

std::vector<std::string> farmRecords() {
    return {record::BuildMultipleChoice("m", "Which animal says moo?",
                                        {"A cow", "A pig", "A lamb", "A duck"}, "cow.bmp", 0),
            record::BuildTrueFalse("t", "A lamb is a young sheep.", "none", 0),
            record::BuildMultipleChoice("m", "What does the farmer drive?",
                                        {"A bus", "A tractor", "A boat", "A plane"}, "tractor.mpg",
                                        1),
            record::BuildTrueFalse("t  4", "Pigs can fly.", "/home/anne.smith/media/pig.jpg", 1),
            record::BuildMultipleChoice("M", "Which one rings?", {"Bell", "Barn", "Hay", "Sun"},
                                        "bell.wav", 0)};
}

void quizzes() {
    const auto records = farmRecords();
    put("quizfile", "farm.exm", quizfile::Encode("Farm animals", "Class 2b", records));
    put("quizfile", "one.exm", quizfile::Encode("Short", "", {records[1]}));
    put("quizfile", "empty.exm", quizfile::Encode("No questions", "Class 1", {}));
    put("quizfile", "accents.exm",
        quizfile::Encode("Caf\xE9 \xC8l\xE8ve", "\xC9t\xE9",
                         {record::BuildTrueFalse("t", "\xC0 la ferme \xCF", "none", 0)}));
    for (std::size_t i = 0; i < records.size(); ++i)
        put("records", "record" + std::to_string(i + 1), records[i]);
    put("records", "header", record::BuildHeaderLine("Farm animals", "Class 2b"));
    put("records", "bad-answer", record::BuildTrueFalse("t", "Odd", "none", 7) + "x");
}

void questionFiles() {
    put("questiontext", "farm.gift",
        questiontext::WriteGift("Farm animals", "Class 2b", farmRecords()).utf8);
    put("questiontext", "kinds.gift",
        "$CATEGORY: $course$/Farm\n\n// kinds\n::Milk::Which animal gives milk? {\n=Cow\n"
        "~Hen#No.\n~%50%Goat\n~Pig\n}\n\nCows moo. {T}\n\nPigs fly. {FALSE#No.}\n\n"
        "Write. {}\n\nPi? {#3.14:0.01}\n\nCapital? {=Paris}\n\nMatch. {=a -> b =c -> d}\n\n"
        "It costs {~1 =2 ~3 ~4} coins.\n\nEscapes \\{\\}\\~\\=\\#\\: {T}\n");
    put("questiontext", "farm-aiken.txt",
        "\xEF\xBB\xBFWhich animal gives milk?\r\nA. Cow\r\nB. Hen\r\nC) Pig\r\nD) Goat\r\n"
        "ANSWER: A\r\nThree?\r\nA. a\r\nB. b\r\nC. c\r\nANSWER: C\r\n\r\nNo answer\r\n"
        "A. a\r\n");
}

void scoreLogs() {
    const auto append = [](const std::string& file, const std::string& name, int score, int count,
                           long long seconds) {
        scorelog::ScoreLogRecord r;
        r.studentName = name;
        r.score = score;
        r.questionCount = count;
        r.percentText = scorelog::PercentText(score, count);
        r.timeText = scorelog::TimeSpentText(seconds);
        r.finishedAt = {2026, 3, 14, 6, 9, 41, 5, "Saturday", "Mar", "AM", "PM", "3/14/26"};
        fs::create_directories(g_out / "scorelog");
        if (!scorelog::AppendEntry((g_out / "scorelog" / file).string(), r))
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
    };
    append("one.log", "Anne Smith", 4, 5, 75);
    append("three.log", "Anne Smith", 4, 5, 75);
    append("three.log", "Bj\xF6rn \xC8\xCF", 29, 50, 45);
    append("three.log", "Carl", 0, 1, 3600);
}

void bitmapFiles() {
    const QImage small = bitmaps::quarters(8, 6);
    put("dib", "rgb24.bmp", bytesOf(bitmaps::bmp(small, 24)));
    put("dib", "pal8.bmp", bytesOf(bitmaps::bmp(small, 8)));
    put("dib", "pal4.bmp", bytesOf(bitmaps::bmp(small, 4)));
    put("dib", "pal1.bmp",
        bytesOf(bitmaps::bmp(bitmaps::quarters(9, 3).convertToFormat(QImage::Format_Mono), 1)));
    put("dib", "rle8.bmp", bytesOf(bitmaps::bmp(small, {.bits = 8, .compression = 1})));
    put("dib", "rle4.bmp", bytesOf(bitmaps::bmp(small, {.bits = 4, .compression = 2})));
    put("dib", "rgb16.bmp", bytesOf(bitmaps::bmp(small, 16)));
    put("dib", "masks32.bmp",
        bytesOf(bitmaps::bmp(small, {.bits = 32,
                                     .compression = 3,
                                     .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                     .header = 108})));
    put("picture", "quarters.bmp", bytesOf(bitmaps::bmp(small, 24)));
    put("picture", "rle8.bmp", bytesOf(bitmaps::bmp(small, {.bits = 8, .compression = 1})));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    bitmaps::quarters(16, 12).save(&buffer, "JPG", 60);
    put("picture", "quarters.jpg", jpeg.toStdString());
}

// Standard MIDI Files: format 0 and 1, running status, a system exclusive message, meta events.
void tunes() {
    const auto be = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = n - 1; i >= 0; --i)
            s += static_cast<char>(v >> (8 * i) & 0xFF);
        return s;
    };
    const auto smf = [&](int format, const std::vector<std::string>& tracks) {
        std::string s = "MThd" + be(6, 4) + be(format, 2) + be(tracks.size(), 2) + be(480, 2);
        for (const auto& t : tracks)
            s += "MTrk" + be(t.size(), 4) + t;
        return s;
    };
    const std::string tempo("\x00\xFF\x51\x03\x05\x16\x15", 7);
    const std::string end("\x00\xFF\x2F\x00", 4);
    const std::string notes("\x00\x90\x43\x60\x83\x60\x43\x00\x00\x45\x60\x83\x60\x80\x45\x40", 16);
    const std::string sysex("\x00\xF0\x05\x7E\x7F\x09\x01\xF7", 8);
    const std::string program("\x00\xC1\x20", 3);
    put("midi", "format0.mid", smf(0, {tempo + sysex + notes + end}));
    put("midi", "format1.mid", smf(1, {tempo + end, program + notes + end}));
    put("midi", "no-end.mid", smf(0, {notes}));
}

void commands() {
    const auto text = [](std::uint8_t capacity, const std::string& lines) {
        return std::string(1, static_cast<char>(capacity)) + lines;
    };
    put("mediacommand", "tune",
        text(128, "open sequencer!/tmp/examo-no-such/tune.mid alias tune\nplay tune\nclose tune\n"
                  "close all"));
    put("mediacommand", "movie",
        text(255, "open avivideo!/tmp/examo-no-such/my%20movie.avi alias movie\n"
                  "window movie handle 94220147392\nput movie destination at 10 20 320 240\n"
                  "where movie source\ncapability movie can stretch\nplay movie\nclose movie"));
    put("mediacommand", "short-reply",
        text(3, "OPEN MPEGVideo!path#1 ALIAS clip\nwhere clip source\nput clip destination at "
                "-5 0 99999 1\nbogus words here"));
}

void settingsFiles() {
    put("settings", "recent.conf",
        "[Settings]\nMRU1=/home/anne.smith/quizzes/farm.exm\nMRU2=/home/anne.smith/Old "
        "quizzes/colours.exm\nMRU3=untitled\nMRU4=untitled\n");
    put("settings", "quoted.conf",
        "[General]\nx=1\n\n[Settings]\nMRU1=\"/tmp/a, b.exm\"\nMRU2=/tmp/caf\\xe9.exm\n"
        "MRU3=@Invalid()\nMRU4=\"a\\\"b\\\\c\\n\"\n");
    put("settings", "crlf.conf", "[Settings]\r\nMRU1=/media/usb/test.exm\r\n; note\r\nMRU2=\r\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_corpus OUTPUT_FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    g_out = argv[1];
    quizzes();
    questionFiles();
    scoreLogs();
    bitmapFiles();
    tunes();
    commands();
    settingsFiles();
    return 0;
}
