#pragma once

// Recording, scripted stand-ins for the platform services; the other headers name the one used.

#include "media/modsound.h" // and the media services
#include "platform/avifilelibrary.h"
#include "platform/clock.h"
#include "platform/filedialogs.h"
#include "platform/filetyperegistry.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "platform/shell.h"
#include "platform/speech.h"

#include <QHash>
#include <QStringList>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>

namespace examo::fakes {

// A clock the test sets and moves; it starts at 9:41 on Sunday, 6 December 2026.
class FakeClock : public Clock {
public:
    double timer() override { return 9 * 3600.0 + 41 * 60.0 + m_passed; }
    double monotonicSeconds() override { return 1000.0 + m_passed; }
    LocalDateTime now() override { return moment; }
    void advance(double seconds) { m_passed += seconds; }
    LocalDateTime moment{.year = 2026,
                         .month = 12,
                         .day = 6,
                         .dayOfWeek = 7,
                         .hour = 9,
                         .minute = 41,
                         .weekdayName = "Sunday",
                         .monthShortName = "Dec",
                         .shortDate = "12/6/26"};

private:
    double m_passed = 0;
};

// The next answer of a script, or the given one when it has run out.
template <class T> T next(std::deque<T>& script, T otherwise) {
    if (!script.empty()) {
        otherwise = script.front();
        script.pop_front();
    }
    return otherwise;
}

// Records every box and answers from a script (Yes / OK when the script runs out; No to a
// Yes/No/Cancel question, so a command asked about unsaved work goes on without saving).
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        Buttons buttons;
        Icon icon;
        std::string title;
    };
    struct Input {
        std::string prompt, title, initialText;
    };
    Answer message(const std::string& text, Buttons buttons, Icon icon,
                   const std::string& title) override {
        messages.push_back({text, buttons, icon, title});
        if (onMessage)
            onMessage(messages.back());
        const Answer otherwise = buttons == Buttons::YesNo         ? Answer::Yes
                                 : buttons == Buttons::YesNoCancel ? Answer::No
                                                                   : Answer::Ok;
        return next(answers, otherwise);
    }
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& initialText) override {
        inputs.push_back({prompt, title, initialText});
        return next(inputAnswers, std::optional<std::string>());
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::deque<Answer> answers;
    std::function<void(const Message&)> onMessage;       // runs while a box is up
    std::deque<std::optional<std::string>> inputAnswers; // nullopt = Cancel
};

// Records each request; answers with the next scripted path (nullopt = Cancel). A choice
// moves the process's current folder to the chosen file's folder, as the real dialogs do.
class FakeFileDialogs : public FileDialogs {
public:
    enum class Kind { Open, OpenPreview, Save };
    struct Call {
        Kind kind;
        FileDialogRequest request;
    };
    using Request = FileDialogRequest;
    FileDialogResult getOpenFileName(const Request& r) override { return answer(Kind::Open, r); }
    FileDialogResult getSaveFileName(const Request& r) override { return answer(Kind::Save, r); }
    FileDialogResult getOpenFileNamePreview(const Request& r) override {
        return answer(Kind::OpenPreview, r);
    }
    std::string getFileTitle(const std::string& path) override {
        return path.substr(path.rfind('/') + 1); // npos + 1: the whole path
    }
    std::vector<Call> calls;
    std::deque<std::optional<std::string>> paths;
    std::int32_t chosenFilterIndex = 1;
    std::optional<std::uint32_t> returnedFlags; // the flags handed back; else as asked
    std::string failWith; // when not empty, the dialog throws this description

private:
    FileDialogResult answer(Kind kind, const FileDialogRequest& r) {
        calls.push_back({kind, r});
        if (!failWith.empty())
            throw std::runtime_error(failWith);
        const auto path = next(paths, std::optional<std::string>());
        FileDialogResult result;
        if (!path)
            return result;
        result.ok = true;
        // As a fixed buffer: the path, then NULs up to the capacity.
        result.fileBuffer = *path;
        result.fileBuffer.resize(std::max<std::size_t>(path->size() + 1, r.maxFile), '\0');
        result.fileTitleBuffer = getFileTitle(*path) + '\0';
        result.flags = returnedFlags.value_or(r.flags);
        result.filterIndex = chosenFilterIndex;
        constexpr std::uint32_t kNoChangeDir = 0x8;
        const auto slash = path->rfind('/');
        std::error_code ec; // a folder that does not exist leaves the current one
        if ((r.flags & kNoChangeDir) == 0 && slash != std::string::npos)
            std::filesystem::current_path(path->substr(0, slash + 1), ec);
        return result;
    }
};

class FakeEventPump : public EventPump {
public:
    void processEvents() override { ++runs; }
    void processEventsExceptInput() override { ++paintRuns; }
    int runs = 0, paintRuns = 0;
};

class FakeFileTypeRegistry : public FileTypeRegistry {
public:
    struct Value {
        std::string key, subKey, value;
    };
    bool setValue(const std::string& key, const std::string& subKey,
                  const std::string& value) override {
        values.push_back({key, subKey, value});
        return true;
    }
    std::vector<Value> values;
};

// Pictures by path; unknown paths fail to load.
class FakePictureLoader : public PictureLoader {
public:
    QImage load(const QString& path) override { return pictures.value(path); }
    QHash<QString, QImage> pictures;
};

class FakeProgramInfo : public ProgramInfo {
public:
    std::string title() override { return titleText; }
    std::string folder() override { return folderPath; }
    std::string exeName() override { return exe; }
    ProgramVersion version() override { return {1, 0, 0}; }
    std::string commandLine() override { return command; }
    std::string currentFolder() override { return current; }
    std::string titleText = "ExamoMe", folderPath = "/opt/examo", exe = "ExamoMe";
    std::string command, current = "/tmp";
};

class FakeSettingsStore : public SettingsStore {
public:
    std::string getSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override {
        const auto it = values.find({app, section, key});
        return it == values.end() ? def : it->second;
    }
    void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[{app, section, key}] = value;
    }
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
};

// Records requests; copies for real unless told to fail. Like the real shell, a failed copy
// leaves no file behind and an existing target as it was.
class FakeShell : public Shell {
public:
    struct ToolStart {
        DesktopTool tool;
        std::string folder;
    };
    int fileOperation(const FileOperationRequest& r) override {
        operations.push_back(r);
        std::error_code ec;
        if (copyResult == 0)
            std::filesystem::copy_file(r.from.c_str(), r.to.c_str(),
                                       std::filesystem::copy_options::overwrite_existing, ec);
        return copyResult != 0 ? copyResult : ec ? 1 : 0;
    }
    bool openUrl(const std::string& url) override {
        urls.push_back(url);
        return urlResult;
    }
    bool startTool(DesktopTool tool, const std::string& folder) override {
        tools.push_back({tool, folder});
        return toolResult;
    }
    std::string toolFor(DesktopTool tool) override {
        return missingTools.contains(tool) ? std::string() : "/usr/bin/tool";
    }
    std::string suggestedTool(DesktopTool tool) override {
        return "tool-" + std::to_string(static_cast<int>(tool));
    }
    std::string specialFolder(int number) override { return number == 5 ? documentsFolder : ""; }
    std::set<DesktopTool> missingTools;
    std::vector<FileOperationRequest> operations;
    std::vector<std::string> urls;
    std::vector<ToolStart> tools;
    int copyResult = 0; // nonzero: every copy fails with it
    bool urlResult = true, toolResult = true;
    std::string documentsFolder = "/home/teacher/Documents";
};

// Records each command; answers from tables of replies and results by command text.
class FakeMediaCommandService : public MediaCommandService {
public:
    std::uint32_t send(const std::string& command, std::string& reply,
                       std::uint32_t replyCapacity) override {
        commands.push_back(command);
        const auto r = replies.find(command);
        reply = r == replies.end() ? std::string() : r->second.substr(0, replyCapacity - 1);
        const auto e = results.find(command);
        return e == results.end() ? 0 : e->second;
    }
    std::vector<std::string> commands;
    std::map<std::string, std::string> replies;
    std::map<std::string, std::uint32_t> results;
};

class FakeWavePlayer : public WavePlayer {
public:
    struct Play {
        std::string path; // empty for a wave from memory
        std::vector<std::uint8_t> image;
        std::uint32_t flags;
    };
    bool playFile(const std::string& path, std::uint32_t flags) override {
        if (breaks)
            throw std::runtime_error("the sound system broke down");
        plays.push_back({path, {}, flags});
        return true;
    }
    bool playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) override {
        if (breaks)
            throw std::runtime_error("the sound system broke down");
        plays.push_back({{}, {image.begin(), image.end()}, flags});
        return true;
    }
    std::vector<Play> plays;
    bool breaks = false; // every play throws
};

class FakeShortPath : public ShortPath {
public:
    std::uint32_t getShortPathName(const std::string& longPath, std::string& buffer,
                                   std::uint32_t capacity) override {
        const auto it = shortForms.find(longPath);
        if (it == shortForms.end() || it->second.size() > capacity)
            return 0;
        buffer = it->second;
        return static_cast<std::uint32_t>(it->second.size());
    }
    std::map<std::string, std::string> shortForms;
};

class FakeResources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> load(const std::string& type, int number) override {
        const auto it = items.find(number);
        return type == "CUSTOM" && it != items.end() ? std::optional(it->second) : std::nullopt;
    }
    std::map<int, std::vector<std::uint8_t>> items;
};

// Records what it is asked to read; like an engine, it reads until stopped or told the reading
// is over (finish). With no engine (available false) it reads nothing.
class FakeSpeech : public Speech {
public:
    bool available() override { return engine; }
    void say(const QString& text) override {
        if (!engine)
            return;
        said.append(text);
        m_speaking = true;
    }
    void stop() override {
        if (m_speaking)
            ++stops;
        m_speaking = false;
    }
    bool speaking() const override { return m_speaking; }
    void finish() { m_speaking = false; }

    bool engine = true;
    QStringList said;
    int stops = 0; // readings cut short

private:
    bool m_speaking = false;
};

// Records each call as a line ("Print|Ann|1", "EndDoc"); a letter page, lines 4 by 2 a letter.
class FakePrinter : public Printer {
public:
    void setScaleMode(int mode) override { record(u"ScaleMode", mode); }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double x) override { record(u"CurrentX", m_x = x); }
    void setCurrentY(double y) override { record(u"CurrentY", m_y = y); }
    void setFontName(const QString& name) override { record(QStringLiteral("FontName|") + name); }
    void setFontSize(double points) override { record(u"FontSize", points); }
    void setFontBold(bool bold) override { record(u"FontBold", int(bold)); }
    void setDrawWidth(int pixels) override { record(u"DrawWidth", pixels); }
    void print(const QString& text, bool endLine) override {
        record(QStringLiteral("Print|%1|%2").arg(text, QString::number(int(endLine))));
        m_x = endLine ? 0 : m_x + textWidth(text);
        m_y += endLine ? 4.0 : 0;
    }
    double textWidth(const QString& text) override { return text.size() * 2.0; }
    double textHeight(const QString&) override { return 4.0; }
    void line(double a, double b, double c, double d) override { drawTo(u"Line", a, b, c, d); }
    void box(double a, double b, double c, double d) override { drawTo(u"Box", a, b, c, d); }
    void paintPicture(const QImage& picture, double x, double y, double w, double h) override {
        record(QStringLiteral("PaintPicture|%1x%2").arg(picture.width()).arg(picture.height()), x,
               y, w, h);
    }
    double scaleWidth() const override { return pageWidth; }
    double scaleHeight() const override { return 279.4; }
    void newPage() override { moveHome(u"NewPage"); }
    void endDoc() override { moveHome(u"EndDoc"); }
    void killDoc() override {
        calls.append(QStringLiteral("KillDoc"));
        m_x = m_y = 0;
    }
    QStringList calls;
    bool fail = false; // every call but KillDoc throws PrintError
    double pageWidth = 215.9;

private:
    // The call's name and its numbers, each after a "|".
    template <class... Number> void record(QStringView call, Number... numbers) {
        if (fail)
            throw PrintError("no printer");
        calls.append((call.toString() + ... + QStringLiteral("|%1").arg(numbers)));
    }
    void drawTo(QStringView call, double x1, double y1, double x2, double y2) {
        record(call, x1, y1, x2, y2);
        m_x = x2;
        m_y = y2;
    }
    void moveHome(QStringView call) {
        record(call);
        m_x = m_y = 0;
    }
    double m_x = 0, m_y = 0;
};

// Keeps the frames written and the handles not yet released; each step's result is scripted.
class FakeAviFileLibrary : public AviFileLibrary {
public:
    using Bytes = std::span<const std::uint8_t>;
    void fileInit() override {}
    void fileExit() override {}
    long fileOpen(AviFileHandle& file, const std::string&, std::uint32_t) override {
        return make(file, openResult);
    }
    long fileCreateStream(AviFileHandle, AviStreamHandle& stream, const AviStreamInfo&) override {
        return make(stream, createStreamResult);
    }
    long saveOptions(std::intptr_t, std::uint32_t, AviStreamHandle,
                     AviCompressOptions& options) override {
        options = {.codec = "mjpeg"};
        return saveOptionsResult;
    }
    long saveOptionsFree(AviCompressOptions&) override { return 0; }
    long makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle,
                              const AviCompressOptions&) override {
        return make(compressed, compressResult);
    }
    long streamSetFormat(AviStreamHandle, std::int32_t, Bytes) override { return setFormatResult; }
    long streamWrite(AviStreamHandle, std::int32_t, std::int32_t, Bytes data,
                     std::uint32_t) override {
        if (writeResult == 0)
            frames.emplace_back(data.begin(), data.end());
        return writeResult;
    }
    long streamRelease(AviStreamHandle stream) override {
        return live.erase(stream) == 1 ? 0 : avierr::kBadHandle;
    }
    long fileRelease(AviFileHandle file) override {
        live.erase(file);
        return fileReleaseResult;
    }
    std::set<std::intptr_t> live; // handles made and not released
    std::vector<std::vector<std::uint8_t>> frames;
    long openResult = 0, createStreamResult = 0, saveOptionsResult = 1, compressResult = 0,
         setFormatResult = 0, writeResult = 0, fileReleaseResult = 0;

private:
    long make(std::intptr_t& handle, long result) {
        handle = result == 0 ? ++m_next : 0;
        if (result == 0)
            live.insert(handle);
        return result;
    }
    std::intptr_t m_next = 0;
};

// The media operations' services, all fakes, and the media context over them.
struct FakeMediaServices {
    FakeMediaCommandService mci;
    FakeWavePlayer waves;
    FakeShortPath shortPaths;
    FakeResources resources;
    FakeDialogs dialogs;
    FakeEventPump pump;
    modSound::Media media{mci, waves, shortPaths, resources, dialogs, pump, {}};
};

} // namespace examo::fakes
