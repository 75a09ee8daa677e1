#include "avimaker/frmavi.h"

#include "avimaker/cdib.h"
#include "filedialogs/cfiledlg.h"
#include "platform/twips.h"
#include "storage/textrules.h"
#include "widgets/controltable.h"
#include "widgets/screenreadernames.h"

#include <QCloseEvent>
#include <QPixmap>
#include <QShowEvent>

#include <exception>
#include <filesystem>
#include <system_error>

namespace examo {

namespace {

constexpr std::uint32_t kSlowestRate = 1;
constexpr std::uint32_t kFastestRate = 30;
constexpr const char* kInitialFps = "6";
constexpr const char* kInitialStatus = "AVI Status";

// The AVI maker's controls.
// clang-format off
constexpr ControlSpec kAviControls[] = {
    {.name = "lstDIBList", .left = 120, .top = 120, .width = 4575, .height = 3000},
    {.name = "cmdFileOpen", .caption = "Add BMP file to list...",
     .left = 120, .top = 3240, .width = 2235, .height = 405},
    {.name = "cmdClearList", .caption = "Clear file list",
     .left = 2460, .top = 3240, .width = 2235, .height = 405},
    {.name = "imgPreview", .left = 4815, .top = 120, .width = 3165, .height = 2160},
    {.name = "lblFrameRate", .caption = "Frames Per Second:",
     .left = 4815, .top = 2430, .width = 1800, .height = 285},
    {.name = "txtFPS", .caption = kInitialFps,
     .left = 6660, .top = 2385, .width = 525, .height = 330},
    {.name = "lblfps", .caption = "(1 - 30)",
     .left = 7260, .top = 2430, .width = 720, .height = 285},
    {.name = "cmdWriteAVI", .caption = "Write AVI...",
     .left = 4815, .top = 2790, .width = 3165, .height = 405},
    {.name = "cmdCancel", .caption = "Exit",
     .left = 4815, .top = 3240, .width = 3165, .height = 405},
    {.name = "lblStatus", .caption = kInitialStatus,
     .left = 120, .top = 3795, .width = 7860, .height = 375},
};
// clang-format on

template <class W> W* build(QWidget* parent, std::string_view name) {
    return buildControl<W>(parent, kAviControls, name);
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
    connect(cmdFileOpen, &QPushButton::clicked, this, &frmAVI::cmdFileOpen_Click);
    connect(cmdClearList, &QPushButton::clicked, this, &frmAVI::cmdClearList_Click);
    connect(cmdWriteAVI, &QPushButton::clicked, this, &frmAVI::cmdWriteAVI_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAVI::cmdCancel_Click);
    Form_Load();
}

frmAVI::~frmAVI() {
    if (m_loaded)
        Form_Unload();
}

void frmAVI::buildControls() {
    useDesignFont(this);
    setFixedSize(twipsToPixels(8100), twipsToPixels(4335));

    lstDIBList = build<QListWidget>(this, "lstDIBList");
    lstDIBList->setAccessibleName(QStringLiteral("Bitmap files"));
    cmdFileOpen = build<QPushButton>(this, "cmdFileOpen");
    cmdClearList = build<QPushButton>(this, "cmdClearList");

    imgPreview = build<QLabel>(this, "imgPreview");
    imgPreview->setFrameShape(QFrame::StyledPanel);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setAccessibleName(QStringLiteral("Bitmap preview"));
    lblFrameRate = build<QLabel>(this, "lblFrameRate");
    txtFPS = build<QLineEdit>(this, "txtFPS");
    lblfps = build<QLabel>(this, "lblfps");
    cmdWriteAVI = build<QPushButton>(this, "cmdWriteAVI");
    cmdCancel = build<QPushButton>(this, "cmdCancel");

    lblStatus = build<QLabel>(this, "lblStatus");
    lblStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblStatus->setIndent(6);
    nameForScreenReaders(this);
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
    m_firstChannels = {};
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
            // Frames of one movie share one format, compression and colour masks included: a
            // run-length frame among plain ones could only be written as garbage, and every
            // frame is decoded with the first one's masks.
            const auto format = dib::describe(dib.BitmapInfo());
            const auto channels = format ? format->channels : decltype(m_firstChannels){};
            if (HaveFirstFrame &&
                (dib.Width() != FirstWidth || dib.Height() != FirstHeight ||
                 dib.BitCount() != FirstBitCount || dib.Compression() != m_firstCompression ||
                 channels != m_firstChannels)) {
                m_dialogs.message("Chosen bitmap file is a different format!", Dialogs::Buttons::Ok,
                                  Dialogs::Icon::Information);
            } else {
                if (!HaveFirstFrame) {
                    FirstWidth = dib.Width();
                    FirstHeight = dib.Height();
                    FirstBitCount = dib.BitCount();
                    m_firstCompression = dib.Compression();
                    m_firstChannels = channels;
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
    info.frame = AviRect{.left = 0, .top = 0, .right = dib.Width(), .bottom = dib.Height()};
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
