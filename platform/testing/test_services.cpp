// The test programs' services (see test_services_p.h): this file takes the place that the
// program's library gives the system's own services.

#include "platform/testing/test_services_p.h"

#include "platform/graphics.h"
#include "platform/testing/fakes.h"

#include <algorithm>
#include <cerrno>

namespace platform {

namespace detail {

Services& services()
{
    return testing::testServices();
}

} // namespace detail

namespace testing {

TestServices& testServices()
{
    static TestServices services;
    return services;
}

ModalAnswer TestServices::runModal(const ModalRequest& request,
                                   const std::function<ModalAnswer()>& show)
{
    if (!modalHandler)
        return SystemServices::runModal(request, show);
    // A copy: the handler may replace itself while it runs.
    const ModalHandler handler = modalHandler;
    ModalAnswer answer = handler(request);
    // A print dialog answered without a file sends its page to the queue in the print
    // system's place.
    if (request.kind == ModalRequest::Kind::Print && !answer.path && !answer.queue &&
        answer.choice >= 0 && fakeQueueSteps)
        answer.queue = fakeQueue;
    return answer;
}

// How much of a read of `size` bytes the read fault lets through (-1 when none: the read
// fails), for the file `fd`.
ssize_t TestServices::allowedRead(int fd, size_t size)
{
    if (!readFailsAfter)
        return static_cast<ssize_t>(size);
    std::lock_guard lock(mFilesMutex);
    const uint64_t done = mFiles[fd].bytesRead;
    if (done >= *readFailsAfter)
        return -1;
    return static_cast<ssize_t>(std::min<uint64_t>(size, *readFailsAfter - done));
}

ssize_t TestServices::countRead(int fd, ssize_t got)
{
    if (got > 0) {
        std::lock_guard lock(mFilesMutex);
        mFiles[fd].bytesRead += static_cast<uint64_t>(got);
    }
    return got;
}

ssize_t TestServices::read(int fd, void* into, size_t size)
{
    const ssize_t allowed = allowedRead(fd, size);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return countRead(fd, SystemServices::read(fd, into, static_cast<size_t>(allowed)));
}

ssize_t TestServices::pread(int fd, void* into, size_t size, off_t offset)
{
    const ssize_t allowed = allowedRead(fd, size);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return countRead(fd, SystemServices::pread(fd, into, static_cast<size_t>(allowed), offset));
}

ssize_t TestServices::pwrite(int fd, const void* bytes, size_t size, off_t offset)
{
    if (writeFault == WriteFault::ShortWrite) {
        std::lock_guard lock(mFilesMutex);
        OpenFile& file = mFiles[fd];
        if (!file.struck) {
            // Half of the bytes, then a full disk.
            if (file.writes++ > 0) {
                file.struck = true;
                errno = ENOSPC;
                return -1;
            }
            size = size > 1 ? size / 2 : size;
        }
    }
    return SystemServices::pwrite(fd, bytes, size, offset);
}

int TestServices::fsync(int fd)
{
    if (writeFault == WriteFault::Sync) {
        std::lock_guard lock(mFilesMutex);
        OpenFile& file = mFiles[fd];
        if (!file.syncStruck) {
            file.syncStruck = true;
            errno = EIO;
            return -1;
        }
    }
    return SystemServices::fsync(fd);
}

int TestServices::renameat(int folder, const char* from, const char* to)
{
    if (writeFault == WriteFault::Rename) {
        errno = EIO;
        return -1;
    }
    return SystemServices::renameat(folder, from, to);
}

int TestServices::close(int fd)
{
    {
        std::lock_guard lock(mFilesMutex);
        mFiles.erase(fd);
    }
    return SystemServices::close(fd);
}

namespace {

// The steps of the queue a test put in the print system's place, for one job.
class FakeQueueJob final : public detail::PrintQueueSteps {
public:
    explicit FakeQueueJob(detail::PrintQueueSteps& steps) : mSteps(steps) {}
    int createJob(const std::string& title, const detail::JobOptions& options) override
    {
        return mSteps.createJob(title, options);
    }
    bool startDocument(int job, const std::string& title) override
    {
        return mSteps.startDocument(job, title);
    }
    bool writeData(int job, std::string_view bytes) override
    {
        return mSteps.writeData(job, bytes);
    }
    bool finishDocument(int job) override { return mSteps.finishDocument(job); }
    void cancelJob(int job) override { mSteps.cancelJob(job); }

private:
    detail::PrintQueueSteps& mSteps;
};

} // namespace

std::unique_ptr<detail::PrintQueueSteps> TestServices::printQueue(const std::string& queue)
{
    if (fakeQueueSteps && queue == fakeQueue)
        return std::make_unique<FakeQueueJob>(*fakeQueueSteps);
    return SystemServices::printQueue(queue);
}

void TestServices::drawPage(Graphics& page, const std::function<void(Graphics&)>& draw)
{
    SystemServices::drawPage(page, draw);
    if (pageDrawingFault)
        drawFailingOperation(page, 0, page.height(), *pageDrawingFault);
}

QRect TestServices::screenGeometry()
{
    return screenSize ? QRect(QPoint(0, 0), *screenSize) : SystemServices::screenGeometry();
}

QRect TestServices::availableGeometry()
{
    return screenSize ? QRect(QPoint(0, 0), *screenSize) : SystemServices::availableGeometry();
}

std::string TestServices::moduleFolder()
{
    return modules.empty() ? SystemServices::moduleFolder() : modules;
}

} // namespace testing
} // namespace platform
