#pragma once

#include "platform/shell.h"

#include <string>
#include <vector>

namespace examo {

// The programs tried for each desktop role, first found wins. Names are looked up
// in PATH; absolute paths are taken as they are.
struct DesktopPrograms {
    std::vector<std::string> textEditors;
    std::vector<std::string> soundRecorders;
    std::vector<std::string> paintPrograms;
    // Each is given the folder to show as its argument.
    std::vector<std::string> fileManagers;

    static DesktopPrograms defaults();
};

class LinuxShell : public Shell {
public:
    explicit LinuxShell(DesktopPrograms programs = DesktopPrograms::defaults());

    int fileOperation(const FileOperationRequest& request) override;
    bool openUrl(const std::string& url) override;
    bool startTool(DesktopTool tool, const std::string& workingFolder) override;
    std::string toolFor(DesktopTool tool) override;
    std::string suggestedTool(DesktopTool tool) override;
    std::string specialFolder(int number) override;

private:
    const std::vector<std::string>& candidates(DesktopTool tool) const;

    DesktopPrograms programs_;
};

} // namespace examo
