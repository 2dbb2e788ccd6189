#include "LibrarySearchPath.h"

#include <dlfcn.h>

#include <cstdlib>
#include <memory>

namespace talvo {

std::optional<std::string> looseSearchPathElement()
{
    // The loader's own list, with $ORIGIN expanded and an empty element read as ".", and none
    // of LD_LIBRARY_PATH in a set-id program or where it is empty.
    void* program = ::dlopen(nullptr, RTLD_LAZY);
    if (!program)
        return std::nullopt;
    Dl_serinfo size{};
    std::unique_ptr<Dl_serinfo, decltype(&std::free)> info(nullptr, &std::free);
    if (::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
        info.reset(static_cast<Dl_serinfo*>(std::malloc(size.dls_size)));
        if (info && (::dlinfo(program, RTLD_DI_SERINFOSIZE, info.get()) != 0 ||
                     ::dlinfo(program, RTLD_DI_SERINFO, info.get()) != 0))
            info.reset();
    }
    ::dlclose(program);
    if (!info)
        return std::nullopt;
    for (unsigned i = 0; i < info->dls_cnt; ++i) {
        const char* directory = info->dls_serpath[i].dls_name;
        if (directory && directory[0] != '/')
            return std::string("the directory \"") + directory +
                   "\" of the loader's search path would be read against the working directory";
    }
    return std::nullopt;
}

} // namespace talvo
