#include "avimaker/cdib.h"

#include "bitmaps.h"
#include "fakes/fakedialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

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
    cDIB refused(dialogs, [](const char*) {
        errno = EACCES;
        return -1;
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

// Bitmaps that no movie frame can be made of are refused when they are read, with the reader's
// own message, rather than failing at the end of a write: unknown bit counts, JPEG and PNG
// inside, colour masks that are not single runs or that overlap, frames too large to play.
TEST_F(CDibTest, BitmapsNoFrameCanBeMadeOfAreRefusedWhenRead) {
    using bitmaps::Layout;
    const QImage small = bitmaps::quarters(16, 8);
    const auto with = [](Bytes b, std::initializer_list<std::pair<std::size_t, std::uint32_t>> at) {
        for (const auto& [offset, value] : at)
            bitmaps::put(b, offset, value, offset == 28 ? 2 : 4);
        return b;
    };
    const auto masks = [&](int bits, std::array<std::uint32_t, 4> m) {
        return bitmaps::bmp(small,
                            Layout{.bits = bits, .compression = 3, .masks = m, .header = 108});
    };
    const Bytes rle = bitmaps::bmp(small, Layout{.bits = 8, .compression = 1});
    const Bytes plain = bitmaps::bmp(small);
    const std::pair<const char*, Bytes> cases[] = {
        {"0 bits", with(plain, {{28, 0}})},
        {"2 bits", with(plain, {{28, 2}})},
        {"64 bits", with(plain, {{28, 64}})},
        {"JPEG", with(plain, {{30, 4}})},
        {"PNG", with(plain, {{30, 5}})},
        {"run-length of 24 bits", with(plain, {{30, 1}})},
        {"gap in a mask", masks(16, {0x7C01, 0x03E0, 0x001E, 0})},
        {"masks overlap", masks(16, {0xFC00, 0x07E0, 0x001F, 0})},
        {"alpha overlaps", masks(16, {0x7C00, 0x03E0, 0x001F, 0x0001})},
        {"mask past the pixel", masks(16, {0x1F0000, 0x03E0, 0x001F, 0})},
        {"masks missing", with(plain, {{28, 16}, {30, 3}})},
        {"8000 by 8000 run-length", with(rle, {{18, 8000}, {22, 8000}})},
        {"4097 wide", with(rle, {{18, 4097}})},
        {"4097 high", with(rle, {{22, 4097}})}};
    for (const auto& [name, bytes] : cases) {
        dialogs.messages.clear();
        const std::string path = file("bad.bmp", bytes);
        EXPECT_FALSE(dib.CreateFromFile(path)) << name;
        EXPECT_EQ(dialogs.texts(), Texts{"File is not a supported bitmap format:\r\n" + path})
            << name;
    }
    // What the writer can take, up to the largest frame.
    for (const Bytes& bytes :
         {masks(32, {0xFF, 0xFF00, 0xFF0000, 0}), masks(16, {0x0F00, 0x00F0, 0x000F, 0xF000}),
          masks(16, {0x7C00, 0, 0x001F, 0x8000}), with(rle, {{18, 4096}, {22, 4096}})})
        EXPECT_TRUE(dib.CreateFromFile(file("good.bmp", bytes)));
}

// A FIFO would block a plain open until some program writes to it, and a device can be read
// for ever: neither is ever read, and both are refused at once.
TEST_F(CDibTest, OnlyRegularFilesAreRead) {
    const std::string fifo = file("fifo.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path().toStdString()}) {
        dialogs.messages.clear();
        EXPECT_FALSE(dib.CreateFromFile(path));
        EXPECT_EQ(dialogs.texts(), Texts{"File is not a supported bitmap format:\r\n" + path});
    }
    // Nor one put in a bitmap's place after it was looked at.
    static std::string swappedIn;
    swappedIn = fifo;
    cDIB swapped(dialogs,
                 [](const char*) { return ::open(swappedIn.c_str(), O_RDONLY | O_NONBLOCK); });
    EXPECT_FALSE(swapped.CreateFromFile(file("good.bmp", bitmaps::bmp(bitmaps::quarters(8, 8)))));
}
