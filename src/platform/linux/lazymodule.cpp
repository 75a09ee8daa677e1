#include "platform/linux/lazymodule.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace examo {

namespace {

// The folders the program's own libraries are looked for in (its run path with $ORIGIN made
// absolute, then the system's), as the dynamic linker has them. Asked for rather than left
// to dlopen: under a sanitizer dlopen is called on the program's behalf by the sanitizer's
// runtime, whose run path is not the program's.
std::vector<std::filesystem::path> libraryFolders() {
    std::vector<std::filesystem::path> folders;
    void* program = dlopen(nullptr, RTLD_LAZY);
    Dl_serinfo size{};
    if (program == nullptr || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0)
        return folders;
    std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
    *info = size;
    if (dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
        for (unsigned i = 0; i < info->dls_cnt; ++i)
            folders.emplace_back(info->dls_serpath[i].dls_name);
    }
    return folders;
}

void* openModule(const std::string& fileName) {
    std::string where = fileName; // the system's own search, when no folder has it
    for (const auto& folder : libraryFolders()) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder / fileName, error)) {
            where = (folder / fileName).string();
            break;
        }
    }
    void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr)
        std::fprintf(stderr, "%s\n", dlerror());
    return handle;
}

} // namespace

void* LazyModule::function(const char* name) {
    std::call_once(m_loaded, [this] { m_handle = openModule(m_fileName); });
    if (m_handle == nullptr)
        return nullptr;
    void* function = dlsym(m_handle, name);
    if (function == nullptr)
        std::fprintf(stderr, "%s: no %s\n", m_fileName.c_str(), name);
    return function;
}

} // namespace examo
