#include "platform/database.h"

#include "platform/internal/qt_util.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QString>

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
    // A read-only open neither creates a missing file nor writes to an existing one. Only a
    // regular file reaches the driver: not a missing file, a folder, a device, nor a pipe,
    // whose open would wait for a writer.
    if (!QFileInfo(detail::qs(mFile.absolutePath())).isFile())
        return false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", detail::qs(mConnectionName));
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        db.setDatabaseName(detail::qs(mFile.absolutePath()));
        mConnected = db.open();
    }
    if (!mConnected)
        QSqlDatabase::removeDatabase(detail::qs(mConnectionName));
    return mConnected;
}

void SqlDatabase::close()
{
    const QString name = detail::qs(mConnectionName);
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    // Only once no handle to the connection is left.
    QSqlDatabase::removeDatabase(name);
    mConnected = false;
}

} // namespace platform
