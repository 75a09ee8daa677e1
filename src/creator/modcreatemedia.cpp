#include "creator/modcreate.h"

#include "creator/frmcreate.h"
#include "quizrun/fitpicture.h"
#include "storage/fileexists.h"
#include "storage/mediafile.h"
#include "storage/modfileio.h"
#include "storage/textrules.h"

namespace examo {

namespace {

std::string mediaFilter() {
    // Each text ends in a NUL, the last one included.
    return modFileIO::Filter(
               {"Multimedia Files", "*.bmp;*.jpg;*.wmf;*.wav;*.avi;*.mid;*.mp3;*.mpeg;*.mpg",
                "Image Files (*.bmp;*.jpg;*.wmf)", "*.BMP;*.JPG;*.JPEG;*.WMF", "Wav Files (*.WAV)",
                "*.WAV", "AVI Files (*.avi)", "*.AVI", "MIDI Files (*.mid)", "*.MID",
                "MP3 Files (*.mp3)", "*.MP3", "MPEG Files (*.mpg)(*.mpeg)", "*.MPG;*.MPEG"}) +
           '\0';
}

} // namespace

// ---- choosing a question's media ----

void modCreate::chooseMedia(QLineEdit* box) {
    modSound::CloseAllMedia(m_services.media);
    const std::string path = modFileIO::ShowOpenDialog(
        m_services.fileDialogs, m_services.dialogs, static_cast<std::intptr_t>(m_form.winId()),
        mediaFilter(), m_services.program.currentFolder());
    if (!files::FileExists(path)) {
        // A pipe or a device would hang the player that tried to read it.
        if (files::AnythingAt(path))
            message("The file " + text::QuoteInMessage(path) +
                        " is not a picture, sound or movie file.",
                    Dialogs::Icon::Critical);
        return;
    }
    box->setText(QString::fromStdString(path));
    PreviewMedia(path);
}

void modCreate::cmdMpic_Click() {
    chooseMedia(m_form.txtMpic);
}

void modCreate::cmdPic_Click() {
    chooseMedia(m_form.txtTFpic);
}

void modCreate::cmdMRemove_Click() {
    m_form.txtMpic->setText(QStringLiteral("None"));
    ClearMediaPreview();
}

void modCreate::cmdTRemove_Click() {
    m_form.txtTFpic->setText(QStringLiteral("None"));
    ClearMediaPreview();
}

void modCreate::mediaBoxChanged(QLineEdit* box) {
    // An emptied box means no media; what the preview showed goes with it.
    if (!box->text().isEmpty())
        return;
    box->setText(QStringLiteral("none"));
    m_form.picPreview->clearPicture();
}

void modCreate::txtMpic_Change() {
    mediaBoxChanged(m_form.txtMpic);
}

void modCreate::txtTFpic_Change() {
    mediaBoxChanged(m_form.txtTFpic);
}

// ---- the editor's media preview ----

void modCreate::PreviewMedia(const std::string& path) {
    PreviewMediaPath = path;
    using mediafile::Kind;
    const Kind kind = mediafile::KindOf(path);
    auto& media = m_services.media;
    auto sound = [this](const QString& label, const QString& button) {
        m_form.lblPreview->setText(label);
        m_form.cmdPlaywav->setText(button);
        m_form.cmdPlaywav->show();
        m_form.picPreview->clearPicture();
        m_form.picPreview->hide();
    };
    auto movie = [this](const QString& label) {
        m_form.lblPreview->setText(label);
        m_form.cmdPlaywav->hide();
        m_form.picPreview->show();
    };
    if (kind == Kind::Wave) {
        sound(QStringLiteral("Wav Preview"), QStringLiteral("Play Wav"));
        modSound::PlayWaveFile(media, path, "async");
    } else if (kind == Kind::Avi) {
        movie(QStringLiteral("Avi Preview"));
        modSound::PlayAviMovie(media, path, *m_form.picPreview, true);
    } else if (kind == Kind::Mpeg) {
        movie(QStringLiteral("MPEG Preview"));
        modSound::PlayMpegMovie(media, path, *m_form.picPreview, true);
    } else if (kind == Kind::Midi) {
        sound(QStringLiteral("Midi Preview"), QStringLiteral("Play Midi"));
        modSound::PlayMidiFile(media, path);
    } else if (kind == Kind::Mp3) {
        sound(QStringLiteral("MP3 Preview"), QStringLiteral("Play MP3"));
        modSound::PlayMp3File(media, path);
    } else if (kind == Kind::Picture) {
        m_form.lblPreview->setText(QStringLiteral("Picture Preview"));
        m_form.picPreview->show();
        const QImage picture = m_services.pictures.load(QString::fromStdString(path));
        if (picture.isNull()) {
            message("Error loading media file!", Dialogs::Icon::Critical);
            return;
        }
        m_form.imgHide->setAutoSizedPicture(picture);
        ShowThumbnail();
    }
}

void modCreate::ShowThumbnail() {
    const QImage& picture = m_form.imgHide->picture();
    if (picture.isNull())
        return;
    const QRect r = FittedRect(picture.width(), picture.height(), m_form.picPreview->innerWidth(),
                               m_form.picPreview->innerHeight());
    m_form.picPreview->clearPicture();
    m_form.picPreview->paintPicture(picture, r.x(), r.y(), r.width(), r.height());
    m_form.cmdPlaywav->hide();
    m_form.picPreview->show();
    m_form.lblPreview->setText(QStringLiteral("Picture Thumbnail"));
}

void modCreate::ClearMediaPreview() {
    m_form.picPreview->clearPicture();
    m_form.picPreview->hide();
    m_form.lblPreview->setText(QStringLiteral("No Media Chosen"));
    m_form.cmdPlaywav->hide();
    m_form.imgHide->setAutoSizedPicture(QImage());
    modSound::CloseAllMedia(m_services.media);
}

void modCreate::cmdPlaywav_Click() {
    const mediafile::Kind kind = mediafile::KindOf(PreviewMediaPath);
    auto& media = m_services.media;
    modSound::CloseAllMedia(media);
    if (kind == mediafile::Kind::Wave)
        modSound::PlayWaveFile(media, PreviewMediaPath, "async");
    else if (kind == mediafile::Kind::Midi)
        modSound::PlayMidiFile(media, PreviewMediaPath);
    else if (kind == mediafile::Kind::Mp3)
        modSound::PlayMp3File(media, PreviewMediaPath);
}

} // namespace examo
