#include "tests/support/failing_print.h"

#include "tests/support/modal_script.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace testsupport {

namespace {

std::string fullDevice(const TempDir& dir)
{
    const std::string device = dir.file("full");
    // The character device 1, 7 is Linux's "full" device.
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        return device;
    return "/dev/full";
}

} // namespace

const std::vector<UnwritableFile>& UnwritableFiles()
{
    static const std::vector<UnwritableFile> files{
        {"FullDevice", fullDevice},
        {"MissingFolder", [](const TempDir& d) { return d.file("no such folder") + "/page.pdf"; }},
        {"AFolder", [](const TempDir& d) { return d.path(); }},
    };
    return files;
}

std::string UnwritableFileName(const ::testing::TestParamInfo<UnwritableFile>& info)
{
    return info.param.name;
}

void ExpectFailedPrint(const std::function<void()>& print, const std::string& jobName,
                       const std::string& pdf, const TempDir& dir)
{
    const auto type = std::filesystem::status(pdf).type();
    const auto before = TempDir::names(dir.path());
    ModalScript script;
    script
        .expect(Kind::Print,
                [&](const ModalRequest& r) {
                    EXPECT_EQ(r.title, jobName);
                    return ModalAnswer::file(pdf);
                })
        .message("The page could not be printed.");
    print();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(std::filesystem::status(pdf).type(), type) << "a device stays a device";
    EXPECT_EQ(TempDir::names(dir.path()), before) << "no file made, not even a temporary one";
}

} // namespace testsupport
