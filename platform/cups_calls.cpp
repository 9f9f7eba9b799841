#include "platform/internal/cups_p.h"

#include <dlfcn.h>

namespace platform::detail {

namespace {

// The library's name as its packages install it for programs to load.
constexpr const char* kCupsLibrary = "libcups.so.2";

template <class Call> bool find(void* library, const char* name, Call& call)
{
    call = reinterpret_cast<Call>(dlsym(library, name));
    return call != nullptr;
}

} // namespace

const CupsCalls* cupsCalls()
{
    // Loaded once and kept for the rest of the process.
    static const CupsCalls* const calls = []() -> const CupsCalls* {
        void* library = dlopen(kCupsLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return nullptr;
        static CupsCalls c;
        const bool all = find(library, "cupsAddOption", c.addOption) &&
                         find(library, "cupsFreeOptions", c.freeOptions) &&
                         find(library, "cupsCreateJob", c.createJob) &&
                         find(library, "cupsStartDocument", c.startDocument) &&
                         find(library, "cupsWriteRequestData", c.writeRequestData) &&
                         find(library, "cupsFinishDocument", c.finishDocument) &&
                         find(library, "cupsCancelJob2", c.cancelJob) &&
                         find(library, "cupsGetNamedDest", c.getNamedDest) &&
                         find(library, "cupsGetOption", c.getOption) &&
                         find(library, "cupsFreeDests", c.freeDests);
        return all ? &c : nullptr;
    }();
    return calls;
}

} // namespace platform::detail
