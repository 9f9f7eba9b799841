#include "platform/internal/modules_p.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

namespace platform::detail {

namespace {

std::mutex& folderMutex()
{
    static std::mutex m;
    return m;
}

std::string& chosenFolder()
{
    static std::string folder;
    return folder;
}

// The folder of the shared library this code is part of.
std::string ownFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ownFolder), &info) || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

} // namespace

std::string moduleFolder()
{
    {
        std::lock_guard lock(folderMutex());
        if (!chosenFolder().empty())
            return chosenFolder();
    }
    static const std::string own = ownFolder();
    return own;
}

void setModuleFolder(std::string folder)
{
    std::lock_guard lock(folderMutex());
    chosenFolder() = std::move(folder);
}

void* moduleEntry(const char* fileName, const char* entry)
{
    const std::string path = moduleFolder() + "/" + fileName;
    // RTLD_LOCAL: nothing else resolves against a module; it finds the platform and the
    // toolkit, which are loaded already, through its own dependencies.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    return dlsym(library, entry);
}

} // namespace platform::detail
