#include "platform/internal/modules_p.h"

#include "platform/internal/services_p.h"

#include <dlfcn.h>

#include <string>

namespace platform::detail {

void* moduleEntry(const char* fileName, const char* entry)
{
    const std::string path = services().moduleFolder() + "/" + fileName;
    // RTLD_LOCAL: nothing else resolves against a module. It finds the toolkit through its own
    // dependencies, and the platform in the program, which has loaded it already: a module
    // names no platform library of its own, so that it works with whichever build of the
    // platform the program was linked with.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    return dlsym(library, entry);
}

} // namespace platform::detail
