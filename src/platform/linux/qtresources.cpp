#include "platform/linux/qtresources.h"

#include <QFile>
#include <QString>

namespace examo {

std::optional<std::vector<std::uint8_t>> QtResources::load(const std::string& type, int number) {
    QFile file(QStringLiteral(":/") + QString::fromStdString(type) + QLatin1Char('/') +
               QString::number(number));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace examo
