#pragma once

#include "platform/avifilelibrary.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace examo {

// One encoder that the compression dialog lists.
struct AviCompressorOffer {
    std::string codec;      // FFmpeg's encoder name; "rawvideo" for full frames uncompressed
    std::string name;       // as the list shows it
    bool keyFrames = false; // a key-frame interval means something to it
    bool dataRate = false;  // a data rate means something to it
};

// What the compression dialog is asked with.
struct AviCompressionRequest {
    std::intptr_t owner = 0; // native window id of the owner, 0 for none
    std::uint32_t flags = 0; // avisaveflags: which options the dialog offers
    int width = 0;
    int height = 0;
    std::vector<AviCompressorOffer> offers;
};

// Lets the user choose; true when confirmed, with options filled in. Options come in holding
// the previous choice (or nothing), which the dialog shows first.
using AviCompressionChooser =
    std::function<bool(const AviCompressionRequest& request, AviCompressOptions& options)>;

// The compression dialog on Qt Widgets: compressor, key frames every n frames, data rate in
// KB a second. Needs a running QApplication; without one nothing is chosen.
bool chooseCompressionWithDialog(const AviCompressionRequest& request, AviCompressOptions& options);

} // namespace examo
