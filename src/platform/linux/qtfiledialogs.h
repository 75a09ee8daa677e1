#pragma once

#include "platform/filedialogs.h"

#include <QStringList>

namespace examo {

// The Qt name filters for a list of "description NUL patterns NUL ... NUL", in order,
// so that a 1-based filter index keeps pointing at the same entry. Patterns separated
// by ";" become blank-separated, and "*.*" means every file as it does for the callers.
QStringList qtNameFilters(const std::string& filter);

// Open and save dialogs on QFileDialog. They need a running QApplication.
class QtFileDialogs : public FileDialogs {
public:
    FileDialogResult getOpenFileName(const FileDialogRequest& request) override;
    FileDialogResult getOpenFileNamePreview(const FileDialogRequest& request) override;
    FileDialogResult getSaveFileName(const FileDialogRequest& request) override;
    std::string getFileTitle(const std::string& path) override;

private:
    enum class Kind { Open, OpenWithPreview, Save };
    FileDialogResult run(const FileDialogRequest& request, Kind kind);
};

} // namespace examo
