#include "creator/modcreate.h"

#include "creator/frmcreate.h"
#include "quizrun/fitpicture.h"
#include "storage/textrules.h"

namespace examo {

// ---- the editor's media preview ----

void modCreate::PreviewMedia(const std::string& path) {
    PreviewMediaPath = path;
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(path));
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
    if (ext == "wav") {
        sound(QStringLiteral("Wav Preview"), QStringLiteral("Play Wav"));
        modSound::PlayWaveFile(media, path, "async");
    } else if (ext == "avi") {
        movie(QStringLiteral("Avi Preview"));
        modSound::PlayAviMovie(media, path, *m_form.picPreview, true);
    } else if (ext == "mpg" || ext == "mpeg") {
        movie(QStringLiteral("MPEG Preview"));
        modSound::PlayMpegMovie(media, path, *m_form.picPreview, true);
    } else if (ext == "mid" || ext == "midi") {
        sound(QStringLiteral("Midi Preview"), QStringLiteral("Play Midi"));
        modSound::PlayMidiFile(media, path);
    } else if (ext == "mp3") {
        sound(QStringLiteral("MP3 Preview"), QStringLiteral("Play MP3"));
        modSound::PlayMp3File(media, path);
    } else if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "wmf") {
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
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(PreviewMediaPath));
    auto& media = m_services.media;
    modSound::CloseAllMedia(media);
    if (ext == "wav")
        modSound::PlayWaveFile(media, PreviewMediaPath, "async");
    else if (ext == "mid" || ext == "midi")
        modSound::PlayMidiFile(media, PreviewMediaPath);
    else if (ext == "mp3")
        modSound::PlayMp3File(media, PreviewMediaPath);
}

} // namespace examo
