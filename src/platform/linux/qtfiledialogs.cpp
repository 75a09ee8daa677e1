#include "platform/linux/qtfiledialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>

#include <algorithm>
#include <stdexcept>

namespace examo {

namespace {

// Set by the callers when the current folder must stay as it is.
constexpr std::uint32_t kNoChangeDir = 0x8;

constexpr int kPreviewEdge = 200;

std::string upToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// The patterns of a filter entry as Qt wants them: blank-separated, "*.*" as "*".
QString qtPatterns(const QString& patterns) {
    static const QRegularExpression kSeparators(QStringLiteral("[;,\\s]+"));
    QStringList result;
    for (const QString& pattern : patterns.split(kSeparators, Qt::SkipEmptyParts))
        result << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
    return result.isEmpty() ? QStringLiteral("*") : result.join(QLatin1Char(' '));
}

QString qtNameFilter(const QString& description, const QString& patterns) {
    const QString wanted = qtPatterns(patterns);
    QString text = description.trimmed();
    // Most descriptions already show their patterns, "Quiz files (*.exm)"; Qt reads the
    // patterns from that bracket, so it must hold the blank-separated form only once.
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    if (text.endsWith(QLatin1Char(')')) && open >= 0 &&
        qtPatterns(text.mid(open + 1, text.size() - open - 2)) == wanted)
        text = text.left(open).trimmed();
    return text + QStringLiteral(" (") + wanted + QLatin1Char(')');
}

void showPreview(QLabel* label, const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize box = label->contentsRect().size();
    const QSize size = reader.size();
    // Decoding straight to the small size keeps large photographs quick to show.
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) {
        label->clear();
        return;
    }
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    label->setPixmap(QPixmap::fromImage(image));
}

void addPreview(QFileDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr)
        return;
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(kPreviewEdge, kPreviewEdge);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview,
                     [preview](const QString& path) { showPreview(preview, path); });
}

// A caller may start the dialog at the file it chose last: it opens in that file's folder.
void startIn(QFileDialog& dialog, const FileDialogRequest& request) {
    QString initialDir = QString::fromStdString(upToNul(request.initialDir));
    if (QFileInfo(initialDir).isFile())
        initialDir = QFileInfo(initialDir).absolutePath();
    dialog.setDirectory(initialDir.isEmpty() ? QDir::currentPath() : initialDir);
}

// filterIndex counts from 1; out of range, the first filter is selected.
void selectFilter(QFileDialog& dialog, const QStringList& filters, std::int32_t filterIndex) {
    if (filters.isEmpty())
        return;
    dialog.setNameFilters(filters);
    const int index = filterIndex >= 1 && filterIndex <= filters.size() ? filterIndex - 1 : 0;
    dialog.selectNameFilter(filters.at(index));
}

void setMode(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite,
                         (request.flags & dlgflags::kOverwritePrompt) == 0);
        return;
    }
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (request.flags & dlgflags::kAllowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (request.flags & dlgflags::kFileMustExist)
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
}

// The chosen files in the buffers, and the current folder moved to theirs unless the
// request says otherwise.
FileDialogResult chosen(const QStringList& files, const FileDialogRequest& request) {
    FileDialogResult result;
    result.ok = true;
    result.flags = request.flags;
    result.filterIndex = request.filterIndex;

    const QFileInfo first(files.first());
    const QString folder = QDir::toNativeSeparators(first.absolutePath());
    if (files.size() == 1) {
        result.fileBuffer = QDir::toNativeSeparators(files.first()).toStdString();
        result.fileBuffer += '\0';
    } else {
        // Several files come as the folder followed by the bare names, as the callers expect.
        result.fileBuffer = folder.toStdString();
        result.fileBuffer += '\0';
        for (const QString& file : files) {
            result.fileBuffer += QFileInfo(file).fileName().toStdString();
            result.fileBuffer += '\0';
        }
        result.fileBuffer += '\0';
    }
    result.fileTitleBuffer = first.fileName().toStdString();
    result.fileTitleBuffer += '\0';

    // The programs open their companion files relative to the folder last chosen.
    if ((request.flags & kNoChangeDir) == 0)
        QDir::setCurrent(folder);
    return result;
}

} // namespace

QStringList qtNameFilters(const std::string& filter) {
    QStringList result;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t descriptionEnd = std::min(filter.find('\0', pos), filter.size());
        if (descriptionEnd == pos)
            break; // the closing empty entry
        const std::string description = filter.substr(pos, descriptionEnd - pos);
        pos = std::min(descriptionEnd + 1, filter.size());
        const std::size_t patternEnd = std::min(filter.find('\0', pos), filter.size());
        const std::string patterns = filter.substr(pos, patternEnd - pos);
        pos = std::min(patternEnd + 1, filter.size());
        result << qtNameFilter(QString::fromStdString(description),
                               QString::fromStdString(patterns));
    }
    return result;
}

FileDialogResult QtFileDialogs::getOpenFileName(const FileDialogRequest& request) {
    return run(request, Kind::Open);
}

FileDialogResult QtFileDialogs::getOpenFileNamePreview(const FileDialogRequest& request) {
    return run(request, Kind::OpenWithPreview);
}

FileDialogResult QtFileDialogs::getSaveFileName(const FileDialogRequest& request) {
    return run(request, Kind::Save);
}

std::string QtFileDialogs::getFileTitle(const std::string& path) {
    const std::string name = upToNul(path);
    if (name.empty())
        return {};
    return QFileInfo(QString::fromStdString(name)).fileName().toStdString();
}

FileDialogResult QtFileDialogs::run(const FileDialogRequest& request, Kind kind) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        throw std::runtime_error("The file dialog needs a running QApplication.");

    QWidget* owner = request.owner != 0 ? QWidget::find(static_cast<WId>(request.owner)) : nullptr;
    QFileDialog dialog(owner, QString::fromStdString(request.title));
    if (kind == Kind::OpenWithPreview)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    startIn(dialog, request);
    const QStringList filters = qtNameFilters(request.filter);
    selectFilter(dialog, filters, request.filterIndex);
    setMode(dialog, request, kind == Kind::Save);
    dialog.setDefaultSuffix(QString::fromStdString(upToNul(request.defaultExt)));

    // Save requests come with a blank-padded name buffer.
    const QString initialFile = QString::fromStdString(upToNul(request.fileBuffer)).trimmed();
    if (!initialFile.isEmpty())
        dialog.selectFile(initialFile);

    if (kind == Kind::OpenWithPreview)
        addPreview(dialog);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};
    FileDialogResult result = chosen(files, request);
    if (const qsizetype selected = filters.indexOf(dialog.selectedNameFilter()); selected >= 0)
        result.filterIndex = static_cast<std::int32_t>(selected + 1);
    return result;
}

} // namespace examo
