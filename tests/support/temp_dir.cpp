#include "tests/support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <cstdlib>
#include <unistd.h>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrix-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    mPath = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Folders a test made unwritable must still go.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(mPath, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(mPath, ec);
}

std::vector<std::string> TempDir::names(const std::string& folder)
{
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::string TempDir::read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void TempDir::write(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void TempDir::writeSparse(const std::string& path, const std::string& start, uint64_t size)
{
    write(path, start);
    std::filesystem::resize_file(path, size);
}

} // namespace testsupport
