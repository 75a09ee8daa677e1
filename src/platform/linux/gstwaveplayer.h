#pragma once

#include "platform/waveplayer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace examo {

class GstEnvironment;

// What a wave holds, as its decoder reads it.
struct WaveInfo {
    int channels = 0;
    int sampleRate = 0;
    std::int64_t frames = 0;
    bool adpcm = false;

    double seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
};

// The facts of a RIFF WAVE image, or nullopt when it is none or cannot be decoded.
std::optional<WaveInfo> inspectWave(std::span<const std::uint8_t> image);

// Waves are decoded to PCM here (libsndfile) and the samples fed to GStreamer, which on its
// own misreads the length of ADPCM waves and would cut them short. One wave plays at a time;
// every play call stops the wave that is playing. A sync play blocks the calling thread until
// the sound has ended, bounded by its length plus a margin so that it can never hang.
class GstWavePlayer : public WavePlayer {
public:
    explicit GstWavePlayer(const GstEnvironment& env);
    ~GstWavePlayer() override;
    GstWavePlayer(const GstWavePlayer&) = delete;
    GstWavePlayer& operator=(const GstWavePlayer&) = delete;

    bool playFile(const std::string& path, std::uint32_t flags) override;
    bool playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) override;

    // Stops the playing wave, if any.
    void stop();
    // Whether a wave is sounding now (started and not yet at its end).
    bool isPlaying() const;
    // How far the playing wave has got, in seconds; a looping wave counts on past its length.
    double positionSeconds() const;
    // The number of waves started so far.
    std::uint64_t started() const { return m_started; }

private:
    class Playback;
    bool play(std::unique_ptr<Playback> playback, std::uint32_t flags);

    const GstEnvironment& m_env;
    std::unique_ptr<Playback> m_current;
    std::uint64_t m_started = 0;
};

} // namespace examo
