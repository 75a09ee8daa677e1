#pragma once

#include "platform/mediacommandservice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace examo {

class GstEnvironment;

namespace gstmedia {
struct Device;
class ChildWindows;
} // namespace gstmedia

// The media command service over GStreamer: each alias is one playbin, prerolled when it is
// opened. Movies are drawn into a child window of ours inside the caller's native window, so
// placing them is moving that child, and stretching them is scaling to its size.
class GstMediaCommandService : public MediaCommandService {
public:
    // Error numbers; 0 is success.
    static constexpr std::uint32_t kUnrecognizedCommand = 261;
    static constexpr std::uint32_t kNotOpen = 263;
    static constexpr std::uint32_t kBadNumber = 270;
    static constexpr std::uint32_t kFileNotFound = 275;
    static constexpr std::uint32_t kCannotPlay = 296;
    static constexpr std::uint32_t kNoVideo = 300;
    static constexpr std::uint32_t kBadWindow = 346;

    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    struct Picture {
        Size size;
        std::vector<std::uint8_t> rgb; // rows of width * 3 bytes
    };

    explicit GstMediaCommandService(const GstEnvironment& env);
    ~GstMediaCommandService() override;
    GstMediaCommandService(const GstMediaCommandService&) = delete;
    GstMediaCommandService& operator=(const GstMediaCommandService&) = delete;

    std::uint32_t send(const std::string& command, std::string& reply,
                       std::uint32_t replyCapacity) override;

    // What a command would not tell: for tests and tools.
    bool isOpen(const std::string& alias) const;
    // The stream has played to its end (it stays there until it is closed).
    bool reachedEnd(const std::string& alias) const;
    // The picture the video sink was given last (after scaling).
    std::optional<Picture> shownPicture(const std::string& alias) const;

private:
    using Device = gstmedia::Device;

    std::uint32_t open(const std::vector<std::string>& words);
    std::uint32_t window(Device& device, const std::string& handle);
    std::uint32_t where(Device& device, std::string& text) const;
    std::uint32_t put(Device& device, const std::vector<std::string>& numbers);
    std::uint32_t play(Device& device);
    void close(const std::string& alias);
    void closeAll();
    Device* find(const std::string& alias) const;

    const GstEnvironment& m_env;
    std::unique_ptr<gstmedia::ChildWindows> m_windows; // null without an X11 display
    std::map<std::string, std::unique_ptr<Device>> m_devices;
};

} // namespace examo
