#include "tests/support/file_size_limit.h"

#include <stdexcept>

namespace testsupport {

FileSizeLimit::FileSizeLimit(uint64_t bytes)
{
    if (getrlimit(RLIMIT_FSIZE, &mPrevious) != 0)
        throw std::runtime_error("cannot read the file-size limit");
    rlimit lowered = mPrevious;
    lowered.rlim_cur = static_cast<rlim_t>(bytes);
    if (setrlimit(RLIMIT_FSIZE, &lowered) != 0)
        throw std::runtime_error("cannot lower the file-size limit");
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &mPrevious);
}

} // namespace testsupport
