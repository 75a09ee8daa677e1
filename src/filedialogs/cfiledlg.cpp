#include "filedialogs/cfiledlg.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace examo {

namespace {

constexpr std::uint32_t kRecordSize = 76;
// Hooks and templates are the platform's own business; callers cannot ask for them.
constexpr std::uint32_t kNeverPassed = dlgflags::kEnableHook | dlgflags::kEnableTemplate;
constexpr int kPersonalFolder = 5;

std::string upToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// Every ":" and "|" becomes a NUL, and two NULs end the list.
std::string translateFilter(const std::string& filter) {
    std::string translated;
    translated.reserve(filter.size() + 2);
    for (const char c : filter)
        translated += (c == ':' || c == '|') ? '\0' : c;
    translated.append(2, '\0');
    return translated;
}

std::string padded(const std::string& text, std::size_t size) {
    std::string buffer = text;
    buffer.resize(size, '\0');
    return buffer;
}

} // namespace

cFileDlg::cFileDlg(FileDialogs& dialogs, Shell& shell, ProgramInfo& program)
    : m_dialogs(dialogs), m_shell(shell), m_initDirectory(SpecialFolderPath(kPersonalFolder)),
      m_dlgTitle(program.title()) {}

void cFileDlg::InitDirectorySpecial(int SpecialDirectory) {
    m_initDirectory = SpecialFolderPath(SpecialDirectory);
}

bool cFileDlg::VBGetOpenFileName(std::string& filename) {
    std::string fileTitle;
    return VBGetOpenFileName(filename, fileTitle);
}

bool cFileDlg::VBGetOpenFileName(std::string& filename, std::string& FileTitle) {
    return show(Kind::Open, filename, FileTitle);
}

bool cFileDlg::VBGetOpenFileNamePreview(std::string& filename) {
    std::string fileTitle;
    return VBGetOpenFileNamePreview(filename, fileTitle);
}

bool cFileDlg::VBGetOpenFileNamePreview(std::string& filename, std::string& FileTitle) {
    return show(Kind::OpenPreview, filename, FileTitle);
}

bool cFileDlg::VBGetSaveFileName(std::string& filename) {
    std::string fileTitle;
    return VBGetSaveFileName(filename, fileTitle);
}

bool cFileDlg::VBGetSaveFileName(std::string& filename, std::string& FileTitle) {
    return show(Kind::Save, filename, FileTitle);
}

bool cFileDlg::ExistFile(const std::string& sSpec) {
    std::error_code error;
    static_cast<void>(std::filesystem::file_size(sSpec, error));
    return !error;
}

std::string cFileDlg::VBGetFileTitle(std::string& sFile) {
    return upToNul(m_dialogs.getFileTitle(sFile));
}

FileDialogRequest cFileDlg::request(Kind kind, const std::string& filename,
                                    const std::string& fileTitle) const {
    FileDialogRequest r;
    r.structSize = kRecordSize;
    r.owner = m_ownerHwnd == -1 ? 0 : m_ownerHwnd;
    r.filter = translateFilter(m_filter);
    r.filterIndex = m_filterIndex;
    r.fileBuffer = padded(filename, kFileBufferSize);
    r.maxFile = kFileBufferSize;
    r.fileTitleBuffer = padded(fileTitle, kFileTitleBufferSize);
    r.maxFileTitle = kFileTitleBufferSize;
    r.initialDir = m_initDirectory;
    r.title = m_dlgTitle;
    r.defaultExt = m_defaultExt;
    const auto passed = static_cast<std::uint32_t>(m_flags) & ~kNeverPassed;
    if (kind == Kind::Save) {
        r.flags =
            (m_overwritePrompt ? dlgflags::kOverwritePrompt : 0) | dlgflags::kHideReadOnly | passed;
    } else {
        r.flags = (m_fileMustExist ? dlgflags::kFileMustExist : 0) |
                  (m_multiSelect ? dlgflags::kAllowMultiSelect : 0) |
                  (m_readOnly ? dlgflags::kReadOnly : 0) |
                  (m_hideReadOnly ? dlgflags::kHideReadOnly : 0) | passed;
    }
    return r;
}

bool cFileDlg::show(Kind kind, std::string& filename, std::string& fileTitle) {
    if (filename.size() > kFileBufferSize)
        throw std::length_error("The file name is longer than 1024 characters.");
    if (fileTitle.size() > kFileTitleBufferSize)
        throw std::length_error("The file title is longer than 512 characters.");

    const FileDialogRequest r = request(kind, filename, fileTitle);
    FileDialogResult result;
    try {
        switch (kind) {
        case Kind::Open:
            result = m_dialogs.getOpenFileName(r);
            break;
        case Kind::OpenPreview:
            result = m_dialogs.getOpenFileNamePreview(r);
            break;
        case Kind::Save:
            result = m_dialogs.getSaveFileName(r);
            break;
        }
    } catch (const std::runtime_error&) {
        // A dialog that cannot be shown is a dialog that chose nothing.
        result = FileDialogResult{};
    }

    if (!result.ok) {
        filename = std::string(1, '\0');
        fileTitle = std::string(1, '\0');
        m_flags = 0;
        m_filterIndex = kind == Kind::Save ? 0 : -1;
        m_filter = std::string(1, '\0');
        return false;
    }

    // Several chosen files come as the folder and the names, each ended by a NUL.
    const std::size_t end =
        m_multiSelect ? result.fileBuffer.find(std::string(2, '\0')) : result.fileBuffer.find('\0');
    filename = result.fileBuffer.substr(0, end);
    fileTitle = upToNul(result.fileTitleBuffer);
    m_flags = static_cast<std::int32_t>(result.flags);
    m_filterIndex = result.filterIndex;
    m_filter = FilterEntry(r.filter, result.filterIndex);
    if (kind != Kind::Save)
        m_readOnly = (result.flags & dlgflags::kReadOnly) != 0;
    m_initDirectory = upToNul(filename);
    return true;
}

std::string cFileDlg::FilterEntry(const std::string& translatedFilter, std::int32_t index) {
    if (index <= 0)
        return {};
    std::int32_t pair = 0;
    std::size_t start = 0;
    while (start < translatedFilter.size()) {
        const std::size_t descriptionEnd = translatedFilter.find('\0', start);
        // An empty description is the end of the list.
        if (descriptionEnd == std::string::npos || descriptionEnd == start)
            return {};
        std::size_t patternEnd = translatedFilter.find('\0', descriptionEnd + 1);
        if (patternEnd == std::string::npos)
            patternEnd = translatedFilter.size();
        if (++pair == index)
            return translatedFilter.substr(start, patternEnd - start);
        start = patternEnd + 1;
    }
    return {};
}

std::string cFileDlg::SpecialFolderPath(int number) {
    return upToNul(m_shell.specialFolder(number)).substr(0, kFileBufferSize);
}

} // namespace examo
