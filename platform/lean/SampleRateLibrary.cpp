#include "platform/lean/SampleRateLibrary.h"

#include <dlfcn.h>

#include <type_traits>

namespace tova::lean {

const SampleRateLibrary& SampleRateLibrary::instance() {
    static const SampleRateLibrary library;
    return library;
}

SampleRateLibrary::SampleRateLibrary() {
    void* handle = dlopen("libsamplerate.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return;
    auto bind = [handle](auto& entry, const char* name) { entry = reinterpret_cast<std::decay_t<decltype(entry)>>(dlsym(handle, name)); };
    bind(error, "src_strerror");
    if (error) bind(simple, "src_simple");
}

}  // namespace tova::lean
