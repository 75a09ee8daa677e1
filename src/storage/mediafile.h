#pragma once

#include "storage/fileexists.h"
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
