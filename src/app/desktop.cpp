#include "app/desktop.h"

#include "platform/linux/qtsettingsstore.h"

#include <QApplication>
#include <QIcon>

namespace examo {

std::optional<QString> configuredPdfFolder(const std::string& application) {
    if (auto fromEnvironment = QtPrinter::pdfFolderFromEnvironment())
        return fromEnvironment;
    QtSettingsStore settings;
    const std::string folder = settings.getSetting(application, "Printing", "PdfFolder", "");
    if (folder.empty())
        return std::nullopt;
    return QString::fromStdString(folder);
}

void nameApplication(const QString& name, const QString& iconPath) {
    QApplication::setApplicationName(name);
    QApplication::setWindowIcon(QIcon(iconPath));
}

} // namespace examo
