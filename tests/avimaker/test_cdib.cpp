#include "avimaker/cdib.h"

#include "bitmaps.h"
#include "fakes/fakedialogs.h"
#include "support/tools.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

using examo::cDIB;
using examo::Dialogs;
using Bytes = std::vector<std::uint8_t>;

namespace {

class CDibTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string file(const std::string& name, const Bytes& bytes) const {
        bitmaps::write(path(name), bytes);
        return path(name);
    }
    // ImageMagick's own bitmap of a small picture, in the form the arguments ask for.
    std::string magick(const std::string& name, const QStringList& arguments) const {
        const auto run = examo::testing::runProgram(
            QStringLiteral("convert"), QStringList{QStringLiteral("-size"), QStringLiteral("64x48"),
                                                   QStringLiteral("gradient:red-blue")} +
                                           arguments +
                                           QStringList{QString::fromStdString(path(name))});
        EXPECT_TRUE(run.ok) << run.errors.toStdString();
        return path(name);
    }
    void expectRefused(const std::string& name) {
        dialogs.messages.clear();
        EXPECT_FALSE(dib.CreateFromFile(name)) << name;
        EXPECT_EQ(dialogs.texts(),
                  std::vector<std::string>{"File is not a supported bitmap format:\r\n" + name});
    }
    static bool samePixels(const Bytes& file, std::size_t offset, const cDIB& dib) {
        return Bytes(file.begin() + offset, file.end()) ==
               Bytes(dib.Bits().begin(), dib.Bits().end());
    }

    QTemporaryDir dir;
    examo::fakes::FakeDialogs dialogs;
    cDIB dib{dialogs};
};

TEST_F(CDibTest, ReadsTheHeadersTheColourTableAndThePixels) {
    const auto bytes = bitmaps::bmp24(bitmaps::quarters(320, 240));
    ASSERT_TRUE(dib.CreateFromFile(file("a.bmp", bytes)));
    EXPECT_EQ(dib.SizeFileHeader(), 230454);
    EXPECT_EQ(dib.Width(), 320);
    EXPECT_EQ(dib.Height(), 240);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), 230400);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_TRUE(samePixels(bytes, 54, dib));

    const auto eight = bitmaps::bmp8(bitmaps::quarters(64, 48));
    ASSERT_TRUE(dib.CreateFromFile(file("p.bmp", eight)));
    EXPECT_EQ(dib.BitOffset(), 1078);
    EXPECT_EQ(Bytes(dib.BitmapInfo().begin(), dib.BitmapInfo().end()),
              Bytes(eight.begin() + 14, eight.begin() + 1078));

    // ImageMagick's long default header, and a run-length bitmap read as it stands.
    ASSERT_TRUE(dib.CreateFromFile(magick("v5.bmp", {})));
    EXPECT_EQ(dib.SizeInfoHeader(), 124);
    EXPECT_EQ(dib.SizeBitmapInfo(), dib.BitOffset() - 14);
    const std::string rle =
        magick("rle8.bmp", {QStringLiteral("-type"), QStringLiteral("palette"),
                            QStringLiteral("-compress"), QStringLiteral("RLE")});
    ASSERT_TRUE(dib.CreateFromFile(rle));
    EXPECT_EQ(dib.Compression(), 1);
    EXPECT_EQ(dib.SizeImage(), static_cast<std::int32_t>(bitmaps::get32(bitmaps::read(rle), 34)));

    // Image size 0: 3 pixels of 3 bytes make rows of 9 bytes, padded to 12.
    auto zero = bitmaps::bmp24(bitmaps::quarters(3, 2));
    bitmaps::put32(zero, 34, 0);
    ASSERT_TRUE(dib.CreateFromFile(file("zero.bmp", zero)));
    EXPECT_EQ(dib.SizeImage(), 24);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CDibTest, MissingAndLockedFilesAreCriticalMessages) {
    EXPECT_FALSE(dib.CreateFromFile(path("gone.bmp")));
    EXPECT_FALSE(dib.CreateFromFile(dir.path().toStdString())); // a folder has no length
    // The file is there but may not be opened: the opener refuses as the system would.
    const std::string locked = file("locked.bmp", bitmaps::bmp24(bitmaps::quarters(8, 8)));
    cDIB refused(dialogs, [](const char*) -> std::FILE* {
        errno = EACCES;
        return nullptr;
    });
    EXPECT_FALSE(refused.CreateFromFile(locked));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "File does not exist:\r\n" + path("gone.bmp"));
    EXPECT_EQ(dialogs.messages[2].text, "File is locked - cannot access:\r\n" + locked);
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
}

TEST_F(CDibTest, MalformedFilesAreRefusedAndChangeNothing) {
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    struct Case {
        const char* name;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"not BM", 0, 0x4B50},
        {"offset below 54", 10, 40},
        {"offset past the end", 10, 100000},
        {"header longer than the room before the pixels", 14, 108},
        {"core header of 12 bytes", 14, 12},
        {"huge header size", 14, 0xFFFFFFF0u},
        {"width 0", 18, 0},
        {"negative width", 18, static_cast<std::uint32_t>(-16)},
        {"absurd width", 18, 1u << 30},
        {"height 0", 22, 0},
        {"most negative height", 22, 0x80000000u},
        {"rows that the file does not hold", 22, 4000},
        {"run-length data longer than the file", 34, 1000000},
    };
    ASSERT_TRUE(dib.CreateFromFile(file("good.bmp", good)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytes = good;
        bitmaps::put32(bytes, c.at, c.value);
        if (c.at == 34)
            bitmaps::put32(bytes, 30, 1);
        expectRefused(file("bad.bmp", bytes));
        EXPECT_EQ(dib.Width(), 16);
        EXPECT_TRUE(samePixels(good, 54, dib));
    }
    for (const std::size_t size : {0, 1, 40, 60}) {
        SCOPED_TRACE(size);
        expectRefused(file("short.bmp", Bytes(good.begin(), good.begin() + size)));
    }
}

TEST_F(CDibTest, PackedBitmapsAreTakenOnlyWhenPlain) {
    const auto bytes = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const Bytes packed(bytes.begin() + 14, bytes.end());
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packed));
    EXPECT_EQ(dib.SizeFileHeader(), 16 * 3 * 8 + 54);
    ASSERT_TRUE(dib.WriteToFile(path("packed.bmp")));
    EXPECT_EQ(bitmaps::read(path("packed.bmp")), bytes);

    const auto eight = bitmaps::bmp8(bitmaps::quarters(32, 8));
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(Bytes(eight.begin() + 14, eight.end())));
    for (const std::uint32_t sizeImage : {0u, 1u << 20}) {
        auto bad = packed;
        bitmaps::put32(bad, 20, sizeImage);
        EXPECT_FALSE(dib.CreateFromPackedDIBPointer(bad));
    }
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(Bytes(packed.begin(), packed.begin() + 26)));
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), 16 * 3 * 8);
}

TEST_F(CDibTest, WriteToFileReproducesTheFileOrReportsAFailure) {
    // Each time over a longer file, which must not leave its tail behind.
    for (const auto& bytes :
         {bitmaps::bmp24(bitmaps::quarters(21, 13)), bitmaps::bmp8(bitmaps::quarters(64, 48))}) {
        ASSERT_TRUE(dib.CreateFromFile(file("in.bmp", bytes)));
        file("out.bmp", Bytes(bytes.size() + 5000, 0xEE));
        ASSERT_TRUE(dib.WriteToFile(path("out.bmp")));
        EXPECT_EQ(bitmaps::read(path("out.bmp")), bytes);
    }
    EXPECT_FALSE(dib.WriteToFile(path("no such folder/out.bmp")));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"No such file or directory"});

    cDIB nothing(dialogs);
    EXPECT_FALSE(nothing.WriteToFile(path("nothing.bmp")));
    EXPECT_FALSE(std::filesystem::exists(path("nothing.bmp")));
}

} // namespace
