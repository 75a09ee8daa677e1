#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>

#include <gtest/gtest.h>

// The teachers' help is built in, every contents link leads to its section, and the help
// window shows it as rich text with the sections it promises.
TEST(TeachersHelp, IsBuiltInAndEveryContentsLinkLeadsToItsSection) {
    QFile page(QStringLiteral(":/help/examoforge.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    auto links = QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html);
    int count = 0;
    for (; links.hasNext(); ++count) {
        const QString target = links.next().captured(1);
        EXPECT_TRUE(html.contains(QStringLiteral("<a name=\"%1\">").arg(target)))
            << target.toStdString();
    }
    EXPECT_GE(count, 12);
    QTextBrowser browser;
    browser.setHtml(html);
    const QString shown = browser.toPlainText();
    for (const char* section :
         {"Writing a quiz", "Question types", "Pictures, sounds, tunes", "Saving and opening",
          "Previewing", "answer key", "Reading score logs", "AVI Maker", "ExamoMe"})
        EXPECT_TRUE(shown.contains(QLatin1String(section))) << section;
    EXPECT_FALSE(shown.contains(QLatin1Char('<'))) << "no markup shows through";
}
