#pragma once

#include "media/modsound.h"
#include "platform/pictureloader.h"

#include <string>
#include <vector>

// What would keep a quiz's media from its students once the quiz is handed out: files that are
// missing, that lie outside the quiz's folder (and so stay behind when the folder is copied),
// or that the programs cannot play. Nothing is changed; only looked at.
namespace examo::mediacheck {

enum class Problem { Missing, Outside, CannotPlay, CannotShow };

struct Finding {
    int question = 0;  // 1 for the first question
    std::string media; // the record's media field as written, in UTF-8
    Problem problem = Problem::Missing;
    bool operator==(const Finding&) const = default;
};

// Checks the media of each record (Windows-1252, the first question first) against the quiz's
// folder (with its "/"; empty for a quiz not saved yet, whose bare names cannot be found).
// Movies and tunes are opened on their devices and pictures loaded, as the programs would.
std::vector<Finding> Check(const std::vector<std::string>& records, const std::string& quizFolder,
                           modSound::Media& media, PictureLoader& pictures);

// The finding as the teacher reads it: Question 3: "cow.bmp" is missing.
std::string Describe(const Finding& finding, const std::string& quizFolder);

// The whole report: a heading naming the quiz and its folder, then one line per finding.
std::string Report(const std::string& quizName, const std::string& quizFolder,
                   const std::vector<Finding>& findings);

} // namespace examo::mediacheck
