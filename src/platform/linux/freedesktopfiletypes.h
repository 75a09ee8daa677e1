#pragma once

#include "platform/filetyperegistry.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace examo {

// The file type registry expressed the freedesktop way, for the current user: a class key
// "Name" becomes the MIME type application/x-name, an extension key ".ext" naming that class
// becomes its glob *.ext, and the class's open command becomes the desktop entry name.desktop,
// made the type's default application. The entry's icon is the program's own one, taken
// from the resource ":/icons/name.svg" (all lower case).
//
// The class's values are only collected. When an extension names the class, which is the
// last of the writes at start-up, what would be written is compared with the files as they
// are; only what differs is written, and only its desktop tool run. That work never delays
// the first window: it starts on a worker thread of this registry once the event loop runs,
// and finish() or the destructor complete it, so a program closed at once still registers.
// Missing or failing desktop tools are skipped: only the files decide the result.
class FreedesktopFileTypes : public FileTypeRegistry {
public:
    // Runs a desktop tool by name if it is installed; true when it ran and succeeded.
    using ToolRunner = std::function<bool(const QString& tool, const QStringList& arguments)>;

    // toolTimeoutMs bounds the wait for each desktop tool run.
    explicit FreedesktopFileTypes(int toolTimeoutMs = 10000);
    explicit FreedesktopFileTypes(ToolRunner runTool);
    ~FreedesktopFileTypes() override;
    FreedesktopFileTypes(const FreedesktopFileTypes&) = delete;
    FreedesktopFileTypes& operator=(const FreedesktopFileTypes&) = delete;

    bool setValue(const std::string& key, const std::string& subKey,
                  const std::string& value) override;

    // Does the registration still waiting now and waits for the one under way; false when
    // one of its files could not be written.
    bool finish();

    // The program an open command runs: "/opt/x/ExamoMe %1" and "/opt/x/ExamoMe.exe %1"
    // both give "/opt/x/ExamoMe".
    static QString programOfCommand(const QString& command);
    // The program as the first field of a desktop entry's Exec key, quoted and escaped
    // where needed.
    static QString execProgramField(const QString& program);

    struct Registration;

private:
    struct FileClass {
        QString name;
        QString description;
        QString command;
    };

    bool registerExtension(const QString& extension, const QString& className);
    // The type, its icon and its application in the user's own folders.
    void planUserFiles(Registration& r, const QString& name, const QString& extension,
                       const FileClass& fileClass, const QString& description);
    // The desktop entry of the class's program, made the type's default application.
    void planApplication(Registration& r, const QString& name, const FileClass& fileClass,
                         const QString& description, const QString& iconPath);
    void startWorker();

    ToolRunner runTool_;
    std::map<QString, FileClass> classes_;
    std::unique_ptr<Registration> pending_; // differs from the files, not yet started
    std::thread worker_;
    bool ok_ = true;      // written by the worker, read after it is joined
    QObject queuedCalls_; // its destruction drops a start still queued
};

} // namespace examo
