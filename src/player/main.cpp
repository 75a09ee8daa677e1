#include "player/examomeprogram.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ExamoMe"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/examome.svg")));
    examo::ExamoMeProgram program(examo::ExamoMeProgram::configuredPdfFolder());
    program.module().Main();
    if (program.window().unloaded())
        return 0;
    return QApplication::exec();
}
