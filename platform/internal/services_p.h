#pragma once

// What the platform asks of the world around it: who answers a modal, the system's calls that
// move a file's bytes, the print system and the drawing of a printed page, the screen, and where
// its modules lie. The program's library has the system's own (services.cpp); the test
// programs' build of the platform has the test seam's in their place (platform/testing/), which
// build on the system's. So the program's paths go through these calls alone, and carry no
// switch that a test flips.

#include "platform/modal.h"

#include <QRect>

#include <functional>
#include <memory>
#include <string>

#include <sys/types.h>

namespace platform {
class Graphics;
}

namespace platform::detail {

class PrintQueueSteps;

class Services {
public:
    virtual ~Services() = default;

    /// Answers a modal; `show` puts the real one up, waits for the person and gives what they
    /// did.
    virtual ModalAnswer runModal(const ModalRequest& request,
                                 const std::function<ModalAnswer()>& show) = 0;

    /// The system's calls on an open file, with their results and errno as POSIX gives them.
    virtual ssize_t read(int fd, void* into, size_t size) = 0;
    virtual ssize_t pread(int fd, void* into, size_t size, off_t offset) = 0;
    virtual ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) = 0;
    virtual int fsync(int fd) = 0;
    virtual int renameat(int folder, const char* from, const char* to) = 0;
    virtual int close(int fd) = 0;

    /// The print system's steps of a job on the print queue `queue`.
    virtual std::unique_ptr<PrintQueueSteps> printQueue(const std::string& queue) = 0;
    /// Draws a printed page with `draw`, before the page is finished; what `draw` throws ends
    /// in the caller.
    virtual void drawPage(Graphics& page, const std::function<void(Graphics&)>& draw) = 0;

    /// The main screen, and the part of it that windows may use (without panels and docks).
    virtual QRect screenGeometry() = 0;
    virtual QRect availableGeometry() = 0;

    /// The folder the platform's modules are loaded from.
    virtual std::string moduleFolder() = 0;
};

/// The system's own services: the person answers, the kernel moves the bytes, CUPS prints,
/// the toolkit knows the screen, and the modules lie beside the platform library.
class SystemServices : public Services {
public:
    ModalAnswer runModal(const ModalRequest& request,
                         const std::function<ModalAnswer()>& show) override;
    ssize_t read(int fd, void* into, size_t size) override;
    ssize_t pread(int fd, void* into, size_t size, off_t offset) override;
    ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) override;
    int fsync(int fd) override;
    int renameat(int folder, const char* from, const char* to) override;
    int close(int fd) override;
    std::unique_ptr<PrintQueueSteps> printQueue(const std::string& queue) override;
    void drawPage(Graphics& page, const std::function<void(Graphics&)>& draw) override;
    QRect screenGeometry() override;
    QRect availableGeometry() override;
    std::string moduleFolder() override;
};

/// The services this build of the platform has.
Services& services();

} // namespace platform::detail
