#pragma once

#include <mutex>

namespace examo {

// GStreamer for one program, shared by the media command service and the wave player.
// Making it costs nothing: GStreamer is initialised and the sound device probed by start(),
// which whatever first needs GStreamer calls, so a program that plays nothing never loads
// it. Without a sound device sound plays on a silent sink that keeps real time, so timing
// stays true and nothing is reported to the user. (Pictures always come into Qt.)
class GstEnvironment {
public:
    GstEnvironment() = default;
    GstEnvironment(const GstEnvironment&) = delete;
    GstEnvironment& operator=(const GstEnvironment&) = delete;

    // Initialises GStreamer and decides whether there is a sound device, the first time;
    // any later call, from any thread, returns once that is done.
    void start() const;

    bool hasSoundDevice() const {
        start();
        return m_sound;
    }

private:
    mutable std::once_flag m_started;
    mutable bool m_sound = false; // written once, under m_started
};

} // namespace examo
