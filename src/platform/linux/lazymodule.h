#pragma once

#include <mutex>
#include <string>

namespace examo {

// A library of ours that brings heavy dependencies (FFmpeg, libwmf, GStreamer), loaded
// the first time one of its services is used: loading those libraries takes longer than
// showing the first window. It is found through the program's run path (the build's module
// folder, or ../lib/examo beside an installed program) and never unloaded, as the libraries it
// brings keep threads and registries of their own.
class LazyModule {
public:
    explicit LazyModule(std::string fileName) : m_fileName(std::move(fileName)) {}
    LazyModule(const LazyModule&) = delete;
    LazyModule& operator=(const LazyModule&) = delete;

    // The module's function of that name, loading the module the first time (from any
    // thread); null when the module or the function is missing, which is said once on the
    // standard error stream.
    void* function(const char* name);

private:
    std::string m_fileName;
    std::once_flag m_loaded;
    void* m_handle = nullptr;
};

} // namespace examo
