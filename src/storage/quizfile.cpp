#include "quizfile.h"

#include "files.h"
#include "modcrypt.h"
#include "record.h"

namespace examo::quizfile {

std::string Encode(std::string_view title, std::string_view className,
                   const std::vector<std::string>& records) {
    std::string out = modCrypt::ScrambleQuizText(record::BuildHeaderLine(title, className));
    out += "\r\n";
    for (const auto& r : records) {
        out += modCrypt::ScrambleQuizText(r);
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

ReadResult Decode(std::string_view bytes) {
    ReadResult result;
    if (bytes.empty()) {
        result.error = ReadError::Empty;
        return result;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        result.error = ReadError::NotText;
        return result;
    }
    const auto lines = files::SplitCrLfLines(bytes);
    const auto header = record::ParseHeaderLine(modCrypt::ScrambleQuizText(lines.front()));
    if (!header) {
        result.error = ReadError::NoSeparator;
        return result;
    }
    result.contents.title = header->title;
    result.contents.className = header->className;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        if (result.contents.records.size() == record::kMaxQuestions) {
            result.error = ReadError::TooManyQuestions;
            result.contents = {};
            return result;
        }
        result.contents.records.push_back(modCrypt::ScrambleQuizText(lines[i]));
    }
    return result;
}

ReadResult Read(const std::string& path) {
    auto file = files::ReadWholeFile(path, kMaxFileBytes);
    ReadResult result;
    switch (file.status) {
    case files::ReadStatus::Ok:
        return Decode(file.bytes);
    case files::ReadStatus::Missing:
        result.error = ReadError::Missing;
        break;
    case files::ReadStatus::Unreadable:
        result.error = ReadError::Unreadable;
        break;
    case files::ReadStatus::TooLarge:
        result.error = ReadError::TooLarge;
        break;
    }
    return result;
}

bool Write(const std::string& path, std::string_view title, std::string_view className,
           const std::vector<std::string>& records) {
    return files::WriteFileReplacing(path, Encode(title, className, records));
}

std::string Describe(ReadError error) {
    switch (error) {
    case ReadError::None:
        return {};
    case ReadError::Missing:
        return files::kMissingMessage;
    case ReadError::Unreadable:
        return files::kUnreadableMessage;
    case ReadError::Empty:
        return "The file is empty.";
    case ReadError::NotText:
    case ReadError::NoSeparator:
        return "The file is not an ExamoMe test.";
    case ReadError::TooLarge:
        return "The file is too large to be an ExamoMe test.";
    case ReadError::TooManyQuestions:
        return "The file holds more than 100 questions.";
    }
    return {};
}

} // namespace examo::quizfile
