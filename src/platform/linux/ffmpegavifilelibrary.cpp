#include "platform/linux/ffmpegavifilelibrary.h"

#include "platform/linux/ffmpegdib.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace examo {

namespace ffmpegavi {

// An encoder that this library may offer, in the order the dialog lists them.
struct Candidate {
    const char* codec;
    const char* name;
    AVPixelFormat pixels; // what the encoder is given; NONE for uncompressed frames
    bool keyFrames;
    bool dataRate;
    bool multipleOf4; // the encoder takes only sizes that are multiples of 4
    bool fullRange;   // JPEG's YUV uses the whole 0..255 range
    int quality;      // fixed quantiser without a data rate; 0 for the encoder's own choice
};

constexpr const char* kRawCodec = "rawvideo";

// Accurate rounding also keeps swscale off its quick BGR-to-YUV path, which knows only the
// limited YUV range and would wash out the colours of Motion JPEG's full range.
constexpr int kConversionFlags = SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP;

constexpr Candidate kCandidates[] = {
    {kRawCodec, "Full Frames (Uncompressed)", AV_PIX_FMT_NONE, false, false, false, false, 0},
    {"msvideo1", "Microsoft Video 1", AV_PIX_FMT_RGB555LE, true, false, true, false, 0},
    {"cinepak", "Cinepak", AV_PIX_FMT_RGB24, true, false, true, false, 0},
    {"mjpeg", "Motion JPEG", AV_PIX_FMT_YUV420P, false, true, false, true, 3},
    {"mpeg4", "MPEG-4 Part 2", AV_PIX_FMT_YUV420P, true, true, false, false, 3},
    {"ffv1", "FFV1 (lossless)", AV_PIX_FMT_BGR0, true, false, false, false, 0},
};

const Candidate* candidate(const std::string& codec) {
    for (const auto& c : kCandidates)
        if (codec == c.codec)
            return &c;
    return nullptr;
}

AVPixelFormat avPixels(dib::Pixels pixels) {
    switch (pixels) {
    case dib::Pixels::Pal8:
        return AV_PIX_FMT_PAL8;
    case dib::Pixels::Rgb555:
        return AV_PIX_FMT_RGB555LE;
    case dib::Pixels::Rgb565:
        return AV_PIX_FMT_RGB565LE;
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
    case dib::Pixels::Rgb555:
    case dib::Pixels::Rgb565:
        return 2;
    case dib::Pixels::Bgr24:
        return 3;
    case dib::Pixels::Bgr0:
        return 4;
    }
    return 0;
}

void configure(AVCodecContext* ctx, const Candidate& c, int width, int height, AVRational frameTime,
               const AviCompressOptions& options) {
    ctx->width = width;
    ctx->height = height;
    ctx->pix_fmt = c.pixels;
    ctx->time_base = frameTime;
    ctx->framerate = av_inv_q(frameTime);
    if (c.fullRange)
        ctx->color_range = AVCOL_RANGE_JPEG;
    if ((options.flags & avicompress::kKeyFrames) != 0 && options.keyFrameEvery > 0) {
        // Some encoders count from one key frame to the next by one of these, some by the other.
        ctx->gop_size = static_cast<int>(std::min<std::uint32_t>(options.keyFrameEvery, 100000));
        ctx->keyint_min = ctx->gop_size;
    }
    if ((options.flags & avicompress::kDataRate) != 0 && options.bytesPerSecond > 0) {
        ctx->bit_rate = static_cast<std::int64_t>(options.bytesPerSecond) * 8;
    } else if (c.quality > 0) {
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = FF_QP2LAMBDA * c.quality;
    }
}

bool encoderTakes(const Candidate& c, int width, int height) {
    if (c.pixels == AV_PIX_FMT_NONE)
        return true;
    if (c.multipleOf4 && (width % 4 != 0 || height % 4 != 0))
        return false;
    const AVCodec* codec = avcodec_find_encoder_by_name(c.codec);
    if (codec == nullptr)
        return false;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (ctx == nullptr)
        return false;
    configure(ctx, c, width, height, AVRational{1, 6}, AviCompressOptions{});
    const bool opened = avcodec_open2(ctx, codec, nullptr) >= 0;
    avcodec_free_context(&ctx);
    return opened;
}

// Turns the frames of one stream into packets of the container, one frame at a time.
class FrameWriter {
public:
    FrameWriter() = default;
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    ~FrameWriter() {
        sws_freeContext(m_convert);
        av_frame_free(&m_input);
        av_frame_free(&m_output);
        av_frame_free(&m_packed);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_encoder);
    }

    long open(AVFormatContext* container, const dib::Format& source, const AviStreamInfo& info,
              const AviCompressOptions& options) {
        const Candidate* c = candidate(options.codec);
        if (c == nullptr)
            return avierr::kNoCompressor;
        m_container = container;
        m_source = source;
        m_frameTime = AVRational{static_cast<int>(info.scale), static_cast<int>(info.rate)};
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

    // The container has its header, so it needs its trailer too.
    bool headerWritten() const { return m_headerWritten; }

    std::int64_t nextFrame() const { return m_next; }

    long write(std::span<const std::uint8_t> bits) {
        const auto rows = dib::unpack(m_source, bits, m_scratch);
        if (!rows)
            return avierr::kBadSize;
        if (av_frame_make_writable(m_input) < 0)
            return avierr::kMemory;
        const auto rowBytes =
            static_cast<std::size_t>(m_source.width) * bytesPerPixel(m_source.pixels);
        for (int y = 0; y < m_source.height; ++y)
            std::memcpy(m_input->data[0] + static_cast<std::ptrdiff_t>(y) * m_input->linesize[0],
                        rows->top + static_cast<std::ptrdiff_t>(y) * rows->step, rowBytes);
        if (m_source.pixels == dib::Pixels::Pal8)
            std::memcpy(m_input->data[1], m_source.palette.data(), sizeof m_source.palette);

        AVFrame* frame = m_input;
        if (m_convert != nullptr) {
            if (av_frame_make_writable(m_output) < 0)
                return avierr::kMemory;
            sws_scale(m_convert, m_input->data, m_input->linesize, 0, m_source.height,
                      m_output->data, m_output->linesize);
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

    // Writes what the encoder still holds.
    long finish() { return m_encoder == nullptr ? 0 : encode(nullptr); }

private:
    AVFrame* makeFrame(AVPixelFormat format) const {
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

    long makeConverter(AVPixelFormat to, bool fullRange) {
        m_output = makeFrame(to);
        m_convert = sws_getContext(m_source.width, m_source.height, avPixels(m_source.pixels),
                                   m_source.width, m_source.height, to, kConversionFlags, nullptr,
                                   nullptr, nullptr);
        if (m_output == nullptr || m_convert == nullptr)
            return avierr::kMemory;
        if (fullRange) {
            const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
            sws_setColorspaceDetails(m_convert, coefficients, 1, coefficients, 1, 0, 1 << 16,
                                     1 << 16);
        }
        return 0;
    }

    // Palette frames stay 8-bit with their palette, 15- and 24-bit ones stay as they are,
    // anything else becomes 24-bit, the depths every player reads.
    long openRaw() {
        AVPixelFormat stored = AV_PIX_FMT_BGR24;
        m_rawBits = 24;
        if (m_source.pixels == dib::Pixels::Pal8) {
            stored = AV_PIX_FMT_PAL8;
            m_rawBits = 8;
        } else if (m_source.pixels == dib::Pixels::Rgb555) {
            stored = AV_PIX_FMT_RGB555LE;
            m_rawBits = 16;
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

    long openEncoder(const Candidate& c, const AviCompressOptions& options) {
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

    static void packRgb555(const AVFrame* bgr, AVFrame* packed) {
        const auto five = [](int c) { return (c * 31 + 127) / 255; };
        for (int y = 0; y < bgr->height; ++y) {
            const std::uint8_t* from =
                bgr->data[0] + static_cast<std::ptrdiff_t>(y) * bgr->linesize[0];
            std::uint8_t* to =
                packed->data[0] + static_cast<std::ptrdiff_t>(y) * packed->linesize[0];
            for (int x = 0; x < bgr->width; ++x) {
                const int v =
                    five(from[3 * x + 2]) << 10 | five(from[3 * x + 1]) << 5 | five(from[3 * x]);
                to[2 * x] = static_cast<std::uint8_t>(v);
                to[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        }
    }

    // DIB rows as the AVI stores them: bottom row first, each padded to four bytes.
    long writeRaw(const AVFrame* frame) {
        const auto rowBytes = static_cast<std::size_t>(m_source.width) * (m_rawBits / 8);
        const std::size_t stride = (rowBytes + 3) / 4 * 4;
        if (av_new_packet(m_packet, static_cast<int>(stride * m_source.height)) < 0)
            return avierr::kMemory;
        std::memset(m_packet->data, 0, static_cast<std::size_t>(m_packet->size));
        for (int y = 0; y < m_source.height; ++y)
            std::memcpy(m_packet->data + stride * static_cast<std::size_t>(m_source.height - 1 - y),
                        frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0],
                        rowBytes);
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

    long encode(AVFrame* frame) {
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

    long send(AVRational packetTime) {
        m_packet->stream_index = m_stream->index;
        av_packet_rescale_ts(m_packet, packetTime, m_stream->time_base);
        const int written = av_write_frame(m_container, m_packet);
        av_packet_unref(m_packet);
        return written < 0 ? avierr::kFileWrite : 0;
    }

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
    AVRational m_frameTime{1, 1};
    int m_rawBits = 0;
    std::int64_t m_next = 0;
    bool m_headerWritten = false;
};

} // namespace ffmpegavi

struct FfmpegAviFileLibrary::File {
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() {
        if (container != nullptr) {
            avio_closep(&container->pb);
            avformat_free_context(container);
        }
    }
    AVFormatContext* container = nullptr;
    bool hasVideo = false;      // its one stream has been given a format
    bool headerWritten = false; // so it is finished with a trailer
    long failure = 0;           // the first failure while writing, reported again on release
};

struct FfmpegAviFileLibrary::Stream {
    AviFileHandle file = 0;
    AviStreamInfo info;
    int width = 0;
    int height = 0;
    bool compressed = false;
    AviCompressOptions options;
    std::unique_ptr<ffmpegavi::FrameWriter> writer;
};

FfmpegAviFileLibrary::FfmpegAviFileLibrary(AviCompressionChooser chooser)
    : m_chooser(chooser ? std::move(chooser) : AviCompressionChooser(chooseCompressionWithDialog)) {
}

FfmpegAviFileLibrary::~FfmpegAviFileLibrary() {
    while (!m_files.empty())
        fileRelease(m_files.begin()->first);
}

const std::vector<AviCompressorOffer>& FfmpegAviFileLibrary::compressorsFor(int width, int height) {
    const auto key = std::make_pair(width, height);
    if (const auto known = m_offers.find(key); known != m_offers.end())
        return known->second;
    std::vector<AviCompressorOffer> offers;
    if (width >= 1 && height >= 1 && width <= dib::kMaxEdge && height <= dib::kMaxEdge) {
        for (const auto& c : ffmpegavi::kCandidates)
            if (ffmpegavi::encoderTakes(c, width, height))
                offers.push_back({c.codec, c.name, c.keyFrames, c.dataRate});
    }
    return m_offers.emplace(key, std::move(offers)).first->second;
}

bool FfmpegAviFileLibrary::offered(const Stream& stream, const std::string& codec) {
    const auto& offers = compressorsFor(stream.width, stream.height);
    return std::any_of(offers.begin(), offers.end(),
                       [&](const AviCompressorOffer& o) { return o.codec == codec; });
}

void FfmpegAviFileLibrary::fileInit() {}

void FfmpegAviFileLibrary::fileExit() {}

long FfmpegAviFileLibrary::fileOpen(AviFileHandle& file, const std::string& path,
                                    std::uint32_t mode) {
    file = 0;
    if ((mode & avimode::kWrite) == 0 || (mode & avimode::kCreate) == 0)
        return avierr::kBadFlags;
    if (path.empty())
        return avierr::kBadParam;
    auto opened = std::make_unique<File>();
    if (avformat_alloc_output_context2(&opened->container, nullptr, "avi", nullptr) < 0)
        return avierr::kMemory;
    // Only ever a local file, whatever the name looks like ("http:", "pipe:").
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int result = avio_open2(&opened->container->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE,
                                  nullptr, &options);
    av_dict_free(&options);
    if (result < 0)
        return avierr::kFileOpen;
    file = ++m_lastHandle;
    m_files.emplace(file, std::move(opened));
    return 0;
}

long FfmpegAviFileLibrary::fileCreateStream(AviFileHandle file, AviStreamHandle& stream,
                                            const AviStreamInfo& info) {
    stream = 0;
    if (m_files.count(file) == 0)
        return avierr::kBadHandle;
    if (info.fccType != fourCC("vids"))
        return avierr::kUnsupported;
    if (info.scale < 1 || info.rate < 1 || info.scale > 1000000 || info.rate > 1000000)
        return avierr::kBadParam;
    auto created = std::make_unique<Stream>();
    created->file = file;
    created->info = info;
    // A top-down frame has its bottom above its top.
    created->width = info.frame.right - info.frame.left;
    created->height = std::abs(info.frame.bottom - info.frame.top);
    if (created->width < 1 || created->height < 1 || created->width > dib::kMaxEdge ||
        created->height > dib::kMaxEdge)
        return avierr::kBadSize;
    stream = ++m_lastHandle;
    m_streams.emplace(stream, std::move(created));
    return 0;
}

long FfmpegAviFileLibrary::saveOptions(std::intptr_t owner, std::uint32_t flags,
                                       AviStreamHandle stream, AviCompressOptions& options) {
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return 0;
    const Stream& s = *found->second;
    AviCompressionRequest request{owner, flags, s.width, s.height,
                                  compressorsFor(s.width, s.height)};
    if (!m_chooser(request, options))
        return 0;
    return offered(s, options.codec) ? 1 : 0;
}

long FfmpegAviFileLibrary::saveOptionsFree(AviCompressOptions& options) {
    options = AviCompressOptions{};
    return 0;
}

long FfmpegAviFileLibrary::makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle source,
                                                const AviCompressOptions& options) {
    compressed = 0;
    const auto found = m_streams.find(source);
    if (found == m_streams.end() || found->second->compressed)
        return avierr::kBadHandle;
    const Stream& from = *found->second;
    if (m_files.count(from.file) == 0)
        return avierr::kBadHandle;
    if (!offered(from, options.codec))
        return avierr::kNoCompressor;
    auto made = std::make_unique<Stream>();
    made->file = from.file;
    made->info = from.info;
    made->width = from.width;
    made->height = from.height;
    made->compressed = true;
    made->options = options;
    compressed = ++m_lastHandle;
    m_streams.emplace(compressed, std::move(made));
    return 0;
}

long FfmpegAviFileLibrary::streamSetFormat(AviStreamHandle stream, std::int32_t position,
                                           std::span<const std::uint8_t> format) {
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return avierr::kBadHandle;
    Stream& s = *found->second;
    const auto file = m_files.find(s.file);
    if (file == m_files.end())
        return avierr::kBadHandle;
    // Frames are only ever written into a compressed stream, in one format from the start.
    if (!s.compressed || position != 0 || s.writer || file->second->hasVideo)
        return avierr::kUnsupported;
    const auto described = dib::describe(format);
    if (!described || described->width != s.width || described->height != s.height)
        return avierr::kBadFormat;
    auto writer = std::make_unique<ffmpegavi::FrameWriter>();
    File& f = *file->second;
    f.hasVideo = true;
    const long opened = writer->open(f.container, *described, s.info, s.options);
    f.headerWritten = writer->headerWritten();
    if (opened != 0) {
        f.failure = opened;
        return opened;
    }
    s.writer = std::move(writer);
    return 0;
}

long FfmpegAviFileLibrary::streamWrite(AviStreamHandle stream, std::int32_t start,
                                       std::int32_t samples, std::span<const std::uint8_t> data,
                                       std::uint32_t) {
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return avierr::kBadHandle;
    Stream& s = *found->second;
    if (!s.writer)
        return avierr::kUnsupported;
    // One frame after the other: the container has no way to leave gaps.
    if (samples != 1 || start != s.writer->nextFrame())
        return avierr::kBadParam;
    const long written = s.writer->write(data);
    if (written != 0)
        m_files.at(s.file)->failure = written;
    return written;
}

long FfmpegAviFileLibrary::finishStream(Stream& stream) {
    if (!stream.writer)
        return 0;
    const long finished = stream.writer->finish();
    stream.writer.reset();
    if (finished != 0)
        if (const auto file = m_files.find(stream.file); file != m_files.end())
            file->second->failure = finished;
    return finished;
}

long FfmpegAviFileLibrary::streamRelease(AviStreamHandle stream) {
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return avierr::kBadHandle;
    const long finished = finishStream(*found->second);
    m_streams.erase(found);
    return finished;
}

long FfmpegAviFileLibrary::fileRelease(AviFileHandle file) {
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return avierr::kBadHandle;
    for (auto s = m_streams.begin(); s != m_streams.end();) {
        if (s->second->file == file) {
            finishStream(*s->second);
            s = m_streams.erase(s);
        } else {
            ++s;
        }
    }
    File& f = *found->second;
    long result = f.failure;
    if (f.headerWritten && av_write_trailer(f.container) < 0 && result == 0)
        result = avierr::kFileWrite;
    if (avio_closep(&f.container->pb) < 0 && result == 0)
        result = avierr::kFileWrite;
    m_files.erase(found);
    return result;
}

} // namespace examo
