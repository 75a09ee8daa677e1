#include "platform/linux/gstwaveplayer.h"

#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstsinks.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

namespace examo {

namespace {

// Time added to a sync play's length before it gives up waiting for the end of the sound.
constexpr std::chrono::seconds kSyncMargin{3};
// Frames per buffer handed to GStreamer: small enough to start at once, large enough to be cheap.
constexpr sf_count_t kChunkFrames = 2048;
constexpr int kMaxChannels = 8;
// A wave header may claim any length; the wait for its end is bounded anyway.
constexpr std::chrono::hours kLongestWait{24};

// A wave read through libsndfile, from a file or from a private copy of an image in memory.
class Decoder {
public:
    static std::unique_ptr<Decoder> fromFile(const std::string& path) {
        // Anything but a plain file could block the open (a pipe) or is no wave anyway.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return nullptr;
        auto decoder = std::unique_ptr<Decoder>(new Decoder);
        decoder->m_path = path;
        return decoder->open() ? std::move(decoder) : nullptr;
    }

    static std::unique_ptr<Decoder> fromImage(std::span<const std::uint8_t> image) {
        auto decoder = std::unique_ptr<Decoder>(new Decoder);
        decoder->m_inMemory = true;
        decoder->m_image.assign(image.begin(), image.end());
        return decoder->open() ? std::move(decoder) : nullptr;
    }

    ~Decoder() { close(); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    const SF_INFO& info() const { return m_info; }

    WaveInfo describe() const {
        const int subtype = m_info.format & SF_FORMAT_SUBMASK;
        return {.channels = m_info.channels,
                .sampleRate = m_info.samplerate,
                .frames = m_info.frames,
                .adpcm = subtype == SF_FORMAT_IMA_ADPCM || subtype == SF_FORMAT_MS_ADPCM};
    }

    // Fills out with up to frames frames; when looping, the wave starts over at its end.
    // Returns the frames written, 0 at the end of a wave that does not loop or holds nothing.
    sf_count_t read(std::int16_t* out, sf_count_t frames, bool loop) {
        sf_count_t done = 0;
        bool rewoundWithoutData = false;
        while (done < frames && m_file != nullptr) {
            const sf_count_t n =
                sf_readf_short(m_file, out + done * m_info.channels, frames - done);
            if (n > 0) {
                done += n;
                rewoundWithoutData = false;
                continue;
            }
            if (!loop || rewoundWithoutData || !rewind())
                break;
            rewoundWithoutData = true;
        }
        return done;
    }

private:
    Decoder() = default;

    bool open() {
        m_info = SF_INFO{};
        if (m_inMemory) {
            m_position = 0;
            m_file = sf_open_virtual(&m_io, SFM_READ, &m_info, this);
        } else {
            m_file = sf_open(m_path.c_str(), SFM_READ, &m_info);
        }
        if (m_file == nullptr)
            return false;
        const int type = m_info.format & SF_FORMAT_TYPEMASK;
        const bool wave = type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX;
        if (!wave || m_info.channels < 1 || m_info.channels > kMaxChannels ||
            m_info.samplerate < 1) {
            close();
            return false;
        }
        // Float waves are read scaled to the full 16-bit range.
        sf_command(m_file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
        return true;
    }

    void close() {
        if (m_file != nullptr)
            sf_close(m_file);
        m_file = nullptr;
    }

    // Back to the first frame; reopened where the encoding cannot seek.
    bool rewind() {
        if (sf_seek(m_file, 0, SEEK_SET) == 0)
            return true;
        close();
        return open();
    }

    static sf_count_t length(void* self) {
        return static_cast<sf_count_t>(static_cast<Decoder*>(self)->m_image.size());
    }

    static sf_count_t seek(sf_count_t offset, int whence, void* self) {
        auto* d = static_cast<Decoder*>(self);
        const auto size = static_cast<sf_count_t>(d->m_image.size());
        sf_count_t to = offset;
        if (whence == SEEK_CUR)
            to += d->m_position;
        else if (whence == SEEK_END)
            to += size;
        d->m_position = std::clamp<sf_count_t>(to, 0, size);
        return d->m_position;
    }

    static sf_count_t readBytes(void* out, sf_count_t count, void* self) {
        auto* d = static_cast<Decoder*>(self);
        const auto size = static_cast<sf_count_t>(d->m_image.size());
        const sf_count_t n = std::clamp<sf_count_t>(size - d->m_position, 0, count);
        if (n > 0)
            std::memcpy(out, d->m_image.data() + d->m_position, static_cast<std::size_t>(n));
        d->m_position += n;
        return n;
    }

    static sf_count_t writeBytes(const void*, sf_count_t, void*) { return 0; }

    static sf_count_t tell(void* self) { return static_cast<Decoder*>(self)->m_position; }

    SF_VIRTUAL_IO m_io{.get_filelen = &Decoder::length,
                       .seek = &Decoder::seek,
                       .read = &Decoder::readBytes,
                       .write = &Decoder::writeBytes,
                       .tell = &Decoder::tell};
    std::string m_path;
    bool m_inMemory = false;
    std::vector<std::uint8_t> m_image;
    sf_count_t m_position = 0;
    SNDFILE* m_file = nullptr;
    SF_INFO m_info{};
};

} // namespace

std::optional<WaveInfo> inspectWave(std::span<const std::uint8_t> image) {
    const auto decoder = Decoder::fromImage(image);
    if (!decoder)
        return std::nullopt;
    return decoder->describe();
}

// One wave on its own pipeline: appsrc -> audioconvert -> audioresample -> sink. The decoded
// samples are pushed from appsrc's streaming thread whenever it asks for more; a looping wave
// is simply never ended, its timestamps counting on.
class GstWavePlayer::Playback {
public:
    Playback(std::unique_ptr<Decoder> decoder, bool loop)
        : m_decoder(std::move(decoder)), m_loop(loop) {}

    ~Playback() {
        if (m_pipeline == nullptr)
            return;
        // Stopping joins the streaming threads, so nothing calls back into this object after.
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(m_pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(m_pipeline);
    }

    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    double seconds() const { return m_decoder->describe().seconds(); }

    bool start(const GstEnvironment& env) {
        if (!build(env))
            return false;
        return gst_element_set_state(m_pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }

    // Waits until the sound has ended or the bound has passed.
    void waitForEnd(std::chrono::milliseconds bound) {
        std::unique_lock lock(m_mutex);
        m_endedChanged.wait_for(lock, bound, [this] { return m_ended; });
    }

    bool ended() const {
        std::lock_guard lock(m_mutex);
        return m_ended;
    }

    double position() const {
        gint64 nanoseconds = 0;
        if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &nanoseconds))
            return 0.0;
        return double(nanoseconds) / GST_SECOND;
    }

private:
    bool build(const GstEnvironment& env) {
        m_pipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
        GstElement* source = gst_element_factory_make("appsrc", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        GstElement* sink = makeAudioSink(env);
        GstElement* elements[] = {source, convert, resample, sink};
        if (std::find(std::begin(elements), std::end(elements), nullptr) != std::end(elements)) {
            for (GstElement* e : elements) {
                if (e != nullptr)
                    gst_object_unref(gst_object_ref_sink(e));
            }
            return false;
        }
        gst_bin_add_many(GST_BIN(m_pipeline), source, convert, resample, sink, nullptr);
        if (!gst_element_link_many(source, convert, resample, sink, nullptr))
            return false;

        GstCaps* caps = pcmCaps(m_decoder->info());
        g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, nullptr);
        gst_caps_unref(caps);
        GstAppSrcCallbacks callbacks{};
        callbacks.need_data = &Playback::onNeedData;
        gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, this, nullptr);

        GstBus* bus = gst_element_get_bus(m_pipeline);
        gst_bus_set_sync_handler(bus, &Playback::onBusMessage, this, nullptr);
        gst_object_unref(bus);
        return true;
    }

    static GstCaps* pcmCaps(const SF_INFO& info) {
        const char* format = G_BYTE_ORDER == G_LITTLE_ENDIAN ? "S16LE" : "S16BE";
        GstCaps* caps = gst_caps_new_simple(
            "audio/x-raw", "format", G_TYPE_STRING, format, "layout", G_TYPE_STRING, "interleaved",
            "rate", G_TYPE_INT, info.samplerate, "channels", G_TYPE_INT, info.channels, nullptr);
        // More than two channels need a layout; the file names none we could trust.
        if (info.channels > 2)
            gst_caps_set_simple(caps, "channel-mask", GST_TYPE_BITMASK, guint64(0), nullptr);
        return caps;
    }

    // On appsrc's streaming thread.
    static void onNeedData(GstAppSrc* source, guint, gpointer self) {
        static_cast<Playback*>(self)->pushChunk(source);
    }

    void pushChunk(GstAppSrc* source) {
        const SF_INFO& info = m_decoder->info();
        const auto bytes = static_cast<gsize>(kChunkFrames * info.channels) * sizeof(std::int16_t);
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        const sf_count_t frames =
            m_decoder->read(reinterpret_cast<std::int16_t*>(map.data), kChunkFrames, m_loop);
        gst_buffer_unmap(buffer, &map);
        if (frames <= 0) {
            gst_buffer_unref(buffer);
            gst_app_src_end_of_stream(source);
            return;
        }
        gst_buffer_set_size(buffer, static_cast<gssize>(frames * info.channels) *
                                        gssize(sizeof(std::int16_t)));
        const auto rate = static_cast<guint64>(info.samplerate);
        const GstClockTime start = gst_util_uint64_scale(m_framesPushed, GST_SECOND, rate);
        m_framesPushed += static_cast<guint64>(frames);
        const GstClockTime end = gst_util_uint64_scale(m_framesPushed, GST_SECOND, rate);
        GST_BUFFER_PTS(buffer) = start;
        GST_BUFFER_DURATION(buffer) = end - start;
        gst_app_src_push_buffer(source, buffer);
    }

    // On whichever thread posts. Every message is dropped: nobody runs a main loop for the bus.
    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer self) {
        const GstMessageType type = GST_MESSAGE_TYPE(message);
        if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR)
            static_cast<Playback*>(self)->markEnded();
        return GST_BUS_DROP;
    }

    void markEnded() {
        {
            std::lock_guard lock(m_mutex);
            m_ended = true;
        }
        m_endedChanged.notify_all();
    }

    std::unique_ptr<Decoder> m_decoder;
    const bool m_loop;
    guint64 m_framesPushed = 0;
    GstElement* m_pipeline = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_endedChanged;
    bool m_ended = false;
};

GstWavePlayer::GstWavePlayer(const GstEnvironment& env) : m_env(env) {}

GstWavePlayer::~GstWavePlayer() = default;

bool GstWavePlayer::playFile(const std::string& path, std::uint32_t flags) {
    auto decoder = Decoder::fromFile(path);
    stop();
    if (!decoder)
        return false;
    return play(std::make_unique<Playback>(std::move(decoder), (flags & waveflags::kLoop) != 0),
                flags);
}

bool GstWavePlayer::playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) {
    auto decoder = Decoder::fromImage(image);
    stop();
    if (!decoder)
        return false;
    return play(std::make_unique<Playback>(std::move(decoder), (flags & waveflags::kLoop) != 0),
                flags);
}

bool GstWavePlayer::play(std::unique_ptr<Playback> playback, std::uint32_t flags) {
    m_env.start(); // GStreamer is first needed here
    if (!playback->start(m_env))
        return false;
    ++m_started;
    m_current = std::move(playback);
    // A looping wave never ends, so it always plays on after the call.
    const bool sync = (flags & (waveflags::kAsync | waveflags::kLoop)) == 0;
    if (sync) {
        const auto length = std::chrono::duration<double>(
            std::min(m_current->seconds(), std::chrono::duration<double>(kLongestWait).count()));
        m_current->waitForEnd(
            std::chrono::duration_cast<std::chrono::milliseconds>(length + kSyncMargin));
        stop();
    }
    return true;
}

void GstWavePlayer::stop() {
    m_current.reset();
}

bool GstWavePlayer::isPlaying() const {
    return m_current != nullptr && !m_current->ended();
}

double GstWavePlayer::positionSeconds() const {
    return m_current != nullptr ? m_current->position() : 0.0;
}

} // namespace examo
