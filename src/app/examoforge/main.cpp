#include "app/examoforge/examoforgedesktop.h"
#include "creator/examoforge.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprograminfo.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ExamoForge"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/examoforge.svg")));
    examo::QtDialogs dialogs("ExamoForge");
    examo::QtFileDialogs fileDialogs;
    examo::QtProgramInfo programInfo("ExamoForge", examo::ProgramVersion{1, 0, 0});
    examo::ExamoForgeDesktop desktop(dialogs, fileDialogs, programInfo,
                                     examo::configuredPdfFolder("ExamoForge"));
    examo::ExamoForge program(desktop.services, desktop.aviLibrary);
    program.module().Main();
    return QApplication::exec();
}
