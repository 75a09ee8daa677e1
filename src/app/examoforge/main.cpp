#include "app/examoforge/examoforgedesktop.h"
#include "creator/examoforge.h"
#include "storage/scorecsv.h"

#include <QApplication>

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    // The export runs before anything of the desktop is made, so it works with no display.
    if (argc > 1 && std::string_view(argv[1]) == "--export-csv")
        return examo::scorecsv::ExportLogs({argv + 2, argv + argc}, std::cerr);
    QApplication app(argc, argv);
    examo::nameApplication(QStringLiteral("ExamoForge"), QStringLiteral(":/icons/examoforge.svg"));
    examo::DesktopPerson person("ExamoForge");
    examo::ExamoForgeDesktop desktop(person.dialogs, person.fileDialogs, person.program,
                                     examo::configuredPdfFolder("ExamoForge"));
    examo::ExamoForge program(desktop.services, desktop.aviLibrary);
    // Queued: media are set up once an event loop runs (a sign-in box's, for one), with the
    // window already on screen, so the first sound does not wait for them.
    examo::afterFirstShow(desktop.desktopMedia);
    program.module().Main();
    return QApplication::exec();
}
