// Movies shown inside a box widget, read back from the widgets' own pixels: runs on any Qt
// platform (offscreen here, Wayland in its own CTest entry).
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include "support/tools.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using examo::testing::runProgram;
using examo::testing::waitHandlingEvents;

namespace {

constexpr int kInside = 270; // the box's inside, as the quiz window's picture box has it
constexpr int kEdge = 2;
const QPoint kBoxAt(40, 30);

bool near(QRgb pixel, QColor colour) {
    return std::abs(qRed(pixel) - colour.red()) < 60 &&
           std::abs(qGreen(pixel) - colour.green()) < 60 &&
           std::abs(qBlue(pixel) - colour.blue()) < 60;
}

class MovieInBox : public ::testing::Test, examo::testing::SilentAudio {
protected:
    MovieInBox() {
        window.resize(400, 360);
        window.setStyleSheet(u"background: white"_s);
        box->setGeometry(QRect(kBoxAt, QSize(kInside + 2 * kEdge, kInside + 2 * kEdge)));
        box->setContentsMargins(kEdge, kEdge, kEdge, kEdge);
        box->setStyleSheet(u"background: rgb(0, 128, 0)"_s);
        window.show();
    }

    // A movie made by ffmpeg from its colour sources: one second of each colour.
    std::string movie(const char* name, const char* size, const char* codec,
                      std::initializer_list<const char*> colours) {
        const QString out = dir.filePath(QString::fromUtf8(name));
        QStringList arguments{u"-v"_s, u"error"_s, u"-y"_s};
        for (const char* colour : colours)
            arguments << u"-f"_s << u"lavfi"_s << u"-i"_s
                      << u"color=c=%1:s=%2:r=25:d=1"_s.arg(QString::fromUtf8(colour),
                                                           QString::fromUtf8(size));
        arguments << u"-filter_complex"_s << u"concat=n=%1:v=1:a=0"_s.arg(colours.size())
                  << QString::fromUtf8(codec).split(u' ') << out;
        EXPECT_TRUE(runProgram(u"ffmpeg"_s, arguments).ok);
        return out.toStdString();
    }

    std::uint32_t send(const std::string& command) {
        std::string reply(128, ' ');
        return service.send(command, reply, 128);
    }
    std::string handle() const { return std::to_string(reinterpret_cast<std::uintptr_t>(box)); }
    std::uint32_t open(const char* device, const std::string& file) {
        return send(std::string("open ") + device + "!" + examo::encodeShortPath(file) +
                    " alias movie");
    }

    // The window's pixels; the box's inside starts at inside(0, 0).
    QImage screen() { return window.grab().toImage(); }
    static QPoint inside(int x, int y) { return kBoxAt + QPoint(kEdge + x, kEdge + y); }
    // Waits until the pixel at p has the colour.
    bool shows(QPoint p, QColor colour) {
        return waitHandlingEvents([&] { return near(screen().pixel(p), colour); });
    }

    QTemporaryDir dir;
    examo::GstEnvironment env;
    examo::PercentShortPath shortPaths;
    examo::GstMediaCommandService service{env, shortPaths};
    QWidget window;
    QWidget* box = new QWidget(&window);
};

TEST_F(MovieInBox, SmallMovieCentredAtItsOwnSizeKeepsPlayingAndGoesOnCloseAll) {
    ASSERT_EQ(open("AVIvideo", movie("small.avi", "160x120", "-c:v mjpeg -q:v 2", {"red", "blue"})),
              0u);
    ASSERT_EQ(send("window movie handle " + handle()), 0u);
    // Where the quiz window puts a movie smaller than the box: centred at its own size.
    ASSERT_EQ(send("put movie destination at 55 75 160 120"), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    ASSERT_TRUE(shows(inside(135, 135), Qt::red));
    const QImage shot = screen();
    for (const QPoint corner : {inside(56, 76), inside(213, 76), inside(56, 193), inside(213, 193)})
        EXPECT_TRUE(near(shot.pixel(corner), Qt::red)) << corner.x() << "," << corner.y();
    for (const QPoint around :
         {inside(52, 135), inside(218, 135), inside(135, 72), inside(135, 198)})
        EXPECT_TRUE(near(shot.pixel(around), QColor(0, 128, 0))) << around.x() << "," << around.y();
    // Pictures keep coming while the window goes on with its own work.
    EXPECT_TRUE(shows(inside(135, 135), Qt::blue));
    ASSERT_EQ(send("close all"), 0u);
    EXPECT_TRUE(shows(inside(135, 135), QColor(0, 128, 0)));
}

TEST_F(MovieInBox, LargeMovieFillsTheBoxAndNothingOutsideIt) {
    ASSERT_EQ(
        open("MPEGvideo", movie("large.mpg", "640x480", "-c:v mpeg1video -q:v 2 -f mpeg", {"red"})),
        0u);
    ASSERT_EQ(send("window movie handle " + handle()), 0u);
    ASSERT_EQ(send("put movie destination at 0 0 270 270"), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    ASSERT_TRUE(shows(inside(135, 135), Qt::red));
    QImage shot = screen();
    for (const QPoint p : {inside(1, 1), inside(268, 1), inside(1, 268), inside(268, 268)})
        EXPECT_TRUE(near(shot.pixel(p), Qt::red)) << p.x() << "," << p.y();
    // Placed past the box's edges: clipped to its inside.
    ASSERT_EQ(send("put movie destination at -40 -40 400 400"), 0u);
    ASSERT_TRUE(shows(inside(0, 0), Qt::red));
    shot = screen();
    for (const QPoint p :
         {inside(-1, 135), inside(kInside, 135), inside(135, -1), inside(135, kInside),
          kBoxAt - QPoint(3, 3), inside(kInside + 5, kInside + 5)})
        EXPECT_FALSE(near(shot.pixel(p), Qt::red)) << p.x() << "," << p.y();
}

TEST_F(MovieInBox, BoxGoneWhileItsMovieStillPlays) {
    ASSERT_EQ(open("AVIvideo", movie("gone.avi", "160x120", "-c:v mjpeg", {"red", "blue"})), 0u);
    ASSERT_EQ(send("window movie handle " + handle()), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    ASSERT_TRUE(shows(inside(80, 60), Qt::red));
    delete box;
    box = nullptr;
    // Pictures still come; they have nowhere to go.
    EXPECT_TRUE(waitHandlingEvents([&] { return service.reachedEnd("movie"); }));
    EXPECT_EQ(send("close all"), 0u);
}

TEST_F(MovieInBox, OnlyALiveWidgetIsABox) {
    ASSERT_EQ(open("AVIvideo", movie("any.avi", "160x120", "-c:v mjpeg", {"red"})), 0u);
    QWidget* gone = new QWidget(&window);
    const std::string goneHandle = std::to_string(reinterpret_cast<std::uintptr_t>(gone));
    delete gone;
    for (const std::string& number : {std::string("0"), std::string("4711"), goneHandle})
        EXPECT_EQ(send("window movie handle " + number), examo::GstMediaCommandService::kBadWindow)
            << number;
}

} // namespace
