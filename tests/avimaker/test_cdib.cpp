#include "avimaker/cdib.h"

#include "bitmaps.h"
#include "fakes/fakedialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using examo::cDIB;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

class CDibTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const Bytes& bytes = {}) const {
        std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        if (!bytes.empty())
            bitmaps::write(path, bytes);
        return path;
    }
    static bool samePixels(const Bytes& file, const cDIB& dib, std::size_t offset = 54) {
        return Bytes(file.begin() + offset, file.end()) ==
               Bytes(dib.Bits().begin(), dib.Bits().end());
    }

    QTemporaryDir dir;
    examo::fakes::FakeDialogs dialogs;
    cDIB dib{dialogs};
};

TEST_F(CDibTest, ReadsTheHeadersAndThePixels) {
    const auto bytes = bitmaps::bmp(bitmaps::quarters(320, 240));
    ASSERT_TRUE(dib.CreateFromFile(file("a.bmp", bytes)));
    EXPECT_EQ(dib.SizeFileHeader(), 230454);
    EXPECT_EQ(dib.Width(), 320);
    EXPECT_TRUE(samePixels(bytes, dib));
    const auto eight = bitmaps::bmp(bitmaps::quarters(64, 48), 8);
    ASSERT_TRUE(dib.CreateFromFile(file("p.bmp", eight)));
    EXPECT_EQ(dib.BitOffset(), 1078);
    EXPECT_TRUE(samePixels(eight, dib, 1078));
}

TEST_F(CDibTest, MissingAndLockedFilesAreCriticalMessages) {
    EXPECT_FALSE(dib.CreateFromFile(file("gone.bmp")));
    EXPECT_FALSE(dib.CreateFromFile(dir.path().toStdString())); // a folder has no length
    // The file is there but may not be opened: the opener refuses as the system would.
    const std::string locked = file("locked.bmp", bitmaps::bmp(bitmaps::quarters(8, 8)));
    cDIB refused(dialogs, [](const char*) -> std::FILE* {
        errno = EACCES;
        return nullptr;
    });
    EXPECT_FALSE(refused.CreateFromFile(locked));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "File does not exist:\r\n" + file("gone.bmp"));
    EXPECT_EQ(dialogs.messages[2].text, "File is locked - cannot access:\r\n" + locked);
    EXPECT_EQ(dialogs.messages[2].icon, examo::Dialogs::Icon::Critical);
}

TEST_F(CDibTest, MalformedFilesAreRefusedAndChangeNothing) {
    const auto good = bitmaps::bmp(bitmaps::quarters(16, 8));
    // Where the field lies and its false value: not BM, pixels inside the headers or past the end,
    // header too long, core or huge, width or height 0, negative or absurd, rows not there,
    // run-length data longer than the file.
    const std::pair<std::size_t, std::uint32_t> cases[] = {
        {0, 0x4B50},       {10, 40},   {10, 100000},      {14, 108},      {14, 12},
        {14, 0xFFFFFFF0u}, {18, 0},    {18, 0xFFFFFFF0u}, {18, 1u << 30}, {22, 0},
        {22, 0x80000000u}, {22, 4000}, {34, 1000000}};
    ASSERT_TRUE(dib.CreateFromFile(file("good.bmp", good)));
    std::vector<Bytes> bad;
    for (const auto& [at, value] : cases) {
        bad.push_back(good);
        bitmaps::put(bad.back(), at, value);
        if (at == 34)
            bitmaps::put(bad.back(), 30, 1);
    }
    for (const std::size_t size : {1, 40, 60})
        bad.emplace_back(good.begin(), good.begin() + size);
    for (const auto& bytes : bad) {
        dialogs.messages.clear();
        const std::string path = file("bad.bmp", bytes);
        EXPECT_FALSE(dib.CreateFromFile(path));
        EXPECT_EQ(dialogs.texts(), Texts{"File is not a supported bitmap format:\r\n" + path});
        EXPECT_TRUE(dib.Width() == 16 && samePixels(good, dib));
    }
}
