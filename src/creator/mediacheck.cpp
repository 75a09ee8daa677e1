#include "creator/mediacheck.h"

#include "platform/cp1252.h"
#include "storage/mediafile.h"
#include "storage/record.h"
#include "storage/textrules.h"

#include <filesystem>
#include <optional>

namespace examo::mediacheck {

namespace {

// Compared by the names written, not by where links lead: a link in the folder that points
// elsewhere is copied along with the folder.
bool liesIn(const std::string& path, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path inside =
        fs::path(path).lexically_normal().lexically_relative(fs::path(folder).lexically_normal());
    return !inside.empty() && *inside.begin() != "..";
}

// Why the file cannot be played or shown, or nothing when it can. Only files that start as
// their kind does reach the devices: a quiz from elsewhere may name any file. Waves are judged
// by their header alone, since the wave player has no way to take a wave without playing it.
std::optional<Problem> unplayable(const std::string& path, modSound::Media& media,
                                  PictureLoader& pictures) {
    using mediafile::Kind;
    const Kind kind = mediafile::KindOf(path);
    const bool looksRight = kind != Kind::None && mediafile::LooksLikeItsKind(path);
    if (kind == Kind::Picture)
        return looksRight && !pictures.load(QString::fromStdString(path)).isNull()
                   ? std::nullopt
                   : std::optional(Problem::CannotShow);
    bool plays = looksRight;
    const auto device = [&]() -> std::optional<modSound::Device> {
        switch (kind) {
        case Kind::Avi:
            return modSound::Device::AviMovie;
        case Kind::Mpeg:
            return modSound::Device::MpegMovie;
        case Kind::Midi:
            return modSound::Device::MidiTune;
        case Kind::Mp3:
            return modSound::Device::Mp3Tune;
        default:
            return std::nullopt;
        }
    }();
    if (plays && device)
        plays = modSound::CanOpen(media, *device, path);
    return plays ? std::nullopt : std::optional(Problem::CannotPlay);
}

} // namespace

std::vector<Finding> Check(const std::vector<std::string>& records, const std::string& quizFolder,
                           modSound::Media& media, PictureLoader& pictures) {
    std::vector<Finding> findings;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // The media the player would take from the record; a corrupted record has none.
        const auto parsed = record::ParseQuestion(records[i]);
        if (!parsed.question)
            continue;
        const std::string field = cp1252::toUtf8(parsed.question->media);
        if (field.empty() || record::IsNoneMedia(field))
            continue;
        const int question = static_cast<int>(i) + 1;
        const std::string path = mediafile::Resolve(field, quizFolder);
        if (path.empty()) {
            findings.push_back({question, field, Problem::Missing});
            continue;
        }
        if (!quizFolder.empty() && !liesIn(path, quizFolder))
            findings.push_back({question, field, Problem::Outside});
        if (const auto problem = unplayable(path, media, pictures))
            findings.push_back({question, field, *problem});
    }
    return findings;
}

std::string Describe(const Finding& finding, const std::string& quizFolder) {
    std::string what;
    switch (finding.problem) {
    case Problem::Missing:
        what = "is missing.";
        break;
    case Problem::Outside:
        what = "lies outside the quiz's folder (" + quizFolder + ").";
        break;
    case Problem::CannotPlay:
        what = "cannot be played.";
        break;
    case Problem::CannotShow:
        what = "cannot be shown.";
        break;
    }
    return "Question " + text::Dec(finding.question) + ": \"" +
           text::QuoteInMessage(finding.media) + "\" " + what;
}

std::string Report(const std::string& quizName, const std::string& quizFolder,
                   const std::vector<Finding>& findings) {
    std::string out = "Media check of \"" + text::QuoteInMessage(quizName) + "\"\n";
    if (quizFolder.empty())
        out += "This quiz has not been saved yet, so it has no folder of its own: media named "
               "without a full path are missing until the quiz is saved beside them, and saving "
               "copies the other media into its folder.\n";
    else
        out += "The quiz's folder: " + quizFolder + "\n";
    out += "\n";
    if (findings.empty())
        out += quizFolder.empty() ? "Every question's media can be found and played.\n"
                                  : "Every question's media is in the quiz's folder and can be "
                                    "played.\n";
    for (const Finding& finding : findings)
        out += Describe(finding, quizFolder) + "\n";
    return out;
}

} // namespace examo::mediacheck
