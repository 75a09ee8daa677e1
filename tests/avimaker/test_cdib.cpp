#include "avimaker/cdib.h"

#include "bitmaps.h"
#include "fakes/fakedialogs.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using examo::cDIB;
using examo::Dialogs;
using examo::fakes::FakeDialogs;

namespace {

class CDibTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        bitmaps::write(path(name), bytes);
        return path(name);
    }
    // ImageMagick's own bitmap of a small picture, in the form the arguments ask for.
    std::string magick(const std::string& name, const QStringList& arguments) const {
        QProcess convert;
        convert.start(QStringLiteral("convert"),
                      QStringList{QStringLiteral("-size"), QStringLiteral("64x48"),
                                  QStringLiteral("gradient:red-blue")} +
                          arguments + QStringList{QString::fromStdString(path(name))});
        EXPECT_TRUE(convert.waitForFinished(60000) && convert.exitCode() == 0)
            << convert.readAllStandardError().toStdString();
        return path(name);
    }
    void expectRefused(cDIB& dib, const std::string& name) {
        dialogs.messages.clear();
        EXPECT_FALSE(dib.CreateFromFile(name)) << name;
        ASSERT_EQ(dialogs.messages.size(), 1u) << name;
        EXPECT_EQ(dialogs.messages[0].text, "File is not a supported bitmap format:\r\n" + name);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);
        EXPECT_EQ(dialogs.messages[0].title, ""); // the program's title
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
};

TEST_F(CDibTest, Reads24BitFile) {
    const auto bytes = bitmaps::bmp24(bitmaps::quarters(320, 240));
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("a.bmp", bytes)));
    EXPECT_EQ(dib.FileType(), 19778);
    EXPECT_EQ(dib.SizeFileHeader(), 230454);
    EXPECT_EQ(dib.BitOffset(), 54);
    EXPECT_EQ(dib.SizeInfoHeader(), 40);
    EXPECT_EQ(dib.Width(), 320);
    EXPECT_EQ(dib.Height(), 240);
    EXPECT_EQ(dib.Planes(), 1);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Compression(), 0);
    EXPECT_EQ(dib.SizeImage(), 230400);
    EXPECT_EQ(dib.XPPM(), 3780);
    EXPECT_EQ(dib.YPPM(), 3780);
    EXPECT_EQ(dib.ClrUsed(), 0);
    EXPECT_EQ(dib.ClrImportant(), 0);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_TRUE(std::equal(bytes.begin() + 14, bytes.begin() + 54, dib.PointerToBitmapInfo()));
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.end(), dib.PointerToBits()));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CDibTest, Reads8BitFileWithItsColourTable) {
    const auto bytes = bitmaps::bmp8(bitmaps::quarters(64, 48));
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("p.bmp", bytes)));
    EXPECT_EQ(dib.BitOffset(), 1078);
    EXPECT_EQ(dib.SizeBitmapInfo(), 1064);
    EXPECT_EQ(dib.BitCount(), 8);
    EXPECT_EQ(dib.ClrUsed(), 256);
    EXPECT_EQ(dib.SizeImage(), 64 * 48);
    EXPECT_TRUE(std::equal(bytes.begin() + 14, bytes.begin() + 1078, dib.PointerToBitmapInfo()));
}

TEST_F(CDibTest, ReadsImageMagicksBitmaps) {
    cDIB dib(dialogs);
    // The long headers ImageMagick writes by default, and the classic 40-byte one.
    ASSERT_TRUE(dib.CreateFromFile(
        magick("v5.bmp", {QStringLiteral("-type"), QStringLiteral("truecolor")})));
    EXPECT_EQ(dib.SizeInfoHeader(), 124);
    EXPECT_EQ(dib.SizeBitmapInfo(), dib.BitOffset() - 14);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), 64 * 3 * 48);

    ASSERT_TRUE(dib.CreateFromFile(
        magick("classic8.bmp", {QStringLiteral("-type"), QStringLiteral("palette"),
                                QStringLiteral("-compress"), QStringLiteral("none"),
                                QStringLiteral("-define"), QStringLiteral("bmp:format=bmp3")})));
    EXPECT_EQ(dib.SizeInfoHeader(), 40);
    EXPECT_EQ(dib.BitCount(), 8);
    EXPECT_EQ(dib.Compression(), 0);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40 + 4 * dib.ClrUsed());

    // Run-length bitmaps are read as they stand, their image size as the header gives it.
    const std::string rle =
        magick("rle8.bmp", {QStringLiteral("-type"), QStringLiteral("palette"),
                            QStringLiteral("-compress"), QStringLiteral("RLE")});
    ASSERT_TRUE(dib.CreateFromFile(rle));
    EXPECT_EQ(dib.Compression(), 1);
    EXPECT_EQ(dib.SizeImage(), static_cast<std::int32_t>(bitmaps::get32(bitmaps::read(rle), 34)));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CDibTest, RefusesFilesThatDoNotStartWithBM) {
    auto bytes = bitmaps::bmp24(bitmaps::quarters(8, 8));
    bytes[0] = 'P';
    bytes[1] = 'K';
    cDIB dib(dialogs);
    expectRefused(dib, file("zip.bmp", bytes));
    expectRefused(dib, file("empty.bmp", {}));
    expectRefused(dib, file("one.bmp", {'B'}));
}

TEST_F(CDibTest, MissingFileIsACriticalMessage) {
    cDIB dib(dialogs);
    EXPECT_FALSE(dib.CreateFromFile(path("gone.bmp")));
    EXPECT_FALSE(dib.CreateFromFile(dir.path().toStdString())); // a folder has no length
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "File does not exist:\r\n" + path("gone.bmp"));
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
}

TEST_F(CDibTest, UnreadableFileIsReportedAsLocked) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser can read any file";
    const std::string name = file("locked.bmp", bitmaps::bmp24(bitmaps::quarters(8, 8)));
    std::filesystem::permissions(name, std::filesystem::perms::none);
    cDIB dib(dialogs);
    EXPECT_FALSE(dib.CreateFromFile(name));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "File is locked - cannot access:\r\n" + name);
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
}

TEST_F(CDibTest, ImageSizeZeroIsComputedFromTheRows) {
    // 3 pixels of 3 bytes make rows of 9 bytes, padded to 12.
    auto bytes = bitmaps::bmp24(bitmaps::quarters(3, 2));
    bitmaps::put32(bytes, 34, 0);
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("zero.bmp", bytes)));
    EXPECT_EQ(dib.SizeImage(), 24);
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.end(), dib.PointerToBits()));
}

TEST_F(CDibTest, TopDownBitmapKeepsItsNegativeHeight) {
    auto bytes = bitmaps::bmp24(bitmaps::quarters(16, 8));
    bitmaps::put32(bytes, 22, static_cast<std::uint32_t>(-8));
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("topdown.bmp", bytes)));
    EXPECT_EQ(dib.Height(), -8);
    EXPECT_EQ(dib.SizeImage(), 16 * 3 * 8);
}

TEST_F(CDibTest, MalformedHeadersAreRefusedAndChangeNothing) {
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    struct Case {
        const char* name;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"offset below 54", 10, 40},
        {"offset past the end", 10, 100000},
        {"header longer than the room before the pixels", 14, 108},
        {"core header of 12 bytes", 14, 12},
        {"huge header size", 14, 0xFFFFFFF0u},
        {"width 0", 18, 0},
        {"negative width", 18, static_cast<std::uint32_t>(-16)},
        {"absurd width", 18, 1u << 30},
        {"height 0", 22, 0},
        {"absurd height", 22, 1u << 30},
        {"most negative height", 22, 0x80000000u},
        {"rows that the file does not hold", 22, 4000},
        {"run-length data longer than the file", 30, 1},
    };
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("good.bmp", good)));
    for (const Case& c : cases) {
        auto bytes = good;
        bitmaps::put32(bytes, c.at, c.value);
        if (std::string(c.name).starts_with("run-length"))
            bitmaps::put32(bytes, 34, 1000000);
        SCOPED_TRACE(c.name);
        expectRefused(dib, file("bad.bmp", bytes));
        EXPECT_EQ(dib.Width(), 16);
        EXPECT_EQ(dib.Height(), 8);
        EXPECT_EQ(dib.SizeImage(), 16 * 3 * 8);
        EXPECT_TRUE(std::equal(good.begin() + 54, good.end(), dib.PointerToBits()));
    }

    auto truncated = good;
    truncated.resize(60);
    expectRefused(dib, file("truncated.bmp", truncated));
    truncated.resize(40);
    expectRefused(dib, file("headless.bmp", truncated));
    auto compressedWithoutSize = good;
    bitmaps::put32(compressedWithoutSize, 30, 1);
    bitmaps::put32(compressedWithoutSize, 34, 0);
    expectRefused(dib, file("rle0.bmp", compressedWithoutSize));
}

TEST_F(CDibTest, PackedBitmapWithoutColourTable) {
    const auto bytes = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const std::vector<std::uint8_t> packed(bytes.begin() + 14, bytes.end());
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packed));
    EXPECT_EQ(dib.FileType(), 19778);
    EXPECT_EQ(dib.SizeFileHeader(), 16 * 3 * 8 + 54);
    EXPECT_EQ(dib.BitOffset(), 54);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_EQ(dib.SizeImage(), 16 * 3 * 8);
    EXPECT_TRUE(std::equal(packed.begin() + 40, packed.end(), dib.PointerToBits()));

    // Written out, it is the file it came from.
    ASSERT_TRUE(dib.WriteToFile(path("packed.bmp")));
    EXPECT_EQ(bitmaps::read(path("packed.bmp")), bytes);
}

TEST_F(CDibTest, PackedBitmapsThatCannotBeTakenLeaveTheObjectAsItWas) {
    cDIB dib(dialogs);
    const auto first = bitmaps::bmp24(bitmaps::quarters(16, 8));
    ASSERT_TRUE(dib.CreateFromFile(file("first.bmp", first)));

    const auto eight = bitmaps::bmp8(bitmaps::quarters(32, 8));
    EXPECT_FALSE(
        dib.CreateFromPackedDIBPointer(std::vector<std::uint8_t>(eight.begin() + 14, eight.end())));
    auto noSize = std::vector<std::uint8_t>(first.begin() + 14, first.end());
    bitmaps::put32(noSize, 20, 0);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(noSize));
    auto tooBig = std::vector<std::uint8_t>(first.begin() + 14, first.end());
    bitmaps::put32(tooBig, 20, 1u << 20);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(tooBig));
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(
        std::vector<std::uint8_t>(first.begin() + 14, first.begin() + 40)));
    EXPECT_EQ(dib.Width(), 16);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), 16 * 3 * 8);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CDibTest, WriteToFileReproducesTheFile) {
    cDIB dib(dialogs);
    // Each time over a longer file, which must not leave its tail behind.
    for (const auto& bytes :
         {bitmaps::bmp24(bitmaps::quarters(21, 13)), bitmaps::bmp8(bitmaps::quarters(64, 48)),
          bitmaps::read(magick("v5.bmp", {}))}) {
        ASSERT_TRUE(dib.CreateFromFile(file("in.bmp", bytes)));
        file("out.bmp", std::vector<std::uint8_t>(bytes.size() + 5000, 0xEE));
        ASSERT_TRUE(dib.WriteToFile(path("out.bmp")));
        EXPECT_EQ(bitmaps::read(path("out.bmp")), bytes);
    }
}

TEST_F(CDibTest, WriteToFileReportsAFailure) {
    cDIB dib(dialogs);
    ASSERT_TRUE(dib.CreateFromFile(file("in.bmp", bitmaps::bmp24(bitmaps::quarters(8, 8)))));
    EXPECT_FALSE(dib.WriteToFile(path("no such folder/out.bmp")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "No such file or directory");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);

    cDIB nothing(dialogs);
    EXPECT_FALSE(nothing.WriteToFile(path("nothing.bmp")));
    EXPECT_FALSE(std::filesystem::exists(path("nothing.bmp")));
}

} // namespace
