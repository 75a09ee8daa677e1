#pragma once

#include "platform/avifilelibrary.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

#include <span>
#include <string>

struct AVCodecContext;

namespace examo::ffmpegavi {

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

// Every encoder the library knows, whether or not this FFmpeg has it.
std::span<const Candidate> candidates();

// The candidate by its encoder name, or null.
const Candidate* candidate(const std::string& codec);

// Sets up an encoder for frames of this size and rate with the user's options.
void configure(AVCodecContext* ctx, const Candidate& c, int width, int height, AVRational frameTime,
               const AviCompressOptions& options);

// This FFmpeg has the encoder and it opens for frames of this size.
bool encoderTakes(const Candidate& c, int width, int height);

} // namespace examo::ffmpegavi
