#pragma once

// Prints that cannot reach their file: the files no page can be written to, and the check
// that a window's Print reports such a failure and leaves nothing behind.

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

/// A PDF file that cannot be written, made in (or named from) a test's folder.
struct UnwritableFile {
    const char* name;
    std::function<std::string(const TempDir& dir)> path;
};

/// A device that is always full, a file in a folder that does not exist, and a folder. The
/// full device is a /dev/full of the folder's own where the system lets a test make one, so
/// that no test can harm the real one; else /dev/full itself.
const std::vector<UnwritableFile>& UnwritableFiles();
/// A test's name for one of them.
std::string UnwritableFileName(const ::testing::TestParamInfo<UnwritableFile>& info);

/// Runs `print`, a window's Print command whose print dialog is answered with the PDF file
/// `pdf`, and checks that the dialog named the job `jobName`, that the user was told "The page
/// could not be printed.", and that neither a file at `pdf` nor any other file in `dir`
/// was made or changed.
void ExpectFailedPrint(const std::function<void()>& print, const std::string& jobName,
                       const std::string& pdf, const TempDir& dir);

} // namespace testsupport
