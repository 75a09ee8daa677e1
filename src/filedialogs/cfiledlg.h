#pragma once

#include "platform/filedialogs.h"
#include "platform/programinfo.h"
#include "platform/shell.h"

#include <cstdint>
#include <string>

namespace examo {

// The open and save dialogs behind properties and four calls. Filters are one line with ":"
// and "|" between the entries ("BMP Files|*.bmp:DIB Files|*.dib"). Properties carry over from
// one dialog to the next on the same object: after a choice InitDirectory is the chosen path
// and Filter the chosen pair only; after a cancel Filter is one NUL character.
// Each property reads with no argument and is set with one.
class cFileDlg {
public:
    static constexpr std::size_t kFileBufferSize = 1024;
    static constexpr std::size_t kFileTitleBufferSize = 512;

    cFileDlg(FileDialogs& dialogs, Shell& shell, ProgramInfo& program);

    std::intptr_t OwnerHwnd() const { return m_ownerHwnd; }
    void OwnerHwnd(std::intptr_t vHwnd) { m_ownerHwnd = vHwnd; }
    bool FileMustExist() const { return m_fileMustExist; }
    void FileMustExist(bool vNewValue) { m_fileMustExist = vNewValue; }
    bool MultiSelect() const { return m_multiSelect; }
    void MultiSelect(bool vNewValue) { m_multiSelect = vNewValue; }
    bool ReadOnly() const { return m_readOnly; }
    bool HideReadOnly() const { return m_hideReadOnly; }
    void HideReadOnly(bool vNewValue) { m_hideReadOnly = vNewValue; }
    const std::string& Filter() const { return m_filter; }
    void Filter(const std::string& vFilterString) { m_filter = vFilterString; }
    std::int32_t FilterIndex() const { return m_filterIndex; }
    void FilterIndex(std::int32_t vIndex) { m_filterIndex = vIndex; }
    const std::string& InitDirectory() const { return m_initDirectory; }
    void InitDirectory(const std::string& DirPath) { m_initDirectory = DirPath; }
    void InitDirectorySpecial(int SpecialDirectory);
    const std::string& DlgTitle() const { return m_dlgTitle; }
    void DlgTitle(const std::string& title) { m_dlgTitle = title; }
    const std::string& DefaultExt() const { return m_defaultExt; }
    void DefaultExt(const std::string& fileExt) { m_defaultExt = fileExt; }
    std::int32_t Flags() const { return m_flags; }
    void Flags(std::int32_t vFlags) { m_flags = vFlags; }
    bool OverwritePrompt() const { return m_overwritePrompt; }
    void OverwritePrompt(bool vShowPrompt) { m_overwritePrompt = vShowPrompt; }

    // True when a file was chosen; filename (and FileTitle) then hold it. After a cancel both
    // are one NUL character. A filename longer than 1024 or a FileTitle longer than 512
    // characters throws std::length_error before any dialog is shown.
    bool VBGetOpenFileName(std::string& filename);
    bool VBGetOpenFileName(std::string& filename, std::string& FileTitle);
    bool VBGetOpenFileNamePreview(std::string& filename);
    bool VBGetOpenFileNamePreview(std::string& filename, std::string& FileTitle);
    bool VBGetSaveFileName(std::string& filename);
    bool VBGetSaveFileName(std::string& filename, std::string& FileTitle);

    // True when the file's length can be asked for (false for a missing file or a folder).
    static bool ExistFile(const std::string& sSpec);
    // The file's name as the desktop shows it, or empty when the path is not valid.
    std::string VBGetFileTitle(std::string& sFile);

private:
    enum class Kind { Open, OpenPreview, Save };

    bool show(Kind kind, std::string& filename, std::string& fileTitle);
    FileDialogRequest request(Kind kind, const std::string& filename,
                              const std::string& fileTitle) const;
    static std::string FilterEntry(const std::string& translatedFilter, std::int32_t index);
    std::string SpecialFolderPath(int number);

    FileDialogs& m_dialogs;
    Shell& m_shell;

    bool m_fileMustExist = true;
    bool m_multiSelect = false;
    bool m_readOnly = false;
    bool m_hideReadOnly = true;
    std::string m_filter;
    std::int32_t m_filterIndex = 0;
    std::string m_initDirectory;
    std::string m_dlgTitle;
    std::string m_defaultExt;
    std::int32_t m_flags = 0;
    bool m_overwritePrompt = true;
    std::intptr_t m_ownerHwnd = -1;
};

} // namespace examo
