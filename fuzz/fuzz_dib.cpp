// Any bytes given as a bitmap file must be read or refused with the message, never a crash.
#include "avimaker/cdib.h"
#include "platform/dialogs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class Silent : public examo::Dialogs {
public:
    Answer message(const std::string&, Buttons, Icon, const std::string&) override {
        return Answer::Ok;
    }
    std::optional<std::string> input(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char path[] = "/tmp/examo-fuzz-dib-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return 0;
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (written) {
        Silent dialogs;
        examo::cDIB dib(dialogs);
        (void)dib.CreateFromFile(path);
    }
    ::unlink(path);
    return 0;
}
