#include "app/examoforge/examoforgedesktop.h"
#include "creator/examoforge.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    examo::nameApplication(QStringLiteral("ExamoForge"), QStringLiteral(":/icons/examoforge.svg"));
    examo::DesktopPerson person("ExamoForge");
    examo::ExamoForgeDesktop desktop(person.dialogs, person.fileDialogs, person.program,
                                     examo::configuredPdfFolder("ExamoForge"));
    examo::ExamoForge program(desktop.services, desktop.aviLibrary);
    program.module().Main();
    return QApplication::exec();
}
