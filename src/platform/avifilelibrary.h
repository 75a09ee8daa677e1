#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace examo {

using AviFileHandle = std::intptr_t;   // 0 = none
using AviStreamHandle = std::intptr_t; // 0 = none

struct AviRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct AviStreamInfo {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t suggestedBufferSize = 0;
    AviRect frame;
};

struct AviCompressOptions {
    std::string codec; // the encoder chosen in the compression dialog
    std::uint32_t keyFrameEvery = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t flags = 0; // avicompress::kKeyFrames, DataRate, Valid
};

// Modes of fileOpen.
namespace avimode {
inline constexpr std::uint32_t kWrite = 0x1;
inline constexpr std::uint32_t kCreate = 0x1000;
} // namespace avimode

// Flags of saveOptions: which choices the compression dialog offers.
namespace avisaveflags {
inline constexpr std::uint32_t kKeyFrames = 0x1;
inline constexpr std::uint32_t kDataRate = 0x2;
} // namespace avisaveflags

// AviCompressOptions::flags: which of the options hold a choice.
namespace avicompress {
inline constexpr std::uint32_t kDataRate = 0x2;
inline constexpr std::uint32_t kKeyFrames = 0x4;
inline constexpr std::uint32_t kValid = 0x8;
} // namespace avicompress

// Flags of streamWrite.
inline constexpr std::uint32_t kAviKeyFrame = 0x10;

// The library's error numbers (any value other than 0 is a failure).
namespace avierr {
inline constexpr long kUnsupported = 0x80044065;
inline constexpr long kBadFormat = 0x80044066;
inline constexpr long kMemory = 0x80044067;
inline constexpr long kBadFlags = 0x80044069;
inline constexpr long kBadParam = 0x8004406A;
inline constexpr long kBadSize = 0x8004406B;
inline constexpr long kBadHandle = 0x8004406C;
inline constexpr long kFileWrite = 0x8004406E;
inline constexpr long kFileOpen = 0x8004406F;
inline constexpr long kCompressor = 0x80044070;
inline constexpr long kNoCompressor = 0x80044071;
} // namespace avierr

// The AVI file library. Every operation returns 0 on success, an error number otherwise,
// except saveOptions, which returns 1 when the user confirmed the compression dialog.
// A file is complete only once fileRelease has returned 0.
class AviFileLibrary {
public:
    virtual ~AviFileLibrary() = default;
    virtual void fileInit() = 0;
    virtual void fileExit() = 0;
    // Creates (or empties) the file at once.
    virtual long fileOpen(AviFileHandle& file, const std::string& path, std::uint32_t mode) = 0;
    virtual long fileCreateStream(AviFileHandle file, AviStreamHandle& stream,
                                  const AviStreamInfo& info) = 0;
    virtual long saveOptions(std::intptr_t owner, std::uint32_t flags, AviStreamHandle stream,
                             AviCompressOptions& options) = 0;
    virtual long saveOptionsFree(AviCompressOptions& options) = 0;
    virtual long makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle source,
                                      const AviCompressOptions& options) = 0;
    // format: a BITMAPINFOHEADER with its colour table, as in a DIB.
    virtual long streamSetFormat(AviStreamHandle stream, std::int32_t position,
                                 std::span<const std::uint8_t> format) = 0;
    // data: the pixel bytes of one DIB in the stream's format.
    virtual long streamWrite(AviStreamHandle stream, std::int32_t start, std::int32_t samples,
                             std::span<const std::uint8_t> data, std::uint32_t flags) = 0;
    virtual long streamRelease(AviStreamHandle stream) = 0;
    virtual long fileRelease(AviFileHandle file) = 0;
};

// The four-character code of a text such as "vids".
constexpr std::uint32_t fourCC(const char (&code)[5]) {
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8 |
           std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

} // namespace examo
