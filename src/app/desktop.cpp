#include "app/desktop.h"

#include "platform/linux/qtsettingsstore.h"

#include <QApplication>
#include <QIcon>

#include <sys/resource.h>
#include <unistd.h>

namespace examo {

namespace {

// Below the program's own threads, so that the window stays quick to answer.
constexpr int kBackgroundNice = 10;

} // namespace

DesktopMedia::~DesktopMedia() {
    if (warmUp.joinable())
        warmUp.join();
}

void DesktopMedia::warmUpInBackground() {
    if (warmUp.joinable())
        return;
    warmUp = std::thread([this] {
        setpriority(PRIO_PROCESS, id_t(gettid()), kBackgroundNice);
        gst.start();
    });
}

void afterFirstShow(DesktopMedia& media) {
    QMetaObject::invokeMethod(
        qApp, [&media] { media.warmUpInBackground(); }, Qt::QueuedConnection);
}

std::optional<QString> configuredPdfFolder(const std::string& application) {
    if (auto fromEnvironment = QtPrinter::pdfFolderFromEnvironment())
        return fromEnvironment;
    QtSettingsStore settings;
    const std::string folder = settings.getSetting(application, "Printing", "PdfFolder", "");
    if (folder.empty())
        return std::nullopt;
    return QString::fromStdString(folder);
}

void nameApplication(const QString& name, const QString& iconPath) {
    QApplication::setApplicationName(name);
    QApplication::setWindowIcon(QIcon(iconPath));
}

} // namespace examo
