#pragma once

// The one place where a test makes a file write fail at a chosen step, as a fault of the disk
// there would (see platform/testing.h). The program never sets it.

#include <atomic>

namespace platform::detail {

/// The step of File::writeAll that fails: a write that takes half the bytes and then finds the
/// disk full, the sync, or the rename that puts the new file in place.
enum class WriteFault { None, ShortWrite, Sync, Rename };

std::atomic<WriteFault>& writeFault();

} // namespace platform::detail
