#pragma once

// What the platform's SqlDatabase asks of the database module (sql_connection.cpp, with the
// toolkit's SQL support), which is loaded by the first connect, not at start-up.

#include <string>

namespace platform::detail {

class SqlModule {
public:
    /// Opens the regular file at `path` read-only as the connection named `connection`. False,
    /// with no connection left, when it cannot be opened.
    virtual bool open(const std::string& connection, const std::string& path) const = 0;
    /// Ends the connection named `connection`; without one it does nothing.
    virtual void close(const std::string& connection) const = 0;

protected:
    ~SqlModule() = default;
};

/// The module's file, and the name of the function it exports that returns its SqlModule.
inline constexpr const char* kSqlModuleFile = "libkestrix_sql.so";
inline constexpr const char* kSqlModuleEntry = "kestrix_sql_module";

} // namespace platform::detail
