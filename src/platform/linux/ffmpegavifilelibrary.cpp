#include "platform/linux/ffmpegavifilelibrary.h"

#include "platform/dibformat.h"
#include "platform/linux/ffmpegencoders.h"
#include "platform/linux/ffmpegframewriter.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <cstdlib>

namespace examo {

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
        for (const auto& c : ffmpegavi::candidates())
            if (ffmpegavi::encoderTakes(c, width, height))
                offers.push_back(AviCompressorOffer{.codec = c.codec,
                                                    .name = c.name,
                                                    .keyFrames = c.keyFrames,
                                                    .dataRate = c.dataRate});
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
    AviCompressionRequest request{.owner = owner,
                                  .flags = flags,
                                  .width = s.width,
                                  .height = s.height,
                                  .offers = compressorsFor(s.width, s.height)};
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
