#pragma once

#include "platform/programinfo.h"

namespace examo::fakes {

class FakeProgramInfo : public ProgramInfo {
public:
    std::string title() override { return titleText; }
    std::string folder() override { return folderPath; }
    std::string exeName() override { return exe; }
    ProgramVersion version() override { return programVersion; }
    std::string commandLine() override { return command; }
    std::string currentFolder() override { return current; }

    std::string titleText = "ExamoMe";
    std::string folderPath = "/opt/examo";
    std::string exe = "ExamoMe";
    ProgramVersion programVersion{1, 0, 0};
    std::string command;
    std::string current = "/tmp";
};

} // namespace examo::fakes
