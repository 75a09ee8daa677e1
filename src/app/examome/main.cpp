#include "app/examome/examomedesktop.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprograminfo.h"
#include "player/examome.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ExamoMe"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/examome.svg")));
    examo::QtDialogs dialogs("ExamoMe");
    examo::QtFileDialogs fileDialogs;
    examo::QtProgramInfo programInfo("ExamoMe", examo::ProgramVersion{1, 0, 0});
    examo::ExamoMeDesktop desktop(dialogs, fileDialogs, programInfo,
                                  examo::configuredPdfFolder("ExamoMe"));
    examo::ExamoMe program(desktop.services);
    program.module().Main();
    if (program.window().unloaded())
        return 0;
    return QApplication::exec();
}
