// Any bytes given as a picture file (bitmap, JPEG, metafile or anything else) must load or
// give no picture, never a crash, a hang or an allocation past the limits.
#include "fuzz_tempfile.h"
#include "platform/linux/magickpictureloader.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Qt's picture plugins want an application object; no display is needed to decode.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Made once and never destroyed: at exit Qt's own statics may already be gone.
    static int count = 1;
    static char* arguments[] = {(*argv)[0], nullptr};
    (void)argc;
    new QGuiApplication(count, arguments);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One loader for the whole run, as in the programs.
    static examo::MagickPictureLoader loader;
    const examo::fuzz::TempInput input("examo-fuzz-picture", data, size);
    if (!input.path().empty())
        (void)loader.load(QString::fromStdString(input.path()));
    return 0;
}
