#pragma once

#include "platform/shell.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace examo::fakes {

// Records requests; copies for real unless told to fail.
class FakeShell : public Shell {
public:
    struct ToolStart {
        DesktopTool tool;
        std::string folder;
    };

    int fileOperation(const FileOperationRequest& r) override {
        operations.push_back(r);
        if (copyResult != 0)
            return copyResult;
        std::error_code ec;
        std::filesystem::copy_file(r.from.c_str(), r.to.c_str(),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        return ec ? 1 : 0;
    }
    bool openUrl(const std::string& url) override {
        urls.push_back(url);
        return urlResult;
    }
    bool startTool(DesktopTool tool, const std::string& folder) override {
        tools.push_back({tool, folder});
        return toolResult;
    }
    std::string specialFolder(int number) override {
        return number == 5 ? documentsFolder : std::string();
    }

    std::vector<FileOperationRequest> operations;
    std::vector<std::string> urls;
    std::vector<ToolStart> tools;
    int copyResult = 0; // nonzero: every copy fails with it
    bool urlResult = true;
    bool toolResult = true;
    std::string documentsFolder = "/home/teacher/Documents";
};

} // namespace examo::fakes
