#include "creator/helpwindow.h"

#include "widgets/screenreadernames.h"

#include <QUrl>

namespace examo {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("ExamoForge Help"));
    setOpenExternalLinks(true);
    setSource(QUrl(QStringLiteral("qrc:/help/examoforge.html")));
    resize(720, 560);
    nameForScreenReaders(this);
}

} // namespace examo
