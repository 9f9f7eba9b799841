// The database module: connections to SQLite files through the toolkit's SQL support.

#include "platform/internal/modules_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/sql_module_p.h"

#include <QSqlDatabase>
#include <QString>

namespace platform::detail {

namespace {

class QtSqlModule final : public SqlModule {
public:
    bool open(const std::string& connection, const std::string& path) const override
    {
        bool opened = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", qs(connection));
            // A read-only open neither creates a missing file nor writes to an existing one.
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            db.setDatabaseName(qs(path));
            opened = db.open();
        }
        if (!opened)
            QSqlDatabase::removeDatabase(qs(connection));
        return opened;
    }

    void close(const std::string& connection) const override
    {
        const QString name = qs(connection);
        if (!QSqlDatabase::contains(name))
            return;
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        // Only once no handle to the connection is left.
        QSqlDatabase::removeDatabase(name);
    }
};

} // namespace

} // namespace platform::detail

KESTRIX_MODULE_ENTRY const platform::detail::SqlModule* kestrix_sql_module()
{
    static const platform::detail::QtSqlModule module;
    return &module;
}
