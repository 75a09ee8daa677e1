// The AVI file library over FFmpeg, in a module of its own that programs load on first use.
#include "platform/linux/ffmpegavifilelibrary.h"

extern "C" __attribute__((visibility("default"))) examo::AviFileLibrary*
examo_make_avi_file_library() {
    return new examo::FfmpegAviFileLibrary();
}
