#pragma once

#include "platform/programinfo.h"

namespace examo {

// Facts about the running program; needs a QCoreApplication.
class QtProgramInfo : public ProgramInfo {
public:
    QtProgramInfo(std::string title, ProgramVersion version);

    std::string title() override;
    std::string folder() override;
    std::string exeName() override;
    ProgramVersion version() override;
    std::string commandLine() override;
    std::string currentFolder() override;

private:
    std::string title_;
    ProgramVersion version_;
};

} // namespace examo
