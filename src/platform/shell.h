#pragma once

#include <cstdint>
#include <string>

namespace examo {

// A shell file operation as the callers fill it: paths are each followed by two NULs.
struct FileOperationRequest {
    std::intptr_t owner = 0;
    std::uint32_t func = 0; // 2 = copy
    std::string from;
    std::string to;
    std::uint32_t flags = 0;
};

inline constexpr std::uint32_t kFileOperationCopy = 2;

// The desktop's own programs that the creator's Tools menu starts.
enum class DesktopTool { TextEditor, SoundRecorder, PaintProgram, FileManager };

class Shell {
public:
    virtual ~Shell() = default;
    // 0 on success, an error number otherwise. An existing target is replaced, and only by a
    // complete copy: a failed copy leaves no file behind and the target as it was.
    virtual int fileOperation(const FileOperationRequest& request) = 0;
    // Opens a web or mail address with the desktop's handler; false when nothing took it.
    virtual bool openUrl(const std::string& url) = 0;
    // Starts the desktop's program for the role in the given folder; false when none is installed.
    virtual bool startTool(DesktopTool tool, const std::string& workingFolder) = 0;
    // The program startTool would start for the role; empty when the desktop has none.
    virtual std::string toolFor(DesktopTool tool) = 0;
    // The program a person would install to get one for the role.
    virtual std::string suggestedTool(DesktopTool tool) = 0;
    // The user's folder for the special-folder number (5 = documents); empty when unknown.
    virtual std::string specialFolder(int number) = 0;
};

} // namespace examo
