#pragma once

#include "platform/filetyperegistry.h"

#include <QString>

#include <map>
#include <string>

namespace examo {

// The file type registry expressed the freedesktop way, for the current user: a class key
// "Name" becomes the MIME type application/x-name, an extension key ".ext" naming that class
// becomes its glob *.ext, and the class's open command becomes the desktop entry name.desktop,
// made the type's default application. The entry's icon is the program's own one, taken
// from the resource ":/icons/name.svg" (all lower case).
//
// The class's values are only collected; the files are written and the desktop's databases
// refreshed when an extension names the class, which is the last of the writes at start-up.
// Missing or failing desktop tools are skipped: only the files decide the result.
class FreedesktopFileTypes : public FileTypeRegistry {
public:
    // toolTimeoutMs bounds the wait for each desktop tool run.
    explicit FreedesktopFileTypes(int toolTimeoutMs = 10000);

    bool setValue(const std::string& key, const std::string& subKey,
                  const std::string& value) override;

    // The program an open command runs: "/opt/x/ExamoMe %1" and "/opt/x/ExamoMe.exe %1"
    // both give "/opt/x/ExamoMe".
    static QString programOfCommand(const QString& command);
    // The program as the first field of a desktop entry's Exec key, quoted and escaped
    // where needed.
    static QString execProgramField(const QString& program);

private:
    struct FileClass {
        QString name;
        QString description;
        QString command;
    };

    bool registerExtension(const QString& extension, const QString& className);
    // The desktop entry of the class's program, made the type's default application.
    bool installApplication(const QString& name, const FileClass& fileClass,
                            const QString& description, const QString& iconPath,
                            const QString& mimeType) const;

    int toolTimeoutMs_;
    std::map<QString, FileClass> classes_;
};

} // namespace examo
