#pragma once

#include <cstdint>
#include <string>

namespace examo {

// The values an open or save dialog is asked with, field for field as the callers fill them.
// Strings that the platform would see as NUL-separated lists (filter) or fixed buffers
// (file, file title) keep their NULs and blanks here, so tests can check them exactly.
struct FileDialogRequest {
    std::uint32_t structSize = 0;
    std::intptr_t owner = 0; // native window id of the owner, 0 for none
    std::intptr_t instance = 0;
    std::string filter; // description NUL pattern NUL ... NUL
    std::int32_t filterIndex = 0;
    std::string fileBuffer;
    std::uint32_t maxFile = 0;
    std::string fileTitleBuffer;
    std::uint32_t maxFileTitle = 0;
    std::string initialDir;
    std::string title;
    std::uint32_t flags = 0;
    std::string defaultExt;
};

struct FileDialogResult {
    bool ok = false;        // false: cancelled or failed
    std::string fileBuffer; // the chosen path, NUL-terminated as the platform writes it
    std::string fileTitleBuffer;
    std::uint32_t flags = 0;
    std::int32_t filterIndex = 0;
};

namespace dlgflags {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kOverwritePrompt = 0x2;
inline constexpr std::uint32_t kHideReadOnly = 0x4;
inline constexpr std::uint32_t kEnableHook = 0x20;
inline constexpr std::uint32_t kEnableTemplate = 0x40;
inline constexpr std::uint32_t kAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kFileMustExist = 0x1000;
inline constexpr std::uint32_t kExplorer = 0x80000;
} // namespace dlgflags

// Common open and save dialogs. A dialog that cannot be shown at all throws
// std::runtime_error with the platform's description.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FileDialogResult getOpenFileName(const FileDialogRequest& request) = 0;
    // The open dialog with a picture preview beside the file list.
    virtual FileDialogResult getOpenFileNamePreview(const FileDialogRequest& request) = 0;
    virtual FileDialogResult getSaveFileName(const FileDialogRequest& request) = 0;
    // The name of the file as the desktop shows it; empty when the path is not valid.
    virtual std::string getFileTitle(const std::string& path) = 0;
};

} // namespace examo
