#pragma once

// A read that fails part-way, as a disk's bad sector would: a source of bytes for a text
// stream that gives some bytes and then fails.

#include "platform/files.h"

#include <algorithm>
#include <string>
#include <utility>

namespace testsupport {

/// Gives `bytes` a few at a time, up to `failAt` of them, and then fails instead of giving
/// more; `failAt` past the end fails where the end would have been told.
class FailingSource : public platform::ByteSource {
public:
    FailingSource(std::string bytes, size_t failAt) : mBytes(std::move(bytes)), mFailAt(failAt) {}

    ptrdiff_t read(char* into, size_t size) override
    {
        if (mPos >= mFailAt || mPos >= mBytes.size())
            return mPos >= mFailAt ? -1 : 0;
        const size_t n = std::min({size, mFailAt - mPos, mBytes.size() - mPos, kPiece});
        mBytes.copy(into, n, mPos);
        mPos += n;
        return static_cast<ptrdiff_t>(n);
    }

private:
    // Small pieces, so that a text is taken in many reads.
    static constexpr size_t kPiece = 100;
    std::string mBytes;
    size_t mFailAt;
    size_t mPos = 0;
};

} // namespace testsupport
