#pragma once

#include <QString>

#include <string>

namespace examo {

// Text of a quiz record (Windows-1252) for the screen.
QString fromQuizText(const std::string& cp1252);

} // namespace examo
