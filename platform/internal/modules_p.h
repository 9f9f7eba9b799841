#pragma once

// The platform's loadable modules: the parts of the layer whose toolkit libraries cost a start
// more than they are worth before they are used (printing, the SQL database). Each is a shared
// library beside the platform's own, loaded by the first use that finds it and kept to the end of
// the process. A module links the platform library, so it shares the one copy of the platform's
// state (the modal seam, the windows, the paint counters) that the program has.

#include <mutex>
#include <string>

namespace platform::detail {

/// The folder the modules are loaded from: the folder of the platform library itself, in the
/// build tree and once installed alike, unless a test has named another one.
std::string moduleFolder();
/// Names the folder modules are loaded from from now on; an empty name restores the platform
/// library's own. A module already loaded stays loaded.
void setModuleFolder(std::string folder);

/// The entry point `entry` of the module whose file is `fileName` in moduleFolder(), which is
/// loaded by the first call that finds it; nullptr when the module is missing, cannot be loaded or
/// has no such entry point. Never throws.
void* moduleEntry(const char* fileName, const char* entry);

/// The module M of the file `fileName`, which its entry point `entry` returns: loaded by the
/// first call that finds it and kept for the rest of the process; nullptr while it cannot be
/// loaded, and the next call looks for it again.
template <class M> const M* loadedModule(const char* fileName, const char* entry)
{
    static std::mutex mutex;
    static const M* module = nullptr;
    std::lock_guard lock(mutex);
    if (!module) {
        using Entry = const M* (*)();
        const auto get = reinterpret_cast<Entry>(moduleEntry(fileName, entry));
        module = get ? get() : nullptr;
    }
    return module;
}

} // namespace platform::detail

/// Marks a module's entry point, which the platform finds by name.
#define KESTRIX_MODULE_ENTRY extern "C" __attribute__((visibility("default")))
