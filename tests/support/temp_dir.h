#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

/// A folder of its own for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    std::string file(const std::string& name) const { return mPath + "/" + name; }
    /// The names in this folder, sorted: what a write left behind.
    std::vector<std::string> names() const { return names(mPath); }
    static std::vector<std::string> names(const std::string& folder);

    static std::string read(const std::string& path);
    static void write(const std::string& path, const std::string& bytes);
    /// A file of `size` bytes that begins with `start` and holds zeros after it, which take
    /// no room on disk.
    static void writeSparse(const std::string& path, const std::string& start, uint64_t size);

private:
    std::string mPath;
};

} // namespace testsupport
