#pragma once

#include "storage/fileexists.h"
#include "storage/files.h"
#include "storage/record.h"
#include "storage/textrules.h"

#include <string>
#include <string_view>

// What a question's media file is and where it lies.
namespace examo::mediafile {

enum class Kind { None, Wave, Avi, Mpeg, Midi, Mp3, Picture };

// The kind the file name gives: the text after its first "." in any case. Only the file name
// counts, so a dotted folder (/home/anne.smith/) hides nothing.
inline Kind KindOf(std::string_view path) {
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(path));
    if (ext == "wav")
        return Kind::Wave;
    if (ext == "avi")
        return Kind::Avi;
    if (ext == "mpg" || ext == "mpeg")
        return Kind::Mpeg;
    if (ext == "mid" || ext == "midi")
        return Kind::Midi;
    if (ext == "mp3")
        return Kind::Mp3;
    if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "wmf")
        return Kind::Picture;
    return Kind::None;
}

// True when the file is a regular file whose first bytes are those of its kind: a picture
// (bitmap, JPEG or metafile, whichever its name says, since the loader goes by content), a
// RIFF wave, a RIFF AVI, an MPEG program or video stream, a MIDI file, or an MP3 with its tag
// or a frame. A name alone proves nothing: a quiz from elsewhere may name any file.
inline bool LooksLikeItsKind(const std::string& path) {
    const std::string head = files::ReadHead(path, 12);
    const auto starts = [&](std::string_view magic, std::size_t at = 0) {
        return head.size() >= at + magic.size() && head.compare(at, magic.size(), magic) == 0;
    };
    const auto riff = [&](std::string_view form) { return starts("RIFF") && starts(form, 8); };
    switch (KindOf(path)) {
    case Kind::Picture:
        return starts("BM") || starts("\xFF\xD8\xFF") || starts("\xD7\xCD\xC6\x9A") ||
               starts(std::string_view("\x01\x00\x09\x00", 4)) ||
               starts(std::string_view("\x02\x00\x09\x00", 4));
    case Kind::Wave:
        return riff("WAVE");
    case Kind::Avi:
        return riff("AVI ");
    case Kind::Mpeg:
        return starts(std::string_view("\x00\x00\x01\xBA", 4)) ||
               starts(std::string_view("\x00\x00\x01\xB3", 4));
    case Kind::Midi:
        return starts("MThd") || riff("RMID");
    case Kind::Mp3:
        return starts("ID3") || (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
                                 (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0);
    case Kind::None:
        break;
    }
    return false;
}

// The file a record's media field names: a full path as written, any other name in the
// folder of its quiz (with its "/"). Never the process's current folder, which every file
// dialog moves. Empty for no media, or when there is no such file.
inline std::string Resolve(const std::string& field, const std::string& quizFolder) {
    if (field.empty() || record::IsNoneMedia(field))
        return {};
    std::string path = field;
    if (field.front() != '/') {
        if (quizFolder.empty())
            return {};
        path = quizFolder + field;
    }
    return files::FileExists(path) ? path : std::string();
}

} // namespace examo::mediafile
