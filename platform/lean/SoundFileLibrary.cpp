#include "platform/lean/SoundFileLibrary.h"

#include <dlfcn.h>

#include <type_traits>

namespace tova::lean {

const SoundFileLibrary& SoundFileLibrary::instance() {
    static const SoundFileLibrary library;
    return library;
}

SoundFileLibrary::SoundFileLibrary() {
    void* handle = dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return;
    auto bind = [handle](auto& entry, const char* name) { entry = reinterpret_cast<std::decay_t<decltype(entry)>>(dlsym(handle, name)); };
    bind(close, "sf_close");
    bind(readFloat, "sf_readf_float");
    bind(readDouble, "sf_readf_double");
    bind(seek, "sf_seek");
    bind(command, "sf_command");
    bind(error, "sf_strerror");
    bind(openFd, "sf_open_fd");
    if (close && readFloat && readDouble && seek && command && error && openFd) bind(open, "sf_open");
}

}  // namespace tova::lean
