#include "modfileio.h"

#include <exception>

namespace examo::modFileIO {

namespace {

constexpr std::uint32_t kStructSize = 76;

// The text of a fixed buffer up to its first NUL.
std::string untilNul(const std::string& buffer) {
    return buffer.substr(0, buffer.find('\0'));
}

} // namespace

std::string Filter(std::initializer_list<std::string> descriptionsAndPatterns) {
    std::string filter;
    for (const auto& piece : descriptionsAndPatterns) {
        if (!filter.empty())
            filter += '\0';
        filter += piece;
    }
    return filter;
}

FileDialogRequest OpenRequest(std::intptr_t owner, const std::string& filter,
                              const std::string& initialFolder) {
    FileDialogRequest r;
    r.structSize = kStructSize;
    r.owner = owner;
    // The text's own end and one more NUL close the list with two NULs.
    r.filter = filter + std::string(2, '\0');
    r.filterIndex = 1;
    r.fileBuffer = std::string(257, '\0');
    r.maxFile = 256;
    r.fileTitleBuffer = std::string(257, '\0');
    r.maxFileTitle = 256;
    r.initialDir = initialFolder;
    r.title = kOpenTitle;
    r.flags = kOpenFlags;
    r.defaultExt = "exm";
    return r;
}

FileDialogRequest SaveRequest(std::intptr_t owner, const std::string& filter,
                              const std::string& initialFolder, const std::string& defaultExt) {
    FileDialogRequest r;
    r.structSize = kStructSize;
    r.owner = owner;
    r.filter = filter + std::string(2, '\0');
    r.filterIndex = 1;
    r.fileBuffer = "untitled." + defaultExt + std::string(247, ' ');
    r.maxFile = 260;
    r.fileTitleBuffer = "untitled." + defaultExt;
    r.maxFileTitle = 0;
    r.initialDir = initialFolder;
    r.title = kSaveTitle;
    r.flags = kSaveFlags;
    r.defaultExt = defaultExt;
    return r;
}

FileOperationRequest CopyRequest(const std::string& source, const std::string& target) {
    FileOperationRequest r;
    r.owner = 0;
    r.func = kFileOperationCopy;
    r.from = source + std::string(2, '\0');
    r.to = target + std::string(2, '\0');
    r.flags = kCopyFlags;
    return r;
}

std::string ShowOpenDialog(FileDialogs& dialogs, Dialogs& messages, std::intptr_t owner,
                           const std::string& filter, const std::string& initialFolder) {
    try {
        const auto result = dialogs.getOpenFileName(OpenRequest(owner, filter, initialFolder));
        return result.ok ? untilNul(result.fileBuffer) : std::string();
    } catch (const std::exception& e) {
        messages.message(e.what(), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return {};
    }
}

std::string ShowSaveDialog(FileDialogs& dialogs, std::intptr_t owner, const std::string& filter,
                           const std::string& initialFolder, const std::string& defaultExt) {
    const auto result =
        dialogs.getSaveFileName(SaveRequest(owner, filter, initialFolder, defaultExt));
    return result.ok ? untilNul(result.fileBuffer) : std::string();
}

bool ShellCopy(Shell& shell, Dialogs& messages, const std::string& source,
               const std::string& target) {
    if (shell.fileOperation(CopyRequest(source, target)) == 0)
        return true;
    messages.message("Error occurred!", Dialogs::Buttons::Ok, Dialogs::Icon::Information, "SHCOPY");
    return false;
}

} // namespace examo::modFileIO
