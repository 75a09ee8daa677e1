#pragma once

#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/shell.h"

#include <cstdint>
#include <string>

// The open and save dialogs and the one-file copy that both programs use.
namespace examo::modFileIO {

inline constexpr const char* kOpenTitle = "Open File...";
inline constexpr const char* kSaveTitle = "Save File...";
inline constexpr std::uint32_t kOpenFlags = 0x81000; // explorer, file must exist
inline constexpr std::uint32_t kSaveFlags = 0x80002; // explorer, overwrite prompt
inline constexpr std::uint32_t kCopyFlags = 0xD0;    // no confirmation, allow undo, files only

// Filter pairs joined by NULs, as callers write them: Filter({"Examo Tests (*.exm)", "*.exm"}).
std::string Filter(std::initializer_list<std::string> descriptionsAndPatterns);

// The requests the dialogs are shown with.
FileDialogRequest OpenRequest(std::intptr_t owner, const std::string& filter,
                              const std::string& initialFolder);
FileDialogRequest SaveRequest(std::intptr_t owner, const std::string& filter,
                              const std::string& initialFolder, const std::string& defaultExt);
FileOperationRequest CopyRequest(const std::string& source, const std::string& target);

// The chosen path, or empty when cancelled. A dialog that fails shows the platform's
// description with the critical-stop icon and gives empty.
std::string ShowOpenDialog(FileDialogs& dialogs, Dialogs& messages, std::intptr_t owner,
                           const std::string& filter, const std::string& initialFolder);

// The path typed or chosen, or empty when cancelled. Failures reach the caller.
std::string ShowSaveDialog(FileDialogs& dialogs, std::intptr_t owner, const std::string& filter,
                           const std::string& initialFolder, const std::string& defaultExt);

// Copies one file, replacing the target. A failure shows "Error occurred!" and gives false.
bool ShellCopy(Shell& shell, Dialogs& messages, const std::string& source,
               const std::string& target);

} // namespace examo::modFileIO
