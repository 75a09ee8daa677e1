#include "platform/linux/linuxshell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include <unistd.h>

namespace examo {

namespace {

// The callers end every path with NULs, as lists for the shell.
std::string firstPath(const std::string& list) {
    return list.substr(0, list.find('\0'));
}

constexpr int kDesktopFolder = 0;
constexpr int kDocumentsFolder = 5;

} // namespace

DesktopPrograms DesktopPrograms::defaults() {
    return {
        {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed", "featherpad",
         "leafpad"},
        {"gnome-sound-recorder", "audacity", "kwave"},
        {"kolourpaint", "pinta", "mtpaint", "drawing", "gimp"},
        // xdg-open last: it opens whatever the desktop associates with folders.
        {"nautilus", "dolphin", "thunar", "pcmanfm", "nemo", "caja", "xdg-open"},
    };
}

LinuxShell::LinuxShell(DesktopPrograms programs) : programs_(std::move(programs)) {}

int LinuxShell::fileOperation(const FileOperationRequest& request) {
    if (request.func != kFileOperationCopy)
        return ENOSYS;
    const std::filesystem::path from = firstPath(request.from);
    const std::filesystem::path to = firstPath(request.to);
    if (from.empty() || to.empty())
        return EINVAL;
    // A copy cut short (a full disk) must neither leave a truncated file under the target's
    // name nor spoil the target it would replace: copy beside it, then rename over it.
    std::string temporary = (to.parent_path() / ("." + to.filename().string() + ".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return errno != 0 ? errno : EIO;
    ::close(fd);
    std::error_code error;
    std::filesystem::copy_file(from, temporary, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (!error)
        std::filesystem::rename(temporary, to, error);
    if (!error)
        return 0;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    // Some failures come without a system error number; the callers only need nonzero.
    return error.value() != 0 ? error.value() : EIO;
}

bool LinuxShell::openUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

const std::vector<std::string>& LinuxShell::candidates(DesktopTool tool) const {
    switch (tool) {
    case DesktopTool::TextEditor:
        return programs_.textEditors;
    case DesktopTool::SoundRecorder:
        return programs_.soundRecorders;
    case DesktopTool::PaintProgram:
        return programs_.paintPrograms;
    case DesktopTool::FileManager:
        break;
    }
    return programs_.fileManagers;
}

bool LinuxShell::startTool(DesktopTool tool, const std::string& workingFolder) {
    const QString folder =
        workingFolder.empty() ? QDir::currentPath() : QString::fromStdString(workingFolder);
    for (const std::string& name : candidates(tool)) {
        const QString program = QStandardPaths::findExecutable(QString::fromStdString(name));
        if (program.isEmpty())
            continue;
        QStringList arguments;
        if (tool == DesktopTool::FileManager)
            arguments << folder;
        // A program that is installed but fails to start leaves the role to the next one.
        if (QProcess::startDetached(program, arguments, folder))
            return true;
    }
    return false;
}

std::string LinuxShell::toolFor(DesktopTool tool) {
    for (const std::string& name : candidates(tool)) {
        const QString program = QStandardPaths::findExecutable(QString::fromStdString(name));
        if (!program.isEmpty())
            return program.toStdString();
    }
    return {};
}

std::string LinuxShell::suggestedTool(DesktopTool tool) {
    const std::vector<std::string>& names = candidates(tool);
    return names.empty() ? std::string() : names.front();
}

std::string LinuxShell::specialFolder(int number) {
    QString folder;
    if (number == kDesktopFolder)
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    else if (number == kDocumentsFolder)
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    else
        return {};
    // Many setups have no such folder at all; the callers then still get a usable place.
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder.toStdString();
}

} // namespace examo
