#pragma once

#include "media/displaybox.h"
#include "platform/dialogs.h"
#include "platform/eventpump.h"
#include "platform/mediacommandservice.h"
#include "platform/resources.h"
#include "platform/shortpath.h"
#include "platform/waveplayer.h"

#include <cstdint>
#include <string>
#include <vector>

// Plays a question's media and the built-in sounds through text commands to the media
// command service and the wave player.
namespace examo::modSound {

inline constexpr std::uint32_t kReplyCapacity = 128;
inline constexpr std::uint32_t kShortPathCapacity = 255;

// The services the operations use, and the built-in wave that is playing: the wave player
// reads it after an async call has returned, so it lives until the next one replaces it.
struct Media {
    MediaCommandService& commands;
    WavePlayer& waves;
    ShortPath& shortPaths;
    Resources& resources;
    Dialogs& dialogs;
    EventPump& events;
    std::vector<std::uint8_t> playingResource;
};

// The wave player's flags for a mode word ("sync", "async", "loop", any case; others async).
std::uint32_t WaveFlags(const std::string& mode);

// N(v): a whole number with one leading blank when not negative, else its minus sign.
std::string N(long long v);

void PlayResourceWave(Media& media, std::int16_t number, const std::string& mode);
void PlayWaveFile(Media& media, const std::string& path, const std::string& mode);
void PlayAviMovie(Media& media, const std::string& path, const DisplayBox& box, bool fit);
void PlayMpegMovie(Media& media, const std::string& path, const DisplayBox& box, bool fit);
void PlayMidiFile(Media& media, const std::string& path);
void PlayMp3File(Media& media, const std::string& path);
void CloseAllMedia(Media& media);
// The devices that movies and tunes open on.
enum class Device { AviMovie, MpegMovie, MidiTune, Mp3Tune };
// Opens the file on its device with the command its Play operation sends, without playing or
// showing it, then closes all media: true when the device took the file.
bool CanOpen(Media& media, Device device, const std::string& path);
// The blank-free form of the path, or "error" when the path names no file.
std::string GetShortPath(Media& media, const std::string& path);

} // namespace examo::modSound
