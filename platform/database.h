#pragma once

// The SQL database that may belong to a document. The program only attaches the file and
// connects to it; it never queries it, and nothing here creates or changes the file.

#include "platform/files.h"

#include <string>

namespace platform {

/// One SQLite database file, opened read-only.
class SqlDatabase {
public:
    SqlDatabase();
    /// Closes the connection, if open.
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    /// The file that the next `connect` opens; an open connection stays as it is.
    void setDatabaseFile(const File& file);
    /// The file set last; an empty path, which names no file, until one is set.
    const File& databaseFile() const { return mFile; }

    /// Opens the database file read-only, closing an earlier connection first. An existing
    /// file only: when it is missing, or is a folder, this returns false and creates nothing.
    /// The file's bytes are never changed.
    bool connect();
    bool isConnected() const { return mConnected; }
    /// Ends the connection; without one it does nothing.
    void close();

private:
    File mFile;
    std::string mConnectionName;
    bool mConnected = false;
};

} // namespace platform
