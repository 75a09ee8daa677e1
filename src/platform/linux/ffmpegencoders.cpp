#include "platform/linux/ffmpegencoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>

namespace examo::ffmpegavi {

namespace {

constexpr Candidate kCandidates[] = {
    {.codec = "rawvideo",
     .name = "Full Frames (Uncompressed)",
     .pixels = AV_PIX_FMT_NONE,
     .keyFrames = false,
     .dataRate = false,
     .multipleOf4 = false,
     .fullRange = false,
     .quality = 0},
    {.codec = "msvideo1",
     .name = "Microsoft Video 1",
     .pixels = AV_PIX_FMT_RGB555LE,
     .keyFrames = true,
     .dataRate = false,
     .multipleOf4 = true,
     .fullRange = false,
     .quality = 0},
    {.codec = "cinepak",
     .name = "Cinepak",
     .pixels = AV_PIX_FMT_RGB24,
     .keyFrames = true,
     .dataRate = false,
     .multipleOf4 = true,
     .fullRange = false,
     .quality = 0},
    {.codec = "mjpeg",
     .name = "Motion JPEG",
     .pixels = AV_PIX_FMT_YUV420P,
     .keyFrames = false,
     .dataRate = true,
     .multipleOf4 = false,
     .fullRange = true,
     .quality = 3},
    {.codec = "mpeg4",
     .name = "MPEG-4 Part 2",
     .pixels = AV_PIX_FMT_YUV420P,
     .keyFrames = true,
     .dataRate = true,
     .multipleOf4 = false,
     .fullRange = false,
     .quality = 3},
    {.codec = "ffv1",
     .name = "FFV1 (lossless)",
     .pixels = AV_PIX_FMT_BGR0,
     .keyFrames = true,
     .dataRate = false,
     .multipleOf4 = false,
     .fullRange = false,
     .quality = 0},
};

} // namespace

std::span<const Candidate> candidates() {
    return kCandidates;
}

const Candidate* candidate(const std::string& codec) {
    for (const auto& c : kCandidates)
        if (codec == c.codec)
            return &c;
    return nullptr;
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
    configure(ctx, c, width, height, AVRational{.num = 1, .den = 6}, AviCompressOptions{});
    const bool opened = avcodec_open2(ctx, codec, nullptr) >= 0;
    avcodec_free_context(&ctx);
    return opened;
}

} // namespace examo::ffmpegavi
