// The system's own services (see internal/services_p.h).

#include "platform/internal/services_p.h"

#include "platform/internal/printing_p.h"

#include <QGuiApplication>
#include <QScreen>

#include <cerrno>

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace platform::detail {

namespace {

// The folder of the shared library this code is part of.
std::string ownFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ownFolder), &info) || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

} // namespace

ModalAnswer SystemServices::runModal(const ModalRequest&, const std::function<ModalAnswer()>& show)
{
    return show();
}

ssize_t SystemServices::read(int fd, void* into, size_t size)
{
    return ::read(fd, into, size);
}

ssize_t SystemServices::pread(int fd, void* into, size_t size, off_t offset)
{
    return ::pread(fd, into, size, offset);
}

ssize_t SystemServices::pwrite(int fd, const void* bytes, size_t size, off_t offset)
{
    return ::pwrite(fd, bytes, size, offset);
}

int SystemServices::fsync(int fd)
{
    return ::fsync(fd);
}

int SystemServices::renameat(int folder, const char* from, const char* to)
{
    return ::renameat(folder, from, folder, to);
}

int SystemServices::close(int fd)
{
    return ::close(fd);
}

std::unique_ptr<PrintQueueSteps> SystemServices::printQueue(const std::string& queue)
{
    return cupsQueue(queue);
}

void SystemServices::drawPage(Graphics& page, const std::function<void(Graphics&)>& draw)
{
    if (draw)
        draw(page);
}

QRect SystemServices::screenGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect SystemServices::availableGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

std::string SystemServices::moduleFolder()
{
    static const std::string own = ownFolder();
    return own;
}

} // namespace platform::detail
