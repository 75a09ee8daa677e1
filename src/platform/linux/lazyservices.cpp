#include "platform/linux/lazyservices.h"

#include <QImage>

namespace examo {

namespace {

// The media command service's "cannot play" and the AVI library's "no library" answers.
constexpr std::uint32_t kCannotPlay = 296;

using MakeAviFileLibrary = AviFileLibrary* (*)();
using MakePictureLoader = PictureLoader* (*)();

// Makes the module's service once; null when the module cannot be had.
template <typename Service, typename Make, typename... Arguments>
Service* made(LazyModule& module, const char* name, std::once_flag& once,
              std::unique_ptr<Service>& service, Arguments&... arguments) {
    std::call_once(once, [&] {
        if (auto make = reinterpret_cast<Make>(module.function(name)))
            service.reset(make(arguments...));
    });
    return service.get();
}

} // namespace

LazyGstServices::LazyGstServices(const PercentShortPath& shortPaths) : m_shortPaths(shortPaths) {}

LazyGstServices::~LazyGstServices() = default;

GstServices* LazyGstServices::services() {
    return made<GstServices, MakeGstServices>(m_module, kMakeGstServices, m_made, m_services,
                                              m_shortPaths);
}

void LazyGstServices::start() {
    if (GstServices* gst = services())
        gst->start();
}

std::uint32_t LazyGstServices::Commands::send(const std::string& command, std::string& reply,
                                              std::uint32_t replyCapacity) {
    if (GstServices* gst = m_owner.services())
        return gst->commands().send(command, reply, replyCapacity);
    if (replyCapacity > 0 && !reply.empty())
        reply[0] = '\0';
    return kCannotPlay;
}

bool LazyGstServices::Waves::playFile(const std::string& path, std::uint32_t flags) {
    GstServices* gst = m_owner.services();
    return gst != nullptr && gst->waves().playFile(path, flags);
}

bool LazyGstServices::Waves::playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) {
    GstServices* gst = m_owner.services();
    return gst != nullptr && gst->waves().playMemory(image, flags);
}

QImage LazyPictureLoader::load(const QString& path) {
    PictureLoader* loader = made<PictureLoader, MakePictureLoader>(
        m_module, "examo_make_picture_loader", m_made, m_loader);
    return loader != nullptr ? loader->load(path) : QImage();
}

AviFileLibrary* LazyAviFileLibrary::library() {
    return made<AviFileLibrary, MakeAviFileLibrary>(m_module, "examo_make_avi_file_library", m_made,
                                                    m_library);
}

void LazyAviFileLibrary::fileInit() {
    if (AviFileLibrary* avi = library())
        avi->fileInit();
}

void LazyAviFileLibrary::fileExit() {
    if (AviFileLibrary* avi = library())
        avi->fileExit();
}

long LazyAviFileLibrary::fileOpen(AviFileHandle& file, const std::string& path,
                                  std::uint32_t mode) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->fileOpen(file, path, mode) : avierr::kFileOpen;
}

long LazyAviFileLibrary::fileCreateStream(AviFileHandle file, AviStreamHandle& stream,
                                          const AviStreamInfo& info) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->fileCreateStream(file, stream, info) : avierr::kBadHandle;
}

long LazyAviFileLibrary::saveOptions(std::intptr_t owner, std::uint32_t flags,
                                     AviStreamHandle stream, AviCompressOptions& options) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->saveOptions(owner, flags, stream, options) : avierr::kBadHandle;
}

long LazyAviFileLibrary::saveOptionsFree(AviCompressOptions& options) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->saveOptionsFree(options) : 0;
}

long LazyAviFileLibrary::makeCompressedStream(AviStreamHandle& compressed, AviStreamHandle source,
                                              const AviCompressOptions& options) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->makeCompressedStream(compressed, source, options)
                          : avierr::kBadHandle;
}

long LazyAviFileLibrary::streamSetFormat(AviStreamHandle stream, std::int32_t position,
                                         std::span<const std::uint8_t> format) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->streamSetFormat(stream, position, format) : avierr::kBadHandle;
}

long LazyAviFileLibrary::streamWrite(AviStreamHandle stream, std::int32_t start,
                                     std::int32_t samples, std::span<const std::uint8_t> data,
                                     std::uint32_t flags) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->streamWrite(stream, start, samples, data, flags)
                          : avierr::kBadHandle;
}

long LazyAviFileLibrary::streamRelease(AviStreamHandle stream) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->streamRelease(stream) : avierr::kBadHandle;
}

long LazyAviFileLibrary::fileRelease(AviFileHandle file) {
    AviFileLibrary* avi = library();
    return avi != nullptr ? avi->fileRelease(file) : avierr::kBadHandle;
}

} // namespace examo
