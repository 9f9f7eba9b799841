#pragma once

// The services of the test programs' build of the platform: the system's own, with the test
// seam's answerer, faults and fakes put in where a test has installed them.

#include "platform/internal/printing_p.h"
#include "platform/internal/services_p.h"
#include "platform/modal.h"

#include <QSize>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace platform::testing {

class TestServices final : public detail::SystemServices {
public:
    ModalAnswer runModal(const ModalRequest& request,
                         const std::function<ModalAnswer()>& show) override;
    ssize_t read(int fd, void* into, size_t size) override;
    ssize_t pread(int fd, void* into, size_t size, off_t offset) override;
    ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) override;
    int fsync(int fd) override;
    int renameat(int folder, const char* from, const char* to) override;
    int close(int fd) override;
    std::unique_ptr<detail::PrintQueueSteps> printQueue(const std::string& queue) override;
    void drawPage(Graphics& page, const std::function<void(Graphics&)>& draw) override;
    QRect screenGeometry() override;
    QRect availableGeometry() override;
    std::string moduleFolder() override;

    /// Answers every modal in the person's place while set.
    ModalHandler modalHandler;

    enum class WriteFault { None, ShortWrite, Sync, Rename };
    WriteFault writeFault = WriteFault::None;
    /// Reads fail once this many bytes of a file were read.
    std::optional<uint64_t> readFailsAfter;

    /// The queue a test put in the print system's place, and its steps.
    std::string fakeQueue;
    detail::PrintQueueSteps* fakeQueueSteps = nullptr;

    /// While set, a printed page's drawing throws std::runtime_error with this text at its end.
    std::optional<std::string> pageDrawingFault;

    std::optional<QSize> screenSize;
    std::string modules;

private:
    /// What happened to an open file since it was opened: how much of it was read, and
    /// whether the write fault struck it already.
    struct OpenFile {
        uint64_t bytesRead = 0;
        int writes = 0;
        bool struck = false;
        bool syncStruck = false;
    };
    std::map<int, OpenFile> mFiles;
    std::mutex mFilesMutex;

    ssize_t allowedRead(int fd, size_t size);
    ssize_t countRead(int fd, ssize_t got);
};

TestServices& testServices();

} // namespace platform::testing
