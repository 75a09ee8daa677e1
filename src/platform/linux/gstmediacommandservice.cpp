#include "platform/linux/gstmediacommandservice.h"

#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediadevice.h"
#include "platform/linux/percentshortpath.h"
#include "platform/midicheck.h"

#include <QFile>

#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <span>

namespace examo {

namespace {

using gstmedia::kPrerollTimeout;
using gstmedia::lcMedia;
using gstmedia::sourceSize;
using Size = GstMediaCommandService::Size;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A MIDI file is read whole before the parser sees it; tunes are small, and one too large to
// check is not played.
bool midiParsesSafely(const std::string& path) {
    constexpr std::size_t kLargestTune = 16 * 1024 * 1024;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return true; // the pipeline will say it cannot read it
    if (file.peek(4) != QByteArrayLiteral("MThd"))
        return true;
    if (file.size() > qint64(kLargestTune))
        return false;
    const QByteArray bytes = file.read(qint64(kLargestTune));
    return midi::ParsesSafely(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        std::size_t(bytes.size())));
}

std::vector<std::string> splitWords(const std::string& command) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && (command[i] == ' ' || command[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < command.size() && command[i] != ' ' && command[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(command.substr(start, i - start));
    }
    return words;
}

template <typename T> std::optional<T> number(const std::string& word) {
    T value{};
    const char* end = word.data() + word.size();
    const auto [ptr, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// As a fixed buffer would hold it: the text, cut to fit, and a NUL.
void writeReply(std::string& reply, std::uint32_t capacity, const std::string& text) {
    if (capacity == 0)
        return;
    const std::string held = text.substr(0, capacity - 1) + '\0';
    if (reply.size() < held.size())
        reply.resize(held.size());
    reply.replace(0, held.size(), held);
}

} // namespace

GstMediaCommandService::GstMediaCommandService(const GstEnvironment& env,
                                               const PercentShortPath& shortPaths)
    : m_env(env), m_shortPaths(shortPaths) {}

GstMediaCommandService::~GstMediaCommandService() = default;

std::uint32_t GstMediaCommandService::send(const std::string& command, std::string& reply,
                                           std::uint32_t replyCapacity) {
    writeReply(reply, replyCapacity, {});
    const std::vector<std::string> words = splitWords(command);
    if (words.size() < 2)
        return kUnrecognizedCommand;
    const std::string verb = lower(words[0]);
    if (verb == "open" && words.size() == 4 && lower(words[2]) == "alias")
        return open(words);
    if (verb == "close" && words.size() == 2) {
        if (lower(words[1]) == "all") {
            closeAll();
            return 0;
        }
        if (find(lower(words[1])) == nullptr)
            return kNotOpen;
        close(lower(words[1]));
        return 0;
    }

    const bool known = (verb == "window" && words.size() == 4 && lower(words[2]) == "handle") ||
                       (verb == "where" && words.size() == 3 && lower(words[2]) == "source") ||
                       (verb == "put" && words.size() == 8 && lower(words[2]) == "destination" &&
                        lower(words[3]) == "at") ||
                       (verb == "capability" && words.size() == 4 && lower(words[2]) == "can" &&
                        lower(words[3]) == "stretch") ||
                       (verb == "play" && words.size() == 2);
    if (!known)
        return kUnrecognizedCommand;
    Device* device = find(lower(words[1]));
    if (device == nullptr)
        return kNotOpen;
    if (verb == "window")
        return window(*device, words[3]);
    if (verb == "put")
        return put(*device, {words.begin() + 4, words.end()});
    if (verb == "play")
        return play(*device);
    std::string text = "true";
    const std::uint32_t result = verb == "where" ? where(*device, text) : 0;
    if (result == 0)
        writeReply(reply, replyCapacity, text);
    return result;
}

std::uint32_t GstMediaCommandService::open(const std::vector<std::string>& words) {
    const std::size_t bang = words[1].find('!');
    if (bang == std::string::npos)
        return kUnrecognizedCommand;
    const std::string type = lower(words[1].substr(0, bang));
    m_env.start(); // GStreamer is set up when a program first opens media
    const bool movie = type == "avivideo" || type == "mpegvideo";
    if (!movie && type != "sequencer")
        return kUnrecognizedCommand;
    // A well-formed open replaces what the alias held, even when the new file cannot play.
    const std::string alias = lower(words[3]);
    close(alias);

    const std::string path = m_shortPaths.longPathOf(words[1].substr(bang + 1));
    std::error_code error;
    if (!std::filesystem::path(path).is_absolute() ||
        !std::filesystem::is_regular_file(path, error))
        return kFileNotFound;
    if (!midiParsesSafely(path)) {
        qCDebug(lcMedia, "refused a MIDI file the parser would never finish: %s", path.c_str());
        return kCannotPlay;
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (uri == nullptr)
        return kFileNotFound;

    auto device = std::make_unique<Device>();
    const bool built = device->build(m_env, uri, movie);
    g_free(uri);
    if (!built)
        return kCannotPlay;
    if (!device->preroll()) {
        qCDebug(lcMedia, "cannot play %s", path.c_str());
        return kCannotPlay;
    }
    // Until it is put elsewhere the picture shows at its own size at the top left.
    if (const std::optional<Size> size = sourceSize(device->pipeline))
        device->place(QRect(0, 0, size->width, size->height));
    m_devices[alias] = std::move(device);
    return 0;
}

std::uint32_t GstMediaCommandService::window(Device& device, const std::string& handle) {
    const auto id = number<std::uintptr_t>(handle);
    if (!id)
        return kBadNumber;
    QWidget* box = gstmedia::widgetOfHandle(*id);
    if (box == nullptr)
        return kBadWindow;
    device.showIn(*box);
    return 0;
}

std::uint32_t GstMediaCommandService::where(Device& device, std::string& text) const {
    const std::optional<Size> size = sourceSize(device.pipeline);
    if (!size)
        return kNoVideo;
    text = "0 0 " + std::to_string(size->width) + " " + std::to_string(size->height);
    return 0;
}

std::uint32_t GstMediaCommandService::put(Device& device, const std::vector<std::string>& numbers) {
    long rect[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = number<long>(numbers[i]);
        if (!value || *value < -kLargestCoordinate || *value > kLargestCoordinate)
            return kBadNumber;
        rect[i] = *value;
    }
    const auto [x, y, width, height] = rect;
    if (width <= 0 || height <= 0)
        return kBadNumber;
    device.place(QRect(int(x), int(y), int(width), int(height)));
    return 0;
}

std::uint32_t GstMediaCommandService::play(Device& device) {
    return gst_element_set_state(device.pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
               ? kCannotPlay
               : 0;
}

void GstMediaCommandService::close(const std::string& alias) {
    m_devices.erase(alias);
}

void GstMediaCommandService::closeAll() {
    m_devices.clear();
}

GstMediaCommandService::Device* GstMediaCommandService::find(const std::string& alias) const {
    const auto it = m_devices.find(alias);
    return it == m_devices.end() ? nullptr : it->second.get();
}

bool GstMediaCommandService::isOpen(const std::string& alias) const {
    return find(lower(alias)) != nullptr;
}

bool GstMediaCommandService::reachedEnd(const std::string& alias) const {
    const Device* device = find(lower(alias));
    return device != nullptr && device->ended;
}

std::optional<GstMediaCommandService::Picture>
GstMediaCommandService::shownPicture(const std::string& alias) const {
    const Device* device = find(lower(alias));
    if (device == nullptr || device->frames == nullptr)
        return std::nullopt;
    GstSample* shown = device->frames->latest();
    if (shown == nullptr)
        return std::nullopt;
    GstCaps* rgb = gst_caps_from_string("video/x-raw,format=RGB");
    GstSample* sample = gst_video_convert_sample(shown, rgb, kPrerollTimeout, nullptr);
    gst_caps_unref(rgb);
    gst_sample_unref(shown);
    if (sample == nullptr)
        return std::nullopt;
    std::optional<Picture> picture;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        picture = Picture{{info.width, info.height}, {}};
        const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        for (int y = 0; y < info.height; ++y)
            picture->rgb.insert(picture->rgb.end(), data + y * stride,
                                data + y * stride + info.width * 3);
        gst_video_frame_unmap(&frame);
    }
    gst_sample_unref(sample);
    return picture;
}

} // namespace examo
