#include "platform/database.h"

#include "platform/internal/modules_p.h"
#include "platform/internal/sql_module_p.h"

#include <sys/stat.h>

#include <atomic>

namespace platform {

namespace {

// Qt keeps connections by name in one process-wide table, so every object needs a name of its
// own.
std::string NewConnectionName()
{
    static std::atomic<unsigned long long> counter{0};
    return "platform-database-" + std::to_string(++counter);
}

// nullptr while the module cannot be loaded: every connect then fails.
const detail::SqlModule* sqlModule()
{
    return detail::loadedModule<detail::SqlModule>(detail::kSqlModuleFile, detail::kSqlModuleEntry);
}

bool isRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

SqlDatabase::SqlDatabase() : mFile(std::string()), mConnectionName(NewConnectionName()) {}

SqlDatabase::~SqlDatabase()
{
    close();
}

void SqlDatabase::setDatabaseFile(const File& file)
{
    mFile = file;
}

bool SqlDatabase::connect()
{
    close();
    // Only a regular file reaches the driver: not a missing file, a folder, a device, nor a
    // pipe, whose open would wait for a writer.
    const std::string path = mFile.absolutePath();
    if (!isRegularFile(path))
        return false;
    const detail::SqlModule* module = sqlModule();
    mConnected = module && module->open(mConnectionName, path);
    return mConnected;
}

void SqlDatabase::close()
{
    // Without a connection made there is nothing to end, and nothing to load for it.
    if (!mConnected)
        return;
    sqlModule()->close(mConnectionName);
    mConnected = false;
}

} // namespace platform
