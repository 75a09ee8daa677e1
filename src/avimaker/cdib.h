#pragma once

#include "platform/dialogs.h"
#include "platform/dibformat.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace examo {

// One device-independent bitmap in memory: its headers, a copy of its bitmap info (info header
// and colour table) and its pixel bytes. A failed Create leaves the object as it was, so the
// pointers and sizes always describe the same bitmap. Files are untrusted: headers that
// contradict themselves or the file are refused with a message, never followed, and so are
// bitmaps that no movie frame can be made of (dib::describe), so that a bitmap once read can
// always be written.
class cDIB {
public:
    static constexpr std::int32_t kBitmapFileType = 19778; // "BM"
    static constexpr std::size_t kFileHeaderSize = 14;
    static constexpr std::size_t kInfoHeaderSize = 40;
    // Wider or taller bitmaps are refused: no movie frame is that large.
    static constexpr std::int32_t kMaxEdge = dib::kMaxEdge;

    // Opens a file for reading without waiting (a FIFO): a descriptor, or -1 with errno set.
    // Replaceable so that a refused open can be shown where permissions refuse nothing (the
    // superuser).
    using FileOpener = int (*)(const char* path);

    explicit cDIB(Dialogs& dialogs, FileOpener open = nullptr);

    // Reads a BMP file; false after a message when it cannot.
    bool CreateFromFile(const std::string& filename);
    // Takes a packed bitmap without colour table (16 bits a pixel or more, uncompressed, its
    // image size given): the 40-byte info header and the pixels right after it.
    bool CreateFromPackedDIBPointer(std::span<const std::uint8_t> pDIB);
    // Writes the file header, the bitmap info and the pixels, replacing any file of that name;
    // false after a message when the file cannot be written.
    bool WriteToFile(const std::string& filename);

    std::int32_t BitCount() const { return m_info.bitCount; }
    std::int32_t Height() const { return m_info.height; }
    std::int32_t Width() const { return m_info.width; }
    std::int32_t Compression() const { return static_cast<std::int32_t>(m_info.compression); }
    std::int32_t SizeInfoHeader() const { return static_cast<std::int32_t>(m_info.size); }
    std::int32_t SizeImage() const { return static_cast<std::int32_t>(m_info.sizeImage); }
    std::int32_t Planes() const { return m_info.planes; }
    std::int32_t ClrImportant() const { return static_cast<std::int32_t>(m_info.clrImportant); }
    std::int32_t ClrUsed() const { return static_cast<std::int32_t>(m_info.clrUsed); }
    std::int32_t XPPM() const { return m_info.xPelsPerMeter; }
    std::int32_t YPPM() const { return m_info.yPelsPerMeter; }
    std::int32_t FileType() const { return m_file.type; }
    std::int32_t SizeFileHeader() const { return static_cast<std::int32_t>(m_file.size); }
    std::int32_t BitOffset() const { return static_cast<std::int32_t>(m_file.offBits); }
    const std::uint8_t* PointerToBits() const { return m_bits.data(); }
    const std::uint8_t* PointerToBitmapInfo() const { return m_bitmapInfo.data(); }
    std::int32_t SizeBitmapInfo() const { return static_cast<std::int32_t>(m_bitmapInfo.size()); }

    // The same bytes as the two pointers with their sizes.
    std::span<const std::uint8_t> Bits() const { return m_bits; }
    std::span<const std::uint8_t> BitmapInfo() const { return m_bitmapInfo; }

    struct InfoHeader {
        std::uint32_t size = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint16_t planes = 0;
        std::uint16_t bitCount = 0;
        std::uint32_t compression = 0;
        std::uint32_t sizeImage = 0;
        std::int32_t xPelsPerMeter = 0;
        std::int32_t yPelsPerMeter = 0;
        std::uint32_t clrUsed = 0;
        std::uint32_t clrImportant = 0;
    };
    struct FileHeader {
        std::uint16_t type = 0;
        std::uint32_t size = 0;
        std::uint16_t reserved1 = 0;
        std::uint16_t reserved2 = 0;
        std::uint32_t offBits = 0;
    };

private:
    struct Headers {
        FileHeader file;
        InfoHeader info;
        std::uint64_t fileSize = 0;
    };

    static bool FileExists(const std::string& path);
    void refuse(const std::string& filename);
    // The open file's descriptor, or -1 after the message that says why not.
    int openForReading(const std::string& filename);
    // Both headers, checked against each other and the file; false when they cannot be used
    // (a FIFO, a device or a folder among them).
    static bool readHeaders(int file, Headers& headers);

    Dialogs& m_dialogs;
    FileOpener m_open;
    std::vector<std::uint8_t> m_bits;
    std::vector<std::uint8_t> m_bitmapInfo;
    InfoHeader m_info;
    FileHeader m_file;
};

} // namespace examo
