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
    // Queued: media are set up once an event loop runs (a sign-in box's, for one), with the
    // window already on screen, so the first sound does not wait for them.
    examo::afterFirstShow(desktop.desktopMedia);
    program.module().Main();
    if (program.window().unloaded())
        return 0;
    return QApplication::exec();
}
