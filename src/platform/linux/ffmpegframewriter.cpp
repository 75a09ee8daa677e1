#include "platform/linux/ffmpegframewriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <cstring>

namespace examo::ffmpegavi {

namespace {

// Accurate rounding also keeps swscale off its quick BGR-to-YUV path, which knows only the
// limited YUV range and would wash out the colours of Motion JPEG's full range.
constexpr int kConversionFlags = SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP;

AVPixelFormat avPixels(dib::Pixels pixels) {
    switch (pixels) {
    case dib::Pixels::Pal8:
        return AV_PIX_FMT_PAL8;
    case dib::Pixels::Bgr24:
        return AV_PIX_FMT_BGR24;
    case dib::Pixels::Bgr0:
        return AV_PIX_FMT_BGR0;
    }
    return AV_PIX_FMT_NONE;
}

int bytesPerPixel(dib::Pixels pixels) {
    switch (pixels) {
    case dib::Pixels::Pal8:
        return 1;
    case dib::Pixels::Bgr24:
        return 3;
    case dib::Pixels::Bgr0:
        return 4;
    }
    return 0;
}

void packRgb555(const AVFrame* bgr, AVFrame* packed) {
    const auto five = [](int c) { return (c * 31 + 127) / 255; };
    for (int y = 0; y < bgr->height; ++y) {
        const std::uint8_t* from = bgr->data[0] + static_cast<std::ptrdiff_t>(y) * bgr->linesize[0];
        std::uint8_t* to = packed->data[0] + static_cast<std::ptrdiff_t>(y) * packed->linesize[0];
        for (int x = 0; x < bgr->width; ++x) {
            const int v =
                five(from[3 * x + 2]) << 10 | five(from[3 * x + 1]) << 5 | five(from[3 * x]);
            to[2 * x] = static_cast<std::uint8_t>(v);
            to[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        }
    }
}

} // namespace

FrameWriter::~FrameWriter() {
    sws_freeContext(m_convert);
    av_frame_free(&m_input);
    av_frame_free(&m_output);
    av_frame_free(&m_packed);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_encoder);
}

long FrameWriter::open(AVFormatContext* container, const dib::Format& source,
                       const AviStreamInfo& info, const AviCompressOptions& options) {
    const Candidate* c = candidate(options.codec);
    if (c == nullptr)
        return avierr::kNoCompressor;
    m_container = container;
    m_source = source;
    m_frameTime =
        AVRational{.num = static_cast<int>(info.scale), .den = static_cast<int>(info.rate)};
    m_packet = av_packet_alloc();
    m_input = makeFrame(avPixels(source.pixels));
    if (m_packet == nullptr || m_input == nullptr)
        return avierr::kMemory;

    m_stream = avformat_new_stream(container, nullptr);
    if (m_stream == nullptr)
        return avierr::kMemory;
    const long opened = c->pixels == AV_PIX_FMT_NONE ? openRaw() : openEncoder(*c, options);
    if (opened != 0)
        return opened;
    m_stream->time_base = m_frameTime;
    m_stream->avg_frame_rate = av_inv_q(m_frameTime);
    m_stream->r_frame_rate = m_stream->avg_frame_rate;

    AVDictionary* muxerOptions = nullptr;
    av_dict_set(&muxerOptions, "flipped_raw_rgb", "1", 0);
    const int written = avformat_write_header(container, &muxerOptions);
    av_dict_free(&muxerOptions);
    m_headerWritten = written >= 0;
    return m_headerWritten ? 0 : avierr::kFileWrite;
}

long FrameWriter::write(std::span<const std::uint8_t> bits) {
    const auto rows = dib::unpack(m_source, bits, m_scratch);
    if (!rows)
        return avierr::kBadSize;
    if (av_frame_make_writable(m_input) < 0)
        return avierr::kMemory;
    const auto rowBytes = static_cast<std::size_t>(m_source.width) * bytesPerPixel(m_source.pixels);
    for (int y = 0; y < m_source.height; ++y)
        std::memcpy(m_input->data[0] + static_cast<std::ptrdiff_t>(y) * m_input->linesize[0],
                    rows->top + static_cast<std::ptrdiff_t>(y) * rows->step, rowBytes);
    if (m_source.pixels == dib::Pixels::Pal8)
        std::memcpy(m_input->data[1], m_source.palette.data(), sizeof m_source.palette);

    AVFrame* frame = m_input;
    if (m_convert != nullptr) {
        if (av_frame_make_writable(m_output) < 0)
            return avierr::kMemory;
        sws_scale(m_convert, m_input->data, m_input->linesize, 0, m_source.height, m_output->data,
                  m_output->linesize);
        frame = m_output;
    }
    if (m_packed != nullptr) {
        if (av_frame_make_writable(m_packed) < 0)
            return avierr::kMemory;
        packRgb555(frame, m_packed);
        frame = m_packed;
    }
    const long result = m_encoder == nullptr ? writeRaw(frame) : encode(frame);
    ++m_next;
    return result;
}

AVFrame* FrameWriter::makeFrame(AVPixelFormat format) const {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr)
        return nullptr;
    frame->format = format;
    frame->width = m_source.width;
    frame->height = m_source.height;
    if (av_frame_get_buffer(frame, 0) < 0)
        av_frame_free(&frame);
    return frame;
}

long FrameWriter::makeConverter(AVPixelFormat to, bool fullRange) {
    m_output = makeFrame(to);
    m_convert =
        sws_getContext(m_source.width, m_source.height, avPixels(m_source.pixels), m_source.width,
                       m_source.height, to, kConversionFlags, nullptr, nullptr, nullptr);
    if (m_output == nullptr || m_convert == nullptr)
        return avierr::kMemory;
    if (fullRange) {
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(m_convert, coefficients, 1, coefficients, 1, 0, 1 << 16, 1 << 16);
    }
    return 0;
}

// Palette frames stay 8-bit with their palette, anything else becomes 24-bit: the programs'
// player reads no uncompressed 16-bit frames, and no 32-bit frames of other layouts.
long FrameWriter::openRaw() {
    AVPixelFormat stored = AV_PIX_FMT_BGR24;
    m_rawBits = 24;
    if (m_source.pixels == dib::Pixels::Pal8) {
        stored = AV_PIX_FMT_PAL8;
        m_rawBits = 8;
    }
    if (stored != avPixels(m_source.pixels)) {
        if (const long made = makeConverter(stored, false); made != 0)
            return made;
    }
    AVCodecParameters* par = m_stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_RAWVIDEO;
    par->codec_tag = 0;
    par->format = stored;
    par->bits_per_coded_sample = m_rawBits;
    par->width = m_source.width;
    par->height = m_source.height;
    return 0;
}

long FrameWriter::openEncoder(const Candidate& c, const AviCompressOptions& options) {
    const AVCodec* codec = avcodec_find_encoder_by_name(c.codec);
    if (codec == nullptr)
        return avierr::kNoCompressor;
    m_encoder = avcodec_alloc_context3(codec);
    if (m_encoder == nullptr)
        return avierr::kMemory;
    configure(m_encoder, c, m_source.width, m_source.height, m_frameTime, options);
    // Slices on every core; frame threads would hold several frames back at a time.
    m_encoder->thread_count = 0;
    m_encoder->thread_type = FF_THREAD_SLICE;
    if (avcodec_open2(m_encoder, codec, nullptr) < 0)
        return avierr::kCompressor;
    if (avcodec_parameters_from_context(m_stream->codecpar, m_encoder) < 0)
        return avierr::kMemory;
    if (c.pixels != AV_PIX_FMT_RGB555LE)
        return makeConverter(c.pixels, c.fullRange);
    // swscale writes 15-bit pixels only with a warning each time; they are packed here
    // from 24-bit ones instead.
    m_packed = makeFrame(AV_PIX_FMT_RGB555LE);
    if (m_packed == nullptr)
        return avierr::kMemory;
    return m_source.pixels == dib::Pixels::Bgr24 ? 0 : makeConverter(AV_PIX_FMT_BGR24, false);
}

// DIB rows as the AVI stores them: bottom row first, each padded to four bytes.
long FrameWriter::writeRaw(const AVFrame* frame) {
    const auto rowBytes = static_cast<std::size_t>(m_source.width) * (m_rawBits / 8);
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    if (av_new_packet(m_packet, static_cast<int>(stride * m_source.height)) < 0)
        return avierr::kMemory;
    std::memset(m_packet->data, 0, static_cast<std::size_t>(m_packet->size));
    for (int y = 0; y < m_source.height; ++y)
        std::memcpy(m_packet->data + stride * static_cast<std::size_t>(m_source.height - 1 - y),
                    frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0], rowBytes);
    if (m_rawBits == 8) {
        std::uint8_t* palette =
            av_packet_new_side_data(m_packet, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
        if (palette == nullptr)
            return avierr::kMemory;
        std::memcpy(palette, frame->data[1], AVPALETTE_SIZE);
    }
    m_packet->pts = m_packet->dts = m_next;
    m_packet->duration = 1;
    m_packet->flags |= AV_PKT_FLAG_KEY;
    return send(m_frameTime);
}

long FrameWriter::encode(AVFrame* frame) {
    if (frame != nullptr) {
        frame->pts = m_next;
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        frame->quality = m_encoder->global_quality;
    }
    if (avcodec_send_frame(m_encoder, frame) < 0)
        return avierr::kCompressor;
    for (;;) {
        const int received = avcodec_receive_packet(m_encoder, m_packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return 0;
        if (received < 0)
            return avierr::kCompressor;
        if (const long sent = send(m_encoder->time_base); sent != 0)
            return sent;
    }
}

long FrameWriter::send(AVRational packetTime) {
    m_packet->stream_index = m_stream->index;
    av_packet_rescale_ts(m_packet, packetTime, m_stream->time_base);
    const int written = av_write_frame(m_container, m_packet);
    av_packet_unref(m_packet);
    return written < 0 ? avierr::kFileWrite : 0;
}

} // namespace examo::ffmpegavi
