#pragma once

#include "platform/avifilelibrary.h"
#include "platform/linux/gstservices.h"
#include "platform/linux/lazymodule.h"
#include "platform/pictureloader.h"

#include <memory>
#include <mutex>

namespace examo {

// The services of the heavy modules as the programs hold them: each loads its module and makes
// the real service the first time it is used. A missing module (a broken installation) makes
// every use fail as the service's own failures do: media that cannot be played, pictures that
// cannot be read, AVI files that cannot be written.

class LazyGstServices {
public:
    explicit LazyGstServices(const PercentShortPath& shortPaths);
    ~LazyGstServices();
    LazyGstServices(const LazyGstServices&) = delete;
    LazyGstServices& operator=(const LazyGstServices&) = delete;

    MediaCommandService& commands() { return m_commands; }
    WavePlayer& waves() { return m_waves; }
    // Loads the module and sets GStreamer up now (from any thread).
    void start();

private:
    GstServices* services();

    class Commands : public MediaCommandService {
    public:
        explicit Commands(LazyGstServices& owner) : m_owner(owner) {}
        std::uint32_t send(const std::string& command, std::string& reply,
                           std::uint32_t replyCapacity) override;

    private:
        LazyGstServices& m_owner;
    };
    class Waves : public WavePlayer {
    public:
        explicit Waves(LazyGstServices& owner) : m_owner(owner) {}
        bool playFile(const std::string& path, std::uint32_t flags) override;
        bool playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) override;

    private:
        LazyGstServices& m_owner;
    };

    const PercentShortPath& m_shortPaths;
    LazyModule m_module{"libexamo_gstreamer.so"};
    std::once_flag m_made;
    std::unique_ptr<GstServices> m_services;
    Commands m_commands{*this};
    Waves m_waves{*this};
};

class LazyPictureLoader : public PictureLoader {
public:
    QImage load(const QString& path) override;

private:
    LazyModule m_module{"libexamo_magick.so"};
    std::once_flag m_made;
    std::unique_ptr<PictureLoader> m_loader;
};

class LazyAviFileLibrary : public AviFileLibrary {
public:
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

private:
    AviFileLibrary* library();

    LazyModule m_module{"libexamo_ffmpeg.so"};
    std::once_flag m_made;
    std::unique_ptr<AviFileLibrary> m_library;
};

} // namespace examo
