#include "platform/linux/qtfiledialogs.h"

#include "support/modalanswer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace std::string_literals;

namespace {

// Types a name and confirms, as a user would: selectFile() skips a focused box.
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
    request.filter = "Pictures (*.bmp;*.png)\0*.bmp;*.png\0Quiz files\0*.exm\0All (*.*)\0*.*\0\0"s;
    request.filterIndex = 2;
    request.initialDir = dir.path().toStdString();
    request.flags = examo::dlgflags::kFileMustExist;
    examo::QtFileDialogs dialogs;
    answerNextModal<QFileDialog>([&dir](QFileDialog* dialog) {
        // Each filter carries its patterns once, in Qt's form; the second is chosen.
        EXPECT_EQ(dialog->nameFilters(), (QStringList{u"Pictures (*.bmp *.png)"_s,
                                                      u"Quiz files (*.exm)"_s, u"All (*)"_s}));
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
