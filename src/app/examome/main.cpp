#include "app/examome/examomedesktop.h"
#include "player/examome.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    examo::nameApplication(QStringLiteral("ExamoMe"), QStringLiteral(":/icons/examome.svg"));
    examo::DesktopPerson person("ExamoMe");
    examo::ExamoMeDesktop desktop(person.dialogs, person.fileDialogs, person.program,
                                  examo::configuredPdfFolder("ExamoMe"));
    examo::ExamoMe program(desktop.services);
    program.module().Main();
    if (program.window().unloaded())
        return 0;
    return QApplication::exec();
}
