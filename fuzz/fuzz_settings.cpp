// Any bytes in the settings file must read back as the recent-file values, or their defaults,
// never a crash: people edit the file by hand, and the creator reads MRU1..4 at start.
#include "platform/linux/qtsettingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A folder of our own for the settings, so the run never reads or writes the user's.
std::string& configHome() {
    static std::string folder;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    char folder[] = "/tmp/examo-fuzz-settings-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        std::abort();
    configHome() = folder;
    std::atexit([] { QDir(QString::fromStdString(configHome())).removeRecursively(); });
    ::setenv("XDG_CONFIG_HOME", folder, 1);
    // Made once and never destroyed: at exit Qt's own statics may already be gone.
    static int count = 1;
    static char* arguments[] = {(*argv)[0], nullptr};
    (void)argc;
    new QCoreApplication(count, arguments);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int round = 0;
    // A new file name each time: QSettings keeps files it has read, and would not see a
    // rewritten one of the same size within the same second.
    const std::string application = "ExamoForge" + std::to_string(round++ % 1000);
    const QString path = examo::QtSettingsStore::fileFor(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    examo::QtSettingsStore store;
    for (int n = 1; n <= 4; ++n) {
        const std::string value =
            store.getSetting(application, "Settings", "MRU" + std::to_string(n), "untitled");
        // As the creator shows it: a menu caption from the stored bytes.
        (void)QString::fromStdString(value).compare(QStringLiteral("untitled"),
                                                    Qt::CaseInsensitive);
    }
    QFile::remove(path);
    return 0;
}
