#include "app/desktopmedia.h"

#include "platform/linux/qtprinter.h"
#include "platform/linux/qtsettingsstore.h"

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

} // namespace examo
