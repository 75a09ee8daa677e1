#include "player/examomeprogram.h"

#include "platform/linux/qtsettingsstore.h"

namespace examo {

ExamoMeProgram::ExamoMeProgram(std::optional<QString> pdfFolder, Overrides overrides)
    : m_dialogs(overrides.dialogs ? *overrides.dialogs : m_qtDialogs),
      m_fileDialogs(overrides.fileDialogs ? *overrides.fileDialogs : m_qtFileDialogs),
      m_program(overrides.program ? *overrides.program : m_qtProgram),
      m_printer(QStringLiteral("ExamoMe"), std::move(pdfFolder)) {
    m_form.attach(&m_module);
}

std::optional<QString> ExamoMeProgram::configuredPdfFolder() {
    if (auto fromEnvironment = QtPrinter::pdfFolderFromEnvironment())
        return fromEnvironment;
    QtSettingsStore settings;
    const std::string folder = settings.getSetting("ExamoMe", "Printing", "PdfFolder", "");
    if (folder.empty())
        return std::nullopt;
    return QString::fromStdString(folder);
}

} // namespace examo
