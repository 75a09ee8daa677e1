#pragma once

namespace examo {

// GStreamer for one program: initialised once by the program object and shared by the media
// command service and the wave player. Decides once whether there is a sound device and a
// display; without them media plays on silent sinks that keep real time, so timing stays
// true and nothing is reported to the user.
class GstEnvironment {
public:
    GstEnvironment();
    GstEnvironment(const GstEnvironment&) = delete;
    GstEnvironment& operator=(const GstEnvironment&) = delete;

    bool hasSoundDevice() const { return m_sound; }
    bool hasX11Display() const { return m_x11; }

private:
    bool m_sound = false;
    bool m_x11 = false;
};

} // namespace examo
