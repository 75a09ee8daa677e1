// A manual check of movies in picture boxes, as the quiz windows show them: two 270 by 270
// boxes side by side, each playing one AVI file through the media operations, so the small
// one is centred at its own size and the large one shrinks to fill its box.
//
//   moviebox_demo SMALL.avi LARGE.avi [SECONDS]
//
// Run it on an X11 display (xvfb-run works) and look at the window while it plays.
#include "media/displaybox.h"
#include "media/modsound.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class WidgetBox : public examo::DisplayBox {
public:
    explicit WidgetBox(QWidget* widget) : m_widget(widget) {}
    double ScaleWidth() const override { return m_widget->width(); }
    double ScaleHeight() const override { return m_widget->height(); }
    std::intptr_t hWnd() const override { return static_cast<std::intptr_t>(m_widget->winId()); }

private:
    QWidget* m_widget;
};

// The services a movie does not use, and messages written where the tester sees them.
class Console : public examo::WavePlayer,
                public examo::Resources,
                public examo::Dialogs,
                public examo::EventPump {
public:
    bool playFile(const std::string&, std::uint32_t) override { return false; }
    bool playMemory(std::span<const std::uint8_t>, std::uint32_t) override { return false; }
    std::optional<std::vector<std::uint8_t>> load(const std::string&, int) override {
        return std::nullopt;
    }
    Answer message(const std::string& text, Buttons, Icon, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return Answer::Ok;
    }
    std::optional<std::string> input(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }
    void processEvents() override { QCoreApplication::processEvents(); }
    void processEventsExceptInput() override {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

// Shows each command on its way to the real service.
class Tracing : public examo::MediaCommandService {
public:
    explicit Tracing(examo::MediaCommandService& service) : m_service(service) {}
    std::uint32_t send(const std::string& command, std::string& reply,
                       std::uint32_t replyCapacity) override {
        const std::uint32_t result = m_service.send(command, reply, replyCapacity);
        std::fprintf(stderr, "[%s] -> %u \"%s\"\n", command.c_str(), result,
                     reply.substr(0, reply.find('\0')).c_str());
        return result;
    }

private:
    examo::MediaCommandService& m_service;
};

QWidget* makeBox(QWidget* parent, int x) {
    auto* box = new QWidget(parent);
    box->setAttribute(Qt::WA_NativeWindow);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, QColor(90, 90, 160));
    box->setPalette(palette);
    box->setGeometry(x, 20, 270, 270);
    return box;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SMALL.avi LARGE.avi [SECONDS]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 5;

    examo::GstEnvironment env;
    std::fprintf(stderr, "display %d, sound %d\n", env.hasX11Display(), env.hasSoundDevice());
    // One service per box: each holds its own "movie".
    examo::GstMediaCommandService left(env);
    examo::GstMediaCommandService right(env);
    Tracing leftTrace(left);
    Tracing rightTrace(right);
    Console console;
    examo::PercentShortPath shortPaths;
    examo::modSound::Media leftMedia{leftTrace, console, shortPaths, console, console, console, {}};
    examo::modSound::Media rightMedia{rightTrace, console, shortPaths, console,
                                      console,    console, {}};

    QWidget window;
    window.setWindowTitle(QStringLiteral("Movie boxes"));
    window.resize(600, 310);
    QWidget* leftBox = makeBox(&window, 20);
    QWidget* rightBox = makeBox(&window, 310);
    window.show();
    WidgetBox leftDisplay(leftBox);
    WidgetBox rightDisplay(rightBox);

    QTimer::singleShot(200, &window, [&] {
        examo::modSound::PlayAviMovie(leftMedia, argv[1], leftDisplay, true);
        examo::modSound::PlayAviMovie(rightMedia, argv[2], rightDisplay, true);
    });
    QTimer::singleShot(seconds * 1000, &app, [&] {
        examo::modSound::CloseAllMedia(leftMedia);
        examo::modSound::CloseAllMedia(rightMedia);
        QCoreApplication::quit();
    });
    return app.exec();
}
