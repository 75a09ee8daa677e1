#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

QString helpPage() {
    QFile page(QStringLiteral(":/help/examoforge.html"));
    if (!page.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(page.readAll());
}

TEST(TeachersHelp, IsBuiltInAndEveryContentsLinkLeadsToItsSection) {
    const QString html = helpPage();
    ASSERT_FALSE(html.isEmpty());

    QSet<QString> anchors;
    auto names = QRegularExpression(QStringLiteral("<a name=\"([^\"]+)\">")).globalMatch(html);
    while (names.hasNext())
        anchors.insert(names.next().captured(1));
    auto links = QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html);
    int count = 0;
    while (links.hasNext()) {
        const QString target = links.next().captured(1);
        EXPECT_TRUE(anchors.contains(target)) << target.toStdString();
        ++count;
    }
    EXPECT_GE(count, 12);

    // The help window shows it as rich text, with the sections it promises.
    QTextBrowser browser;
    browser.setHtml(html);
    const QString shown = browser.toPlainText();
    for (const char* section :
         {"Writing a quiz", "Question types", "Pictures, sounds, tunes", "Saving and opening",
          "Previewing", "answer key", "Reading score logs", "AVI Maker", "ExamoMe"})
        EXPECT_TRUE(shown.contains(QLatin1String(section))) << section;
    EXPECT_FALSE(shown.contains(QLatin1Char('<'))) << "no markup shows through";
}

} // namespace
