#include "avimaker/frmavi.h"

#include "avimaker/cdib.h"
#include "filedialogs/cfiledlg.h"
#include "platform/twips.h"
#include "storage/textrules.h"

#include <QCloseEvent>
#include <QFont>
#include <QPixmap>
#include <QShowEvent>

#include <exception>
#include <filesystem>
#include <system_error>

namespace examo {

namespace {

constexpr std::uint32_t kSlowestRate = 1;
constexpr std::uint32_t kFastestRate = 30;
const char* const kInitialFps = "6";
const char* const kInitialStatus = "AVI Status";

template <class W> W* place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
    return widget;
}

// What every frame of one movie must share with its first.
struct FrameFormat {
    std::int32_t width, height, bitCount, compression;
    explicit FrameFormat(const cDIB& dib)
        : width(dib.Width()), height(dib.Height()), bitCount(dib.BitCount()),
          compression(dib.Compression()) {}
    bool operator==(const FrameFormat&) const = default;
};

} // namespace

// The handles of one write, released whatever becomes of it.
struct frmAVI::Writing {
    std::string path;
    bool created = false;
    AviFileHandle file = 0;
    AviStreamHandle stream = 0;
    AviStreamHandle compressed = 0;
    AviCompressOptions options;
    bool optionsHeld = false;
};

frmAVI::frmAVI(Dialogs& dialogs, FileDialogs& fileDialogs, Shell& shell, ProgramInfo& program,
               AviFileLibrary& avi, PictureLoader& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_fileDialogs(fileDialogs), m_shell(shell),
      m_program(program), m_avi(avi), m_pictures(pictures) {
    setWindowTitle(QStringLiteral("ExamoMe AVI Maker"));
    buildControls();
    connect(cmdFileOpen, &QPushButton::clicked, this, [this] { cmdFileOpen_Click(); });
    connect(cmdClearList, &QPushButton::clicked, this, [this] { cmdClearList_Click(); });
    connect(cmdWriteAVI, &QPushButton::clicked, this, [this] { cmdWriteAVI_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    Form_Load();
}

frmAVI::~frmAVI() {
    if (m_loaded)
        Form_Unload();
}

void frmAVI::buildControls() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    setFont(font);
    setFixedSize(twipsToPixels(8100), twipsToPixels(4335));

    lstDIBList = place(new QListWidget(this), 120, 120, 4575, 3000);
    cmdFileOpen = place(new QPushButton(QStringLiteral("Add BMP file to list..."), this), 120, 3240,
                        2235, 405);
    cmdClearList =
        place(new QPushButton(QStringLiteral("Clear file list"), this), 2460, 3240, 2235, 405);

    imgPreview = place(new QLabel(this), 4815, 120, 3165, 2160);
    imgPreview->setFrameShape(QFrame::StyledPanel);
    imgPreview->setAlignment(Qt::AlignCenter);
    lblFrameRate =
        place(new QLabel(QStringLiteral("Frames Per Second:"), this), 4815, 2430, 1800, 285);
    txtFPS = place(new QLineEdit(QString::fromLatin1(kInitialFps), this), 6660, 2385, 525, 330);
    lblfps = place(new QLabel(QStringLiteral("(1 - 30)"), this), 7260, 2430, 720, 285);
    cmdWriteAVI =
        place(new QPushButton(QStringLiteral("Write AVI..."), this), 4815, 2790, 3165, 405);
    cmdCancel = place(new QPushButton(QStringLiteral("Exit"), this), 4815, 3240, 3165, 405);

    lblStatus = place(new QLabel(QString::fromLatin1(kInitialStatus), this), 120, 3795, 7860, 375);
    lblStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblStatus->setIndent(6);
}

std::uint32_t frmAVI::FramesPerSecond(const std::string& text) {
    const double rounded = text::RoundHalfEven(text::Val(text));
    if (!(rounded >= kSlowestRate))
        return kSlowestRate;
    if (rounded > kFastestRate)
        return kFastestRate;
    return static_cast<std::uint32_t>(rounded);
}

void frmAVI::Form_Load() {
    m_avi.fileInit();
    cmdClearList_Click();
    m_loaded = true;
}

void frmAVI::Form_Unload() {
    m_avi.fileExit();
    cmdClearList_Click();
    m_loaded = false;
}

void frmAVI::reload() {
    txtFPS->setText(QString::fromLatin1(kInitialFps));
    lblStatus->setText(QString::fromLatin1(kInitialStatus));
    LastBitmapFolder.clear();
    Form_Load();
}

void frmAVI::showEvent(QShowEvent* event) {
    // Shown again after it was closed: a fresh window, as a reloaded form is.
    if (!m_loaded)
        reload();
    QWidget::showEvent(event);
}

void frmAVI::closeEvent(QCloseEvent* event) {
    if (m_loaded)
        Form_Unload();
    event->accept();
}

void frmAVI::cmdCancel_Click() {
    close();
}

void frmAVI::cmdClearList_Click() {
    lstDIBList->clear();
    imgPreview->clear();
    FirstWidth = 0;
    FirstHeight = 0;
    FirstBitCount = 0;
    m_firstCompression = 0;
    HaveFirstFrame = false;
    cmdClearList->setEnabled(false);
    cmdWriteAVI->setEnabled(false);
}

std::string frmAVI::entryPath(int row) const {
    const QListWidgetItem* item = lstDIBList->item(row);
    return item == nullptr ? std::string() : item->data(Qt::UserRole).toByteArray().toStdString();
}

void frmAVI::showPicture(const std::string& path) {
    const QImage picture = m_pictures.load(QString::fromStdString(path));
    if (picture.isNull()) {
        imgPreview->clear();
        return;
    }
    const QSize box = imgPreview->contentsRect().size();
    QPixmap shown = QPixmap::fromImage(picture);
    if (shown.width() > box.width() || shown.height() > box.height())
        shown = shown.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    imgPreview->setPixmap(shown);
}

void frmAVI::cmdFileOpen_Click() {
    cFileDlg dlg(m_fileDialogs, m_shell, m_program);
    dlg.DlgTitle("Choose BMP file to add to video stream");
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    if (!LastBitmapFolder.empty())
        dlg.InitDirectory(LastBitmapFolder);

    std::string path;
    if (dlg.VBGetOpenFileName(path)) {
        cDIB dib(m_dialogs);
        if (dib.CreateFromFile(path)) {
            // Frames of one movie share one format, compression included: a run-length frame
            // among plain ones could only be written as garbage.
            if (HaveFirstFrame &&
                (dib.Width() != FirstWidth || dib.Height() != FirstHeight ||
                 dib.BitCount() != FirstBitCount || dib.Compression() != m_firstCompression)) {
                m_dialogs.message("Chosen bitmap file is a different format!", Dialogs::Buttons::Ok,
                                  Dialogs::Icon::Information);
            } else {
                if (!HaveFirstFrame) {
                    FirstWidth = dib.Width();
                    FirstHeight = dib.Height();
                    FirstBitCount = dib.BitCount();
                    m_firstCompression = dib.Compression();
                    HaveFirstFrame = true;
                }
                showPicture(path);
                auto* item = new QListWidgetItem(QString::fromStdString(path));
                // The exact bytes of the name, whatever its encoding.
                item->setData(Qt::UserRole, QByteArray::fromStdString(path));
                lstDIBList->addItem(item);
            }
            cmdClearList->setEnabled(true);
            cmdWriteAVI->setEnabled(true);
        }
    }
    LastBitmapFolder = dlg.InitDirectory();
}

void frmAVI::cmdWriteAVI_Click() {
    cFileDlg dlg(m_fileDialogs, m_shell, m_program);
    dlg.DefaultExt("avi");
    dlg.DlgTitle("Choose a filename to save AVI to...");
    dlg.Filter("AVI Files|*.avi");
    dlg.OwnerHwnd(static_cast<std::intptr_t>(winId()));
    Writing w;
    w.path = "MyAVI.avi";
    if (!dlg.VBGetSaveFileName(w.path))
        return;

    Outcome outcome = Outcome::Failed;
    try {
        outcome = writeMovie(w);
    } catch (const std::exception&) {
        outcome = Outcome::Failed;
    }

    // Clean-up. The options go back after every write, not only after a cancel; and a file
    // is only complete once released, so a failed release is a failed write.
    if (w.optionsHeld)
        m_avi.saveOptionsFree(w.options);
    bool released = true;
    if (w.stream != 0)
        released = m_avi.streamRelease(w.stream) == 0 && released;
    if (w.compressed != 0)
        released = m_avi.streamRelease(w.compressed) == 0 && released;
    if (w.file != 0)
        released = m_avi.fileRelease(w.file) == 0 && released;
    if (!released)
        outcome = Outcome::Failed;
    if (outcome == Outcome::Failed) {
        // What is left of a failed movie would only look like one. Only a plain file goes:
        // never a device or a link that the name happened to be.
        std::error_code error;
        if (w.created && std::filesystem::symlink_status(w.path, error).type() ==
                             std::filesystem::file_type::regular)
            std::filesystem::remove(w.path, error);
        m_dialogs.message("There was an error writing the file.", Dialogs::Buttons::Ok,
                          Dialogs::Icon::Information);
    }
}

frmAVI::Outcome frmAVI::writeMovie(Writing& w) {
    if (m_avi.fileOpen(w.file, w.path, avimode::kWrite | avimode::kCreate) != 0)
        return Outcome::Failed;
    w.created = true;

    cDIB dib(m_dialogs);
    lstDIBList->setCurrentRow(0);
    if (!dib.CreateFromFile(entryPath(0))) {
        m_dialogs.message("Could not load first bitmap file in list!", Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
        return Outcome::Stopped;
    }
    const FrameFormat first(dib);

    AviStreamInfo info;
    info.fccType = fourCC("vids");
    info.fccHandler = 0;
    info.scale = 1;
    info.rate = FramesPerSecond(txtFPS->text().toStdString());
    info.suggestedBufferSize = static_cast<std::uint32_t>(dib.SizeImage());
    info.frame = AviRect{0, 0, dib.Width(), dib.Height()};
    if (m_avi.fileCreateStream(w.file, w.stream, info) != 0)
        return Outcome::Failed;

    w.optionsHeld = true;
    if (m_avi.saveOptions(static_cast<std::intptr_t>(winId()),
                          avisaveflags::kKeyFrames | avisaveflags::kDataRate, w.stream,
                          w.options) != 1)
        return Outcome::Stopped;
    if (m_avi.makeCompressedStream(w.compressed, w.stream, w.options) != 0)
        return Outcome::Failed;
    if (m_avi.streamSetFormat(w.compressed, 0, dib.BitmapInfo()) != 0)
        return Outcome::Failed;

    for (int i = 0; i < lstDIBList->count(); ++i) {
        lstDIBList->setCurrentRow(i);
        const std::string path = entryPath(i);
        // A file that cannot be read gives the previous frame again, as it has been told;
        // one that changed its format since it was added cannot be a frame of this movie.
        if (dib.CreateFromFile(path) && !(FrameFormat(dib) == first))
            return Outcome::Failed;
        if (m_avi.streamWrite(w.compressed, i, 1, dib.Bits(), kAviKeyFrame) != 0)
            return Outcome::Failed;
        showPicture(path);
        imgPreview->repaint();
        lblStatus->setText(QStringLiteral("Frame number %1 saved").arg(i));
        lblStatus->repaint();
    }
    lblStatus->setText(QStringLiteral("Finished!"));
    return Outcome::Finished;
}

} // namespace examo
