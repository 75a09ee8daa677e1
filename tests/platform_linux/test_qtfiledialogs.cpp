#include "platform/linux/qtfiledialogs.h"

#include "support/modalanswer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace std::string_literals;

TEST(QtFileDialogs, FiltersCarryTheirPatternsOnceInQtForm) {
    EXPECT_EQ(
        examo::qtNameFilters("Quiz files (*.exm)\0*.exm\0Pictures\0*.bmp;*.jpg\0"
                             "Sounds (*.wav;*.mid)\0*.wav;*.mid\0Text (plain)\0*.txt\0"
                             "All files (*.*)\0*.*\0\0"s),
        QStringList({u"Quiz files (*.exm)"_s, u"Pictures (*.bmp *.jpg)"_s,
                     u"Sounds (*.wav *.mid)"_s, u"Text (plain) (*.txt)"_s, u"All files (*)"_s}));
    EXPECT_EQ(examo::QtFileDialogs().getFileTitle("/home/ann/capitals.exm"), "capitals.exm");
}

namespace {

// Types a name into the file name box and confirms it, as a user would. (selectFile() leaves
// the box alone while it has the focus, and QFileDialog makes accept() protected.)
void choose(QFileDialog* dialog, const char* name) {
    auto* edit = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
    ASSERT_NE(edit, nullptr);
    edit->setText(QString::fromUtf8(name));
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace

TEST(QtFileDialogs, OpenAndSaveGiveTheFileAndMakeItsFolderCurrent) {
    const QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    QFile(dir.filePath(u"capitals.exm"_s)).open(QIODevice::WriteOnly);
    examo::FileDialogRequest request;
    request.filter = "Pictures (*.bmp)\0*.bmp\0Quiz files\0*.exm\0\0"s;
    request.filterIndex = 2;
    request.initialDir = dir.path().toStdString();
    request.flags = examo::dlgflags::kFileMustExist;
    examo::QtFileDialogs dialogs;
    answerNextModal<QFileDialog>([&dir](QFileDialog* dialog) {
        EXPECT_EQ(dialog->selectedNameFilter(), u"Quiz files (*.exm)"_s);
        EXPECT_EQ(dialog->directory().absolutePath(), dir.path());
        choose(dialog, "capitals.exm");
    });
    const auto opened = dialogs.getOpenFileName(request);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(opened.fileBuffer, dir.filePath(u"capitals.exm"_s).toStdString() + '\0');
    EXPECT_EQ(opened.fileTitleBuffer, "capitals.exm\0"s);
    EXPECT_EQ(opened.filterIndex, 2);
    EXPECT_EQ(opened.flags, request.flags);
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    QDir::setCurrent(saved);
    answerNextModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(dialogs.getOpenFileName(request).ok);
    EXPECT_EQ(QDir::currentPath(), saved);

    // Save starts with the trimmed name and adds the default extension.
    request.fileBuffer = "untitled.exm" + std::string(248, ' ');
    request.defaultExt = "exm";
    answerNextModal<QFileDialog>([&dir](QFileDialog* dialog) {
        EXPECT_EQ(dialog->selectedFiles().value(0), dir.filePath(u"untitled.exm"_s));
        choose(dialog, "rivers");
    });
    EXPECT_EQ(dialogs.getSaveFileName(request).fileBuffer,
              dir.filePath(u"rivers.exm"_s).toStdString() + '\0');
    QDir::setCurrent(saved);
}
