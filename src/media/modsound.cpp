#include "modsound.h"

#include "storage/textrules.h"

#include <cmath>
#include <exception>
#include <sstream>

namespace examo::modSound {

namespace {

// The open commands of the movie and tune devices, shared by playing and by checking a file.
constexpr const char* kOpenAvi = "open AVIvideo!";
constexpr const char* kOpenMpeg = "open MPEGvideo!";
constexpr const char* kOpenMidi = "open sequencer!";
constexpr const char* kOpenMp3 = "open MPEGvideo!";

std::string openMovieCommand(Media& media, const char* prefix, const std::string& path) {
    return prefix + GetShortPath(media, path) + " alias movie";
}

std::string openTuneCommand(Media& media, const char* prefix, const std::string& path) {
    return prefix + GetShortPath(media, path) + " alias song ";
}

std::uint32_t send(Media& media, const std::string& command, std::string& reply) {
    reply.assign(kReplyCapacity, ' ');
    return media.commands.send(command, reply, kReplyCapacity);
}

std::uint32_t send(Media& media, const std::string& command) {
    std::string reply;
    return send(media, command, reply);
}

std::string replyText(const std::string& reply) {
    return reply.substr(0, reply.find('\0'));
}

bool canStretch(Media& media) {
    std::string reply;
    send(media, "capability movie can stretch", reply);
    return text::ToLowerAscii(replyText(reply)).find("true") != std::string::npos;
}

void failMedia(Media& media, const char* message) {
    send(media, "close all");
    media.dialogs.message(message, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

// Opens the movie in the box; false (after "close all" and the message) when it cannot play.
bool openMovie(Media& media, const std::string& openCommand, const DisplayBox& box,
               const char* message) {
    send(media, openCommand);
    if (send(media, "window movie handle " + text::Dec(box.hWnd())) != 0) {
        failMedia(media, message);
        return false;
    }
    return true;
}

std::string fillCommand(long long boxW, long long boxH) {
    return "put movie destination at 0 0 " + N(boxW) + " " + N(boxH);
}

void placeAviMovie(Media& media, long long boxW, long long boxH) {
    if (!canStretch(media))
        return;
    std::string reply;
    send(media, "where movie source", reply);
    std::istringstream words(replyText(reply));
    std::string left, top, width, height;
    words >> left >> top >> width >> height;
    const double w = text::Val(width);
    const double h = text::Val(height);
    if (w > boxW && h > boxH) {
        send(media, fillCommand(boxW, boxH));
        return;
    }
    const auto x = static_cast<long long>(text::RoundHalfEven((boxW - w) / 2));
    const auto y = static_cast<long long>(text::RoundHalfEven((boxH - h) / 2));
    send(media, "put movie destination at " + N(x) + " " + N(y) + " " +
                    N(static_cast<long long>(w)) + " " + N(static_cast<long long>(h)));
}

long long whole(double v) {
    return static_cast<long long>(std::trunc(v));
}

// Opens the movie in the box, places it when asked to fit, and starts it.
void playMovie(Media& media, const char* openPrefix, const std::string& path, const DisplayBox& box,
               bool fit, const char* message, void (*place)(Media&, long long, long long)) {
    try {
        const long long boxW = whole(box.ScaleWidth());
        const long long boxH = whole(box.ScaleHeight());
        if (!openMovie(media, openMovieCommand(media, openPrefix, path), box, message))
            return;
        if (fit)
            place(media, boxW, boxH);
        send(media, "play movie");
        media.events.processEvents();
    } catch (const std::exception&) {
        failMedia(media, message);
    }
}

// Tunes play on after the call. A tune that cannot be opened says so, as a movie does, rather
// than leave the student waiting for music that never comes.
void playTune(Media& media, const char* openPrefix, const std::string& path, const char* message) {
    try {
        if (send(media, openTuneCommand(media, openPrefix, path)) != 0) {
            failMedia(media, message);
            return;
        }
        send(media, "play song");
    } catch (const std::exception&) {
        failMedia(media, message);
    }
}

} // namespace

std::uint32_t WaveFlags(const std::string& mode) {
    if (text::EqualsNoCase(mode, "sync"))
        return waveflags::kSync;
    if (text::EqualsNoCase(mode, "async"))
        return waveflags::kAsync;
    if (text::EqualsNoCase(mode, "loop"))
        return waveflags::kAsync | waveflags::kLoop;
    return waveflags::kAsync;
}

std::string N(long long v) {
    return text::Str(v);
}

void PlayResourceWave(Media& media, std::int16_t number, const std::string& mode) {
    const std::uint32_t flags = WaveFlags(mode) | waveflags::kMemory;
    auto bytes = media.resources.load("CUSTOM", number);
    if (!bytes)
        return;
    // Replacing the held wave is safe: the player stops the old one when the new one starts,
    // and the old bytes are released only after that.
    std::vector<std::uint8_t> previous = std::move(media.playingResource);
    media.playingResource = std::move(*bytes);
    media.waves.playMemory(media.playingResource, flags);
}

void PlayWaveFile(Media& media, const std::string& path, const std::string& mode) {
    media.waves.playFile(path, WaveFlags(mode));
}

void PlayAviMovie(Media& media, const std::string& path, const DisplayBox& box, bool fit) {
    playMovie(media, kOpenAvi, path, box, fit, "Error playing AVI", placeAviMovie);
}

void PlayMpegMovie(Media& media, const std::string& path, const DisplayBox& box, bool fit) {
    // An MPEG movie is never centred: where it can stretch it fills the box.
    playMovie(media, kOpenMpeg, path, box, fit, "Error playing MPEG",
              [](Media& m, long long boxW, long long boxH) {
                  if (canStretch(m))
                      send(m, fillCommand(boxW, boxH));
              });
}

void PlayMidiFile(Media& media, const std::string& path) {
    playTune(media, kOpenMidi, path, "Error playing MIDI.");
}

void PlayMp3File(Media& media, const std::string& path) {
    playTune(media, kOpenMp3, path, "Error playing MP3.");
}

void CloseAllMedia(Media& media) {
    send(media, "close all");
}

bool CanOpen(Media& media, Device device, const std::string& path) {
    bool opened = false;
    try {
        std::string command;
        switch (device) {
        case Device::AviMovie:
            command = openMovieCommand(media, kOpenAvi, path);
            break;
        case Device::MpegMovie:
            command = openMovieCommand(media, kOpenMpeg, path);
            break;
        case Device::MidiTune:
            command = openTuneCommand(media, kOpenMidi, path);
            break;
        case Device::Mp3Tune:
            command = openTuneCommand(media, kOpenMp3, path);
            break;
        }
        opened = send(media, command) == 0;
    } catch (const std::exception&) {
        opened = false;
    }
    CloseAllMedia(media);
    return opened;
}

std::string GetShortPath(Media& media, const std::string& path) {
    std::string buffer(kShortPathCapacity, ' ');
    const std::uint32_t n = media.shortPaths.getShortPathName(path, buffer, kShortPathCapacity);
    if (n == 0)
        return "error";
    return buffer.substr(0, n);
}

} // namespace examo::modSound
