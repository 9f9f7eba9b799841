#pragma once

// The platform's loadable modules: the parts of the layer whose toolkit libraries cost a start
// more than they are worth before they are used (printing, the SQL database). Each is a shared
// library beside the platform's own, loaded by the first use that finds it and kept to the end of
// the process. A module takes the platform's functions from the program, which is linked with
// the platform library, so it shares the one copy of the platform's state (the services, the
// windows, the paint counters) that the program has.

#include <mutex>
#include <string>

namespace platform::detail {

/// The entry point `entry` of the module whose file is `fileName` in the services' module
/// folder (beside the platform library, in the build tree and once installed alike), which is
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
