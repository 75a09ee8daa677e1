#pragma once

#include <QString>

namespace examo {

// Reads text aloud through the desktop's speech engine, for students who cannot read the
// screen well. Nothing is said unless asked.
class Speech {
public:
    virtual ~Speech() = default;
    // False when there is no speech engine to read with.
    virtual bool available() = 0;
    // Reads text aloud, in place of anything being read.
    virtual void say(const QString& text) = 0;
    // Stops reading; nothing happens when nothing is being read.
    virtual void stop() = 0;
    // True from say until the text has been read or stop is called.
    virtual bool speaking() const = 0;
};

} // namespace examo
