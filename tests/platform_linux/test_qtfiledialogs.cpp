#include "platform/linux/qtfiledialogs.h"

#include "support/modalanswer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace std::string_literals;
using examo::FileDialogRequest;
namespace dlgflags = examo::dlgflags;

TEST(QtFileDialogs, FiltersCarryTheirPatternsOnceInQtForm) {
    EXPECT_EQ(
        examo::qtNameFilters("Quiz files (*.exm)\0*.exm\0"
                             "Pictures\0*.bmp;*.jpg\0"
                             "Sounds (*.wav;*.mid)\0*.wav;*.mid\0"
                             "Text (plain)\0*.txt\0"
                             "All files (*.*)\0*.*\0\0"s),
        QStringList({QStringLiteral("Quiz files (*.exm)"), QStringLiteral("Pictures (*.bmp *.jpg)"),
                     QStringLiteral("Sounds (*.wav *.mid)"), QStringLiteral("Text (plain) (*.txt)"),
                     QStringLiteral("All files (*)")}));
    EXPECT_EQ(examo::QtFileDialogs().getFileTitle("/home/ann/capitals.exm"), "capitals.exm");
    EXPECT_EQ(examo::QtFileDialogs().getFileTitle(""), "");
}

namespace {

// Types a name into the file name box and confirms it, as a user would. (selectFile()
// leaves the box alone while it has the focus, and QFileDialog makes accept() protected.)
void choose(QFileDialog* dialog, const char* name) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QString::fromUtf8(name));
    static_cast<QDialog*>(dialog)->accept();
}

class QtFileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dir.path()).mkdir(QStringLiteral("quizzes"));
        QFile(path("capitals.exm")).open(QIODevice::WriteOnly);
        request.filter = "Pictures (*.bmp;*.png)\0*.bmp;*.png\0Quiz files\0*.exm\0\0"s;
        request.filterIndex = 2;
        request.initialDir = path("").toStdString();
        request.flags = dlgflags::kFileMustExist | dlgflags::kHideReadOnly;
    }
    void TearDown() override { QDir::setCurrent(saved); }

    QString path(const char* name) const {
        return QDir(dir.filePath(QStringLiteral("quizzes"))).filePath(QString::fromUtf8(name));
    }

    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    FileDialogRequest request;
    examo::QtFileDialogs dialogs;
};

} // namespace

TEST_F(QtFileDialogsTest, OpenGivesTheFileAndMakesItsFolderCurrent) {
    answerNextModal<QFileDialog>([this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Quiz files (*.exm)"));
        EXPECT_EQ(dialog->directory().absolutePath(), path(""));
        choose(dialog, "capitals.exm");
    });
    const auto result = dialogs.getOpenFileName(request);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.fileBuffer, path("capitals.exm").toStdString() + '\0');
    EXPECT_EQ(result.fileTitleBuffer, "capitals.exm\0"s);
    EXPECT_EQ(result.filterIndex, 2);
    EXPECT_EQ(result.flags, request.flags);
    EXPECT_EQ(QDir::currentPath(), QDir(path("")).canonicalPath());

    QDir::setCurrent(saved);
    answerNextModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(dialogs.getOpenFileName(request).ok);
    EXPECT_EQ(QDir::currentPath(), saved);
}

TEST_F(QtFileDialogsTest, SaveStartsWithTheTrimmedNameAndAddsTheDefaultExtension) {
    request.fileBuffer = "untitled.exm" + std::string(248, ' ');
    request.defaultExt = "exm";
    answerNextModal<QFileDialog>([this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->selectedFiles().value(0), path("untitled.exm"));
        choose(dialog, "rivers");
    });
    const auto result = dialogs.getSaveFileName(request);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.fileBuffer, path("rivers.exm").toStdString() + '\0');
}

TEST_F(QtFileDialogsTest, PreviewShowsTheHighlightedPictureScaledDown) {
    QImage picture(800, 200, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path("wide.png")));
    answerNextModal<QFileDialog>([this](QFileDialog* dialog) {
        auto* preview = dialog->findChild<QLabel*>(QStringLiteral("preview"));
        ASSERT_NE(preview, nullptr);
        Q_EMIT dialog->currentChanged(path("wide.png"));
        const QSize shown = preview->pixmap().size();
        EXPECT_TRUE(shown.width() <= preview->width() && shown.width() >= preview->width() - 4);
        EXPECT_EQ(shown.height(), shown.width() / 4);
        Q_EMIT dialog->currentChanged(path("capitals.exm"));
        EXPECT_TRUE(preview->pixmap().isNull());
        choose(dialog, "wide.png");
    });
    request.filterIndex = 1;
    const auto result = dialogs.getOpenFileNamePreview(request);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.filterIndex, 1);
}
