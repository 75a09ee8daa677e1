// Any bytes given as a bitmap file must be read or refused with the message, never a crash.
#include "avimaker/cdib.h"
#include "fuzz_tempfile.h"
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
    const examo::fuzz::TempInput input("examo-fuzz-dib", data, size);
    if (!input.path().empty()) {
        Silent dialogs;
        examo::cDIB dib(dialogs);
        (void)dib.CreateFromFile(input.path());
    }
    return 0;
}
