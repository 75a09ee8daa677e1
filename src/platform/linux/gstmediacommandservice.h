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
class PercentShortPath;

namespace gstmedia {
struct Device;
} // namespace gstmedia

// The media command service over GStreamer: each alias is one playbin, prerolled when it is
// opened. A movie's pictures come into Qt and are painted by a widget of ours inside the box
// widget that "window" names (by its address, or by its native window), so movies show on any
// Qt platform; placing them is moving the picture there, stretching is scaling to its size.
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
    // Larger coordinates in "put" are refused.
    static constexpr long kLargestCoordinate = 32767;

    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    struct Picture {
        Size size;
        std::vector<std::uint8_t> rgb; // rows of width * 3 bytes
    };

    // File names in "open" commands are the short forms that shortPaths gave out.
    GstMediaCommandService(const GstEnvironment& env, const PercentShortPath& shortPaths);
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
    const PercentShortPath& m_shortPaths;
    std::map<std::string, std::unique_ptr<Device>> m_devices;
};

} // namespace examo
