#pragma once

#include "platform/filedialogs.h"

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace examo::fakes {

// Records each request; answers with the next scripted path (nullopt = Cancel).
class FakeFileDialogs : public FileDialogs {
public:
    enum class Kind { Open, OpenPreview, Save };
    struct Call {
        Kind kind;
        FileDialogRequest request;
    };

    FileDialogResult getOpenFileName(const FileDialogRequest& r) override {
        return answer(Kind::Open, r);
    }
    FileDialogResult getOpenFileNamePreview(const FileDialogRequest& r) override {
        return answer(Kind::OpenPreview, r);
    }
    FileDialogResult getSaveFileName(const FileDialogRequest& r) override {
        return answer(Kind::Save, r);
    }
    std::string getFileTitle(const std::string& path) override {
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

    std::vector<Call> calls;
    std::deque<std::optional<std::string>> paths;
    std::int32_t chosenFilterIndex = 1;
    std::optional<std::uint32_t> returnedFlags; // the flags the dialog hands back; else as asked
    std::string failWith; // when not empty, the dialog throws this description

private:
    FileDialogResult answer(Kind kind, const FileDialogRequest& r) {
        calls.push_back({kind, r});
        if (!failWith.empty())
            throw std::runtime_error(failWith);
        FileDialogResult result;
        if (paths.empty() || !paths.front()) {
            if (!paths.empty())
                paths.pop_front();
            return result;
        }
        const std::string path = *paths.front();
        paths.pop_front();
        result.ok = true;
        // As a fixed buffer: the path, then NULs up to the capacity.
        result.fileBuffer = path;
        result.fileBuffer.resize(std::max<std::size_t>(path.size() + 1, r.maxFile), '\0');
        result.fileTitleBuffer = getFileTitle(path) + '\0';
        result.flags = returnedFlags.value_or(r.flags);
        result.filterIndex = chosenFilterIndex;
        return result;
    }
};

} // namespace examo::fakes
