#include "creator/examoforgeprogram.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ExamoForge"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/examoforge.svg")));
    examo::ExamoForgeProgram program(examo::QtPrinter::pdfFolderFromEnvironment());
    program.module().Main();
    return QApplication::exec();
}
