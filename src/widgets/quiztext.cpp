#include "widgets/quiztext.h"

#include "platform/cp1252.h"

namespace examo {

QString fromQuizText(const std::string& cp1252) {
    return QString::fromStdString(cp1252::toUtf8(cp1252));
}

} // namespace examo
