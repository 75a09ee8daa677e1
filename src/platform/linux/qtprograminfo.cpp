#include "platform/linux/qtprograminfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace examo {

QtProgramInfo::QtProgramInfo(std::string title, ProgramVersion version)
    : title_(std::move(title)), version_(version) {}

std::string QtProgramInfo::title() {
    return title_;
}

std::string QtProgramInfo::folder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string QtProgramInfo::exeName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

ProgramVersion QtProgramInfo::version() {
    return version_;
}

std::string QtProgramInfo::commandLine() {
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments.join(QLatin1Char(' ')).toStdString();
}

std::string QtProgramInfo::currentFolder() {
    return QDir::currentPath().toStdString();
}

} // namespace examo
