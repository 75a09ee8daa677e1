#pragma once

#include "platform/avifilelibrary.h"
#include "platform/linux/ffmpegcompressiondialog.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace examo {

// The AVI file library over FFmpeg. Frames come as the pixel bytes of bottom-up DIBs in the
// format given to streamSetFormat; each is converted and encoded as it is written, so memory
// does not grow with the length of the movie. Uncompressed frames are stored bottom-up as DIBs
// are (the top-down form FFmpeg writes by default does not play everywhere) and 8-bit frames
// keep their palette. One compressed video stream a file.
class FfmpegAviFileLibrary : public AviFileLibrary {
public:
    // The chooser stands in for the compression dialog; without one the Qt dialog is shown.
    explicit FfmpegAviFileLibrary(AviCompressionChooser chooser = {});
    ~FfmpegAviFileLibrary() override;
    FfmpegAviFileLibrary(const FfmpegAviFileLibrary&) = delete;
    FfmpegAviFileLibrary& operator=(const FfmpegAviFileLibrary&) = delete;

    // The encoders of this FFmpeg that take frames of this size, in the dialog's order.
    const std::vector<AviCompressorOffer>& compressorsFor(int width, int height);

    void fileInit() override;
    void fileExit() override;
    long fileOpen(AviFileHandle& file, const std::string& path, std::uint32_t mode) override;
    long fileCreateStream(AviFileHandle file, AviStreamHandle& stream,
                          const AviStreamInfo& info) override;
    long saveOptions(std::intptr_t owner, std::uint32_t flags, AviStreamHandle stream,
                     AviCompressOptions& options) override;
    long saveOptionsFree(AviCompressOptions& options) override;
    long makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle source,
                              const AviCompressOptions& options) override;
    long streamSetFormat(AviStreamHandle stream, std::int32_t position,
                         std::span<const std::uint8_t> format) override;
    long streamWrite(AviStreamHandle stream, std::int32_t start, std::int32_t samples,
                     std::span<const std::uint8_t> data, std::uint32_t flags) override;
    long streamRelease(AviStreamHandle stream) override;
    long fileRelease(AviFileHandle file) override;

    struct File;
    struct Stream;

private:
    bool offered(const Stream& stream, const std::string& codec);
    long finishStream(Stream& stream);

    AviCompressionChooser m_chooser;
    std::map<AviFileHandle, std::unique_ptr<File>> m_files;
    std::map<AviStreamHandle, std::unique_ptr<Stream>> m_streams;
    std::map<std::pair<int, int>, std::vector<AviCompressorOffer>> m_offers;
    std::intptr_t m_lastHandle = 0;
};

} // namespace examo
