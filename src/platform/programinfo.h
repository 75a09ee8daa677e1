#pragma once

#include <string>

namespace examo {

struct ProgramVersion {
    int major = 1;
    int minor = 0;
    int revision = 0;
};

class ProgramInfo {
public:
    virtual ~ProgramInfo() = default;
    virtual std::string title() = 0;
    // The folder the program file lies in, without a trailing separator.
    virtual std::string folder() = 0;
    // The program file's name without extension.
    virtual std::string exeName() = 0;
    virtual ProgramVersion version() = 0;
    // The arguments joined by one blank.
    virtual std::string commandLine() = 0;
    virtual std::string currentFolder() = 0;
};

} // namespace examo
