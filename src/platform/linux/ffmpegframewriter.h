#pragma once

#include "platform/avifilelibrary.h"
#include "platform/dibformat.h"
#include "platform/linux/ffmpegencoders.h"

#include <cstdint>
#include <span>
#include <vector>

struct AVFormatContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace examo::ffmpegavi {

// Turns the frames of one stream into packets of the container, one frame at a time.
class FrameWriter {
public:
    FrameWriter() = default;
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;
    ~FrameWriter();

    // Adds the stream to the container and writes the container's header; 0 or an avierr.
    long open(AVFormatContext* container, const dib::Format& source, const AviStreamInfo& info,
              const AviCompressOptions& options);

    // The container has its header, so it needs its trailer too.
    bool headerWritten() const { return m_headerWritten; }

    std::int64_t nextFrame() const { return m_next; }

    // One frame's bits in the format given to open; 0 or an avierr.
    long write(std::span<const std::uint8_t> bits);

    // Writes what the encoder still holds.
    long finish() { return m_encoder == nullptr ? 0 : encode(nullptr); }

private:
    AVFrame* makeFrame(AVPixelFormat format) const;
    long makeConverter(AVPixelFormat to, bool fullRange);
    long openRaw();
    long openEncoder(const Candidate& c, const AviCompressOptions& options);
    long writeRaw(const AVFrame* frame);
    long encode(AVFrame* frame);
    long send(AVRational packetTime);

    AVFormatContext* m_container = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_encoder = nullptr; // none for uncompressed frames
    SwsContext* m_convert = nullptr;     // none when the frames go as they come
    AVFrame* m_input = nullptr;
    AVFrame* m_output = nullptr;
    AVFrame* m_packed = nullptr; // 15-bit pixels for the encoder that takes only those
    AVPacket* m_packet = nullptr;
    dib::Format m_source;
    std::vector<std::uint8_t> m_scratch;
    AVRational m_frameTime{.num = 1, .den = 1};
    int m_rawBits = 0;
    std::int64_t m_next = 0;
    bool m_headerWritten = false;
};

} // namespace examo::ffmpegavi
