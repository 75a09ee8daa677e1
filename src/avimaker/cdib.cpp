#include "avimaker/cdib.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace examo {

namespace {

constexpr std::size_t kHeadersSize = cDIB::kFileHeaderSize + cDIB::kInfoHeaderSize;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

cDIB::InfoHeader parseInfo(const std::uint8_t* p) {
    cDIB::InfoHeader h;
    h.size = le32(p);
    h.width = static_cast<std::int32_t>(le32(p + 4));
    h.height = static_cast<std::int32_t>(le32(p + 8));
    h.planes = le16(p + 12);
    h.bitCount = le16(p + 14);
    h.compression = le32(p + 16);
    h.sizeImage = le32(p + 20);
    h.xPelsPerMeter = static_cast<std::int32_t>(le32(p + 24));
    h.yPelsPerMeter = static_cast<std::int32_t>(le32(p + 28));
    h.clrUsed = le32(p + 32);
    h.clrImportant = le32(p + 36);
    return h;
}

// The pixel bytes an uncompressed frame of this bitmap info takes; 0 for run-length data,
// which has only the size it names.
std::uint64_t uncompressedSize(const dib::Format& f) {
    return f.compression == dib::kBiRle8 || f.compression == dib::kBiRle4 ? 0 : f.imageBytes;
}

bool readAt(int file, std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& into) {
    into.resize(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(file, into.data() + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

int openBinary(const char* path) {
    return ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

cDIB::cDIB(Dialogs& dialogs, FileOpener open)
    : m_dialogs(dialogs), m_open(open != nullptr ? open : openBinary) {}

// Anything that is there: what kind of file it is, the open descriptor tells.
bool cDIB::FileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

void cDIB::refuse(const std::string& filename) {
    m_dialogs.message("File is not a supported bitmap format:\r\n" + filename, Dialogs::Buttons::Ok,
                      Dialogs::Icon::Information);
}

int cDIB::openForReading(const std::string& filename) {
    if (!FileExists(filename)) {
        m_dialogs.message("File does not exist:\r\n" + filename, Dialogs::Buttons::Ok,
                          Dialogs::Icon::Critical);
        return -1;
    }
    // A device is not even opened: opening some has effects of its own.
    struct stat status {};
    if (::stat(filename.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        refuse(filename);
        return -1;
    }
    errno = 0;
    const int file = m_open(filename.c_str());
    if (file < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            m_dialogs.message("File is locked - cannot access:\r\n" + filename,
                              Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        else
            m_dialogs.message(std::generic_category().message(error), Dialogs::Buttons::Ok,
                              Dialogs::Icon::Information);
    }
    return file;
}

bool cDIB::readHeaders(int file, Headers& headers) {
    // Only a regular file has a size to check every other size against before anything is
    // allocated; a FIFO or a device put in its place since it was looked at is never read.
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const std::uint64_t end = static_cast<std::uint64_t>(status.st_size);
    std::vector<std::uint8_t> head;
    if (end < 2 || !readAt(file, 0, std::min<std::uint64_t>(kHeadersSize, end), head) ||
        le16(head.data()) != kBitmapFileType || head.size() < kHeadersSize)
        return false;
    headers.fileSize = end;
    FileHeader& fileHeader = headers.file;
    fileHeader.type = le16(head.data());
    fileHeader.size = le32(head.data() + 2);
    fileHeader.reserved1 = le16(head.data() + 6);
    fileHeader.reserved2 = le16(head.data() + 8);
    fileHeader.offBits = le32(head.data() + 10);
    headers.info = parseInfo(head.data() + kFileHeaderSize);
    return headers.info.size >= kInfoHeaderSize && fileHeader.offBits >= kHeadersSize &&
           fileHeader.offBits <= headers.fileSize &&
           fileHeader.offBits - kFileHeaderSize >= headers.info.size;
}

bool cDIB::CreateFromFile(const std::string& filename) {
    const Descriptor file(openForReading(filename));
    if (file.fd < 0)
        return false;
    Headers headers;
    std::vector<std::uint8_t> bits, bitmapInfo;
    std::optional<dib::Format> format;
    if (!readHeaders(file.fd, headers) ||
        !readAt(file.fd, kFileHeaderSize, headers.file.offBits - kFileHeaderSize, bitmapInfo) ||
        !(format = dib::describe(bitmapInfo))) {
        refuse(filename);
        return false;
    }
    // An uncompressed bitmap may leave its image size 0 or get it wrong: its rows say what it
    // is. A run-length one has only the size it names.
    const std::uint64_t available = headers.fileSize - headers.file.offBits;
    const std::uint64_t needed = uncompressedSize(*format);
    std::uint64_t imageSize = headers.info.sizeImage;
    if (needed > 0 && (imageSize < needed || imageSize > available))
        imageSize = needed;
    if (imageSize == 0 || imageSize > available ||
        !readAt(file.fd, headers.file.offBits, static_cast<std::size_t>(imageSize), bits)) {
        refuse(filename);
        return false;
    }
    headers.info.sizeImage = static_cast<std::uint32_t>(imageSize);
    m_bits = std::move(bits);
    m_bitmapInfo = std::move(bitmapInfo);
    m_info = headers.info;
    m_file = headers.file;
    return true;
}

bool cDIB::CreateFromPackedDIBPointer(std::span<const std::uint8_t> pDIB) {
    if (pDIB.size() < kInfoHeaderSize)
        return false;
    const InfoHeader info = parseInfo(pDIB.data());
    if (info.bitCount < 16 || info.sizeImage < 1)
        return false;
    // Only a plain header with the pixels right behind it: masks or a longer header in between
    // would be taken for pixels.
    const auto format = dib::describe(pDIB.first(kInfoHeaderSize));
    if (info.size != kInfoHeaderSize || info.compression != dib::kBiRgb || !format ||
        info.sizeImage < format->imageBytes || info.sizeImage > pDIB.size() - kInfoHeaderSize)
        return false;
    m_bits.assign(pDIB.begin() + kInfoHeaderSize, pDIB.begin() + kInfoHeaderSize + info.sizeImage);
    m_bitmapInfo.assign(pDIB.begin(), pDIB.begin() + kInfoHeaderSize);
    m_info = info;
    m_file = FileHeader{.type = static_cast<std::uint16_t>(kBitmapFileType),
                        .size = info.sizeImage + static_cast<std::uint32_t>(kHeadersSize),
                        .offBits = static_cast<std::uint32_t>(kHeadersSize)};
    return true;
}

bool cDIB::WriteToFile(const std::string& filename) {
    if (m_bitmapInfo.empty())
        return false; // nothing has been created
    std::array<std::uint8_t, kFileHeaderSize> header{};
    put16(header.data(), m_file.type);
    put32(header.data() + 2, m_file.size);
    put16(header.data() + 6, m_file.reserved1);
    put16(header.data() + 8, m_file.reserved2);
    put32(header.data() + 10, m_file.offBits);

    const auto fail = [this](int error) {
        m_dialogs.message(std::generic_category().message(error != 0 ? error : EIO),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return false;
    };
    errno = 0;
    File file(std::fopen(filename.c_str(), "wb")); // an existing file is emptied first
    if (!file)
        return fail(errno);
    bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
                   std::fwrite(m_bitmapInfo.data(), 1, m_bitmapInfo.size(), file.get()) ==
                       m_bitmapInfo.size() &&
                   std::fwrite(m_bits.data(), 1, m_bits.size(), file.get()) == m_bits.size();
    int error = written ? 0 : errno;
    if (std::fclose(file.release()) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written)
        return true;
    // A half-written bitmap is of no use to anyone.
    std::remove(filename.c_str());
    return fail(error);
}

} // namespace examo
