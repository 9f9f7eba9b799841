#pragma once

// The calls a print job makes into the CUPS library, which is loaded when the first job is
// sent, not at start-up: with the libraries it brings (GnuTLS, Kerberos, Avahi) it costs a
// start more than the toolkit's own libraries do.

#include <cups/cups.h>

namespace platform::detail {

struct CupsCalls {
    decltype(&::cupsAddOption) addOption = nullptr;
    decltype(&::cupsFreeOptions) freeOptions = nullptr;
    decltype(&::cupsCreateJob) createJob = nullptr;
    decltype(&::cupsStartDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&::cupsFinishDocument) finishDocument = nullptr;
    decltype(&::cupsCancelJob2) cancelJob = nullptr;
    decltype(&::cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&::cupsGetOption) getOption = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
};

/// The calls, from the library loaded by the first use; nullptr when it cannot be loaded or
/// lacks one of them.
const CupsCalls* cupsCalls();

} // namespace platform::detail
