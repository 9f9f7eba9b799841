#include "platform/files.h"

#include "platform/testing.h"

#include "tests/support/failing_read.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

using platform::File;
using platform::TextInputStream;
using platform::testing::FileWriteFault;
using testsupport::kNobody;
using testsupport::kNogroup;
using testsupport::RunAsNobody;
using testsupport::TempDir;

namespace {

std::vector<std::string> lines(const std::string& bytes, int count)
{
    TextInputStream in(bytes);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(in.readLine());
    return out;
}

TEST(TextInputStreamTest, ReadsEveryKindOfLineEndAlike)
{
    const std::vector<std::string> expected{"one", "", "three", "", ""};
    EXPECT_EQ(lines("one\n\nthree\n", 5), expected);
    EXPECT_EQ(lines("one\r\n\r\nthree\r\n", 5), expected);
    EXPECT_EQ(lines("one\r\rthree\r", 5), expected);
}

struct MixedCase {
    const char* bytes;
    std::vector<std::string> lines;
};

void PrintTo(const MixedCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.bytes));
}

class MixedLineEndTest : public ::testing::TestWithParam<MixedCase> {};

// A break of another kind than the first line's end, pasted from another system, stays in its
// line; a CRLF ends a line whatever the first line ends with.
TEST_P(MixedLineEndTest, TheFirstLineSaysHowEveryLineEnds)
{
    EXPECT_EQ(lines(GetParam().bytes, static_cast<int>(GetParam().lines.size())), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixedLineEndTest,
    ::testing::Values(MixedCase{"a\nb\rc\nd\r", {"a", "b\rc", "d\r", ""}},
                      MixedCase{"a\rb\nc\rd\n", {"a", "b\nc", "d\n", ""}},
                      MixedCase{"a\r\nb\rc\nd\n\re\r\n", {"a", "b\rc\nd\n\re", ""}},
                      MixedCase{"a\nb\r\nc\n\r\n", {"a", "b", "c", "", ""}},
                      MixedCase{"a\rb\r\nc\r", {"a", "b", "c", ""}},
                      MixedCase{"\r\nb\n", {"", "b\n", ""}}, MixedCase{"a", {"a", ""}}));

TEST(TextInputStreamTest, SkipsAByteOrderMarkAndReadsLatin1WhenNotUtf8)
{
    EXPECT_EQ(lines("\xEF\xBB\xBFVarnholt Data\tfalse\n", 1)[0], "Varnholt Data\tfalse");
    EXPECT_EQ(lines("Z\xFCrich\n", 1)[0], "Zürich");
    EXPECT_EQ(lines("Zürich\n", 1)[0], "Zürich");
}

struct DecodeCase {
    const char* bytes;
    const char* text;
};

class DecodeTextTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTextTest, KeepsValidUtf8AndReadsOnlyTheInvalidBytesAsWindows1252)
{
    EXPECT_EQ(platform::DecodeText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeTextTest,
    ::testing::Values(
        DecodeCase{"Caf\xC3\xA9", "Café"}, DecodeCase{"Z\xFCrich", "Zürich"},
        // One stray Latin-1 byte elsewhere leaves the UTF-8 as it is.
        DecodeCase{"Caf\xC3\xA9\nZ\xFCrich", "Café\nZürich"},
        DecodeCase{"\xEF\xBB\xBF\xE9t\xC3\xA9", "été"},
        // A sequence cut short, an overlong form, a surrogate and a byte beyond the
        // four-byte forms are each read byte by byte; a whole four-byte form is kept.
        DecodeCase{"\xC3", "Ã"}, DecodeCase{"\xE2\x82x", "â‚x"}, DecodeCase{"\xC0\xAF", "À¯"},
        DecodeCase{"\xED\xA0\x80", "í\xC2\xA0€"}, DecodeCase{"\xF8!", "ø!"},
        DecodeCase{"\xF0\x9F\x99\x82\xB5", "\xF0\x9F\x99\x82µ"},
        // 0x80 to 0x9F are Windows-1252's characters; the five it leaves undefined
        // stay Latin-1.
        DecodeCase{"Caf\xE9 \x93owners\x94 \x80"
                   "5",
                   "Café “owners” €5"},
        DecodeCase{"\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E", "‚ƒ„…†‡ˆ‰Š‹ŒŽ"},
        DecodeCase{"\x91\x92\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F", "‘’•–—˜™š›œžŸ"},
        DecodeCase{"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}));

TEST(TextInputStreamTest, ReadAllKeepsTheTextWhole)
{
    TextInputStream in("a\r\nb");
    EXPECT_EQ(in.readAll(), "a\r\nb");
    EXPECT_TRUE(in.atEnd());
}

// The lines of DecodeText(bytes) as its first line's end says they end: what reading a text
// line by line must give, whatever pieces it is read in.
std::vector<std::string> decodedLines(const std::string& bytes)
{
    const std::string text = platform::DecodeText(bytes);
    const size_t first = text.find_first_of("\r\n");
    const bool crEnds =
        first != std::string::npos && text.compare(first, 2, "\r\n") != 0 && text[first] == '\r';
    const bool lfEnds = first != std::string::npos && text[first] == '\n';
    std::vector<std::string> out;
    size_t pos = 0;
    size_t from = 0;
    while (pos < text.size()) {
        const size_t end = text.find_first_of("\r\n", from);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        const bool crlf = text.compare(end, 2, "\r\n") == 0;
        if (!crlf && !(text[end] == '\r' ? crEnds : lfEnds)) {
            from = end + 1;
            continue;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = from = end + (crlf ? 2 : 1);
    }
    return out;
}

std::vector<std::string> linesToEnd(TextInputStream& in)
{
    std::vector<std::string> out;
    while (!in.atEnd())
        out.push_back(in.readLine());
    return out;
}

// A file is read in chunks; a line end, a lone break of another kind, a character of several
// bytes, a stray byte or a byte-order mark that falls on the seam between two chunks reads as
// in one piece, whichever way the text's lines end.
TEST(TextInputStreamTest, AFileReadsAsItsWholeTextDecodedAtOnce)
{
    const std::string seams[] = {"\r\n", "\r",       "\n",           "\n\n",
                                 "\r\r", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x99\x82",
                                 "\xFC", "\xE2\x82", "\xEF\xBB\xBF", "\xC3\n"};
    TempDir dir;
    const std::string path = dir.file("seams.txt");
    for (const std::string lineEnd : {"\n", "\r", "\r\n"}) {
        for (const std::string& seam : seams) {
            for (size_t before = TextInputStream::kChunkSize - 4;
                 before <= TextInputStream::kChunkSize + 1; ++before) {
                const std::string head = "\xEF\xBB\xBF"
                                         "first" +
                                         lineEnd;
                const std::string bytes =
                    head + std::string(before - head.size(), 'a') + seam + "b" + lineEnd + "last";
                TempDir::write(path, bytes);
                std::optional<TextInputStream> in = TextInputStream::open(File(path));
                ASSERT_TRUE(in);
                ASSERT_EQ(linesToEnd(*in), decodedLines(bytes))
                    << ::testing::PrintToString(lineEnd) << ::testing::PrintToString(seam) << " at "
                    << before;
                EXPECT_FALSE(in->failed());
                EXPECT_EQ(in->bytesRead(), bytes.size());
                in = TextInputStream::open(File(path));
                in->readLine();
                EXPECT_EQ("first" + lineEnd + in->readAll(), platform::DecodeText(bytes));
            }
        }
    }
}

TEST(TextInputStreamTest, SkipsEmptyLinesUpToTheNextText)
{
    TempDir dir;
    const std::string path = dir.file("blank.txt");
    TempDir::write(path, "a\n" + std::string(TextInputStream::kChunkSize * 2, '\n') + "\r\nb");
    std::optional<TextInputStream> in = TextInputStream::open(File(path));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->readLine(), "a");
    in->skipEmptyLines();
    EXPECT_FALSE(in->atEnd());
    EXPECT_EQ(in->readLine(), "b");
    in->skipEmptyLines();
    EXPECT_TRUE(in->atEnd());

    TextInputStream blank("a\r\n\n\r\r\n");
    blank.readLine();
    blank.skipEmptyLines();
    EXPECT_TRUE(blank.atEnd());
}

TEST(TextInputStreamTest, ALineLongerThanTheLimitIsRefusedUnreadBeyondIt)
{
    TextInputStream exact("abc\nde");
    EXPECT_EQ(exact.readLine(3), "abc");
    EXPECT_FALSE(TextInputStream("abcd\n").readLine(3));

    // A gigabyte that takes no room on disk: only the limit and one chunk of it are read.
    TempDir dir;
    const std::string zeros = dir.file("zeros.dat");
    const std::string shortFirst = dir.file("short.dat");
    constexpr uint64_t kGigabyte = uint64_t{1} << 30;
    TempDir::writeSparse(zeros, "", kGigabyte);
    TempDir::writeSparse(shortFirst, "PK\x03\x04\n", kGigabyte);
    constexpr size_t kLimit = 100;

    std::optional<TextInputStream> in = TextInputStream::open(File(zeros));
    ASSERT_TRUE(in);
    EXPECT_FALSE(in->readLine(kLimit));
    EXPECT_LE(in->bytesRead(), kLimit + TextInputStream::kChunkSize);

    in = TextInputStream::open(File(shortFirst));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->readLine(kLimit), "PK\x03\x04");
    EXPECT_LE(in->bytesRead(), TextInputStream::kChunkSize);
}

// A read that fails ends the text where it failed, and the stream tells so: part-way through
// a source, and at once from a file whose first read fails (no memory is mapped at the
// start of this process's /proc/self/mem).
TEST(TextInputStreamTest, AReadThatFailsEndsTheTextAndIsTold)
{
    TextInputStream in(std::make_unique<testsupport::FailingSource>("one\ntwo\nthree\n", 6));
    EXPECT_EQ(in.readLine(), "one");
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.readLine(), "tw");
    EXPECT_TRUE(in.atEnd());
    EXPECT_TRUE(in.failed());

    std::optional<TextInputStream> mem = TextInputStream::open(File("/proc/self/mem"));
    ASSERT_TRUE(mem) << "a regular file";
    EXPECT_EQ(mem->readLine(), "");
    EXPECT_TRUE(mem->failed());
    EXPECT_FALSE(File("/proc/self/mem").readAll());
}

// A pipe without a writer, a device that never ends and a folder: each is refused at once,
// where opening the pipe would wait for a writer and reading the device would never stop.
class NotARegularFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(NotARegularFileTest, IsRefusedWithoutBeingRead)
{
    TempDir dir;
    std::string path = GetParam();
    if (path == "pipe") {
        path = dir.file("pipe");
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (path == "folder") {
        path = dir.path();
    }
    EXPECT_FALSE(File(path).readAll());
    EXPECT_FALSE(TextInputStream::open(File(path)));
}

INSTANTIATE_TEST_SUITE_P(Cases, NotARegularFileTest,
                         ::testing::Values("pipe", "/dev/zero", "/dev/null", "folder"));

TEST(FileTest, ReadAllReadsARegularFileWhole)
{
    TempDir dir;
    const std::string path = dir.file("big.txt");
    std::string bytes(TextInputStream::kChunkSize * 3 + 5, 'x');
    bytes[TextInputStream::kChunkSize] = '\0';
    TempDir::write(path, bytes);
    EXPECT_EQ(File(path).readAll(), bytes);
    EXPECT_EQ(File(path).readAll(bytes.size()), bytes);
    EXPECT_FALSE(File(path).readAll(bytes.size() - 1));
    TempDir::write(path, "");
    EXPECT_EQ(File(path).readAll(), "");
    EXPECT_EQ(File(path).readAll(0), "");
}

// A file larger than the limit is refused; so is one that tells no size and gives more.
TEST(FileTest, ReadAllRefusesAFileLargerThanItsLimit)
{
    TempDir dir;
    const std::string path = dir.file("zeros.dat");
    TempDir::writeSparse(path, "?\n", uint64_t{1} << 30);
    EXPECT_FALSE(File(path).readAll(1000));

    const std::optional<std::string> status = File("/proc/self/status").readAll();
    ASSERT_TRUE(status && status->size() > 100) << "a file of its own size 0";
    EXPECT_FALSE(File("/proc/self/status").readAll(100));
    EXPECT_TRUE(File("/proc/self/status").readAll(status->size() + 4096));
}

TEST(FileTest, WriteAllReplacesTheWholeFile)
{
    TempDir dir;
    const File f(dir.file("data.dat"));
    ASSERT_TRUE(f.writeAll("first version, rather long\n"));
    ASSERT_TRUE(f.writeAll("second\n"));
    EXPECT_EQ(f.readAll().value(), "second\n");
    EXPECT_EQ(f.name(), "data.dat");
    EXPECT_EQ(f.parent().absolutePath(), dir.path());
}

TEST(FileTest, AFailedWriteLeavesTheOldFileAsItWas)
{
    TempDir dir;
    EXPECT_FALSE(File(dir.file("missing/data.dat")).writeAll("x")) << "no such folder";
    EXPECT_FALSE(File(dir.path()).writeAll("x")) << "a folder is no file";
    // A file in a place where nobody may write, root included.
    const File locked("/proc/version");
    const std::optional<std::string> before = locked.readAll();
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(locked.writeAll("new"));
    EXPECT_EQ(locked.readAll(), before);
}

TEST(FileTest, OnlyARegularFileIsReplaced)
{
    // Renaming the new file into place would turn a pipe, or a device such as /dev/full, into
    // a plain file.
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(File(fifo).writeAll("x"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"pipe"});
}

struct LimitCase {
    const char* what;
    size_t oldSize; ///< 0: there is no old file
    size_t newSize;
};

void PrintTo(const LimitCase& c, std::ostream* os)
{
    *os << c.what;
}

class FileSizeLimitTest : public ::testing::TestWithParam<LimitCase> {};

// A write that the file-size limit stops part-way, in a child process so that the limit and
// the signal it raises are real: the program must neither die of SIGXFSZ nor call the write a
// success, and the old file stays byte for byte with nothing else left in its folder.
TEST_P(FileSizeLimitTest, AWriteCutShortFailsAndLeavesTheOldFile)
{
    const LimitCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("data.dat");
    const std::string old(c.oldSize, 'o');
    if (c.oldSize > 0)
        TempDir::write(path, old);
    const std::string bytes(c.newSize, 'n');

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        testsupport::FileSizeLimit limit(1000);
        _exit(File(path).writeAll(bytes) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status))
        << "the write ended the process with signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write was reported as a success";
    if (c.oldSize > 0) {
        EXPECT_EQ(TempDir::read(path), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"data.dat"});
    } else {
        EXPECT_TRUE(dir.names().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FileSizeLimitTest,
                         ::testing::Values(LimitCase{"small over an old file", 3000, 2000},
                                           LimitCase{"large over an old file", 3000, 100000},
                                           LimitCase{"small as a new file", 0, 2000},
                                           LimitCase{"large as a new file", 0, 100000}));

struct stat statOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

struct KeptFile {
    const char* what;
    mode_t mode;
    uid_t owner;
    gid_t group;
};

void PrintTo(const KeptFile& c, std::ostream* os)
{
    *os << c.what;
}

class KeptFileTest : public ::testing::TestWithParam<KeptFile> {};

// A save replaces the file's bytes, not whose it is or who may read it.
TEST_P(KeptFileTest, AReplacedFileKeepsItsOwnerGroupAndMode)
{
    const KeptFile& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("data.dat");
    TempDir::write(path, "old\n");
    ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(chmod(path.c_str(), c.mode), 0);

    ASSERT_TRUE(File(path).writeAll("new content\n"));
    EXPECT_EQ(TempDir::read(path), "new content\n");
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(after.st_uid, c.owner);
    EXPECT_EQ(after.st_gid, c.group);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.dat"});
}

INSTANTIATE_TEST_SUITE_P(Cases, KeptFileTest,
                         ::testing::Values(KeptFile{"read only", 0444, 0, 0},
                                           KeptFile{"no permissions at all", 0000, 0, 0},
                                           KeptFile{"private", 0600, 0, 0},
                                           KeptFile{"group readable", 0640, 0, kNogroup},
                                           KeptFile{"another user's", 0664, kNobody, kNogroup},
                                           KeptFile{"executable", 0755, kNobody, 0}));

TEST(FileTest, ANewFileTakesTheFileCreationMask)
{
    TempDir dir;
    const std::string path = dir.file("new.dat");
    const mode_t previous = umask(027);
    const bool written = File(path).writeAll("x");
    umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0640);
}

TEST(FileTest, ALinkToAFileWritesThatFileAndStaysALink)
{
    TempDir dir;
    const std::string target = dir.file("target.dat");
    const std::string link = dir.file("link.dat");
    TempDir::write(target, "old\n");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(File(link).writeAll("new\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempDir::read(target), "new\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"link.dat", "target.dat"}));
}

// A file the user made read-only is their guard: a write is refused even where the folder
// would let the file be replaced, and the file stays as it was, with nothing beside it.
TEST(FileTest, AFileTheUserMadeReadOnlyIsNotWritten)
{
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("mine");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/data.dat";
    TempDir::write(path, "kept\n");
    ASSERT_EQ(chown(folder.c_str(), kNobody, kNogroup), 0);
    ASSERT_EQ(chown(path.c_str(), kNobody, kNogroup), 0);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const int result = RunAsNobody([&] { return File(path).writeAll("new\n") ? 1 : 0; });
    EXPECT_EQ(result, 0) << "the write was reported as a success";
    EXPECT_EQ(TempDir::read(path), "kept\n");
    EXPECT_EQ(statOf(path).st_mode & 07777, 0444);
    EXPECT_EQ(TempDir::names(folder), std::vector<std::string>{"data.dat"});
}

// Every name of a file with a second hard link shows what was written, and a write that fails
// part-way leaves both with the old content.
TEST(FileTest, AFileWithASecondHardLinkIsWrittenUnderEveryName)
{
    TempDir dir;
    const std::string path = dir.file("data.dat");
    const std::string other = dir.file("other name.dat");
    TempDir::write(path, "old\n");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    const ino_t inode = statOf(path).st_ino;

    ASSERT_TRUE(File(path).writeAll("new content\n"));
    EXPECT_EQ(TempDir::read(path), "new content\n");
    EXPECT_EQ(TempDir::read(other), "new content\n");
    EXPECT_EQ(statOf(other).st_ino, inode);
    EXPECT_EQ(statOf(path).st_nlink, 2u);

    {
        const FileWriteFault fault(FileWriteFault::Step::ShortWrite);
        EXPECT_FALSE(File(other).writeAll(std::string(5000, 'n')));
    }
    EXPECT_EQ(TempDir::read(path), "new content\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"data.dat", "other name.dat"}));
}

// A symbolic link writes the file it leads to and stays a link, also when that file is not
// made yet (Save As onto a link whose file is gone); a loop of links is refused.
struct LinkCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links; ///< name, what it leads to
    const char* written;                                    ///< the name written to
    const char* target;                                     ///< "": refused
};

void PrintTo(const LinkCase& c, std::ostream* os)
{
    *os << c.what;
}

class LinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkTest, WritesTheFileTheLinkLeadsTo)
{
    const LinkCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    for (const auto& [name, to] : c.links)
        ASSERT_EQ(symlink(to.c_str(), dir.file(name).c_str()), 0);
    const bool written = File(dir.file(c.written)).writeAll("new\n");
    EXPECT_EQ(written, *c.target != '\0');
    for (const auto& [name, to] : c.links)
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(name))) << name << " stays a link";
    if (written) {
        EXPECT_EQ(TempDir::read(dir.file(c.target)), "new\n");
        EXPECT_TRUE(
            std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.file(c.target))));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTest,
    ::testing::Values(
        LinkCase{
            "a link to a file not made yet", {{"link.dat", "made.dat"}}, "link.dat", "made.dat"},
        LinkCase{"a link into a folder, by a relative path",
                 {{"link.dat", "sub/made.dat"}},
                 "link.dat",
                 "sub/made.dat"},
        LinkCase{"a chain of links to a file not made yet",
                 {{"first.dat", "second.dat"}, {"second.dat", "sub/made.dat"}},
                 "first.dat",
                 "sub/made.dat"},
        LinkCase{"a loop of links", {{"a.dat", "b.dat"}, {"b.dat", "a.dat"}}, "a.dat", ""},
        LinkCase{"a link to itself", {{"self.dat", "self.dat"}}, "self.dat", ""}));

// Any name the system allows can be written and written again, however long, also where the
// path comes close to the system's limit; nothing is left beside it.
struct LongNameCase {
    const char* what;
    size_t nameBytes;
    size_t pathBytes; ///< 0: in the test's folder
};

void PrintTo(const LongNameCase& c, std::ostream* os)
{
    *os << c.what;
}

class LongNameTest : public ::testing::TestWithParam<LongNameCase> {};

TEST_P(LongNameTest, IsWrittenAndReplaced)
{
    const LongNameCase& c = GetParam();
    TempDir dir;
    std::string folder = dir.path();
    if (c.pathBytes > 0) {
        // Folders of 200 bytes until the file's path is exactly that long.
        while (folder.size() + 1 + 200 + 1 + c.nameBytes <= c.pathBytes) {
            folder += "/" + std::string(200, 'f');
            ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        }
        const size_t last = c.pathBytes - folder.size() - 2 - c.nameBytes;
        folder += "/" + std::string(last, 'g');
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    }
    const std::string name = std::string(c.nameBytes - 4, 'n') + ".dat";
    const std::string path = folder + "/" + name;
    if (c.pathBytes > 0) {
        ASSERT_EQ(path.size(), c.pathBytes);
    }
    ASSERT_TRUE(File(path).writeAll("first\n"));
    ASSERT_TRUE(File(path).writeAll("second\n"));
    EXPECT_EQ(TempDir::read(path), "second\n");
    EXPECT_EQ(TempDir::names(folder), std::vector<std::string>{name});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LongNameTest,
    ::testing::Values(LongNameCase{"a name of 249 bytes", 249, 0},
                      LongNameCase{"a name of 250 bytes", 250, 0},
                      LongNameCase{"a name of 255 bytes", 255, 0},
                      LongNameCase{"a short name at the end of the longest path", 5, PATH_MAX - 1},
                      LongNameCase{"a long name at the end of the longest path", 255,
                                   PATH_MAX - 1}));

// Folders where a user other than root may write a file but not make one beside it, or not
// replace it: the write must reach the file all the same.
struct FolderCase {
    const char* what;
    mode_t folderMode; ///< the folder is root's
    uid_t fileOwner;   ///< the file's; nobody runs the write
    mode_t fileMode;   ///< 0: there is no file
    bool written;
};

void PrintTo(const FolderCase& c, std::ostream* os)
{
    *os << c.what;
}

class OtherUsersFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(OtherUsersFolderTest, WritesWhateverTheUserMayWrite)
{
    const FolderCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
    const std::string path = folder + "/data.dat";
    const std::string old = "old content, rather longer than the new\n";
    if (c.fileMode != 0) {
        TempDir::write(path, old);
        ASSERT_EQ(chown(path.c_str(), c.fileOwner, c.fileOwner == kNobody ? kNogroup : 0), 0);
        ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
    }
    const struct stat before = statOf(folder);

    const int result = RunAsNobody([&] { return File(path).writeAll("new\n") ? 0 : 1; });
    ASSERT_NE(result, -1) << "the child did not run as nobody";
    EXPECT_EQ(result == 0, c.written);
    if (c.fileMode == 0) {
        EXPECT_TRUE(TempDir::names(folder).empty());
        return;
    }
    EXPECT_EQ(TempDir::read(path), c.written ? "new\n" : old);
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_uid, c.fileOwner);
    EXPECT_EQ(after.st_mode & 07777, c.fileMode);
    EXPECT_EQ(TempDir::names(folder), std::vector<std::string>{"data.dat"});
    EXPECT_EQ(statOf(folder).st_mode, before.st_mode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OtherUsersFolderTest,
    ::testing::Values(FolderCase{"own file in another user's folder", 0755, kNobody, 0644, true},
                      FolderCase{"shared file in a sticky folder", 01777, 0, 0666, true},
                      FolderCase{"own file in a sticky folder", 01777, kNobody, 0600, true},
                      FolderCase{"new file in another user's folder", 0755, 0, 0, false},
                      FolderCase{"another user's file in a sticky folder", 01777, 0, 0644, false},
                      FolderCase{"read-only file in another user's folder", 0755, kNobody, 0444,
                                 false}));

// Each step of a write that can fail, made to fail: the write is a failure, and where the old
// file could be kept it is kept whole, with nothing left beside it.
struct FaultCase {
    const char* what;
    FileWriteFault::Step step;
    bool oldFile;
    bool inPlace; ///< nobody writes its own file in root's folder
    bool written;
    bool longerOld = false; ///< the old file is longer than the new content, which cuts it
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.what;
}

class WriteFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(WriteFaultTest, IsReportedAndKeepsWhatItCan)
{
    const FaultCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), c.inPlace ? 0755 : 0700), 0);
    const std::string path = dir.file("data.dat");
    const std::string old = c.longerOld ? std::string(9000, 'o') : "old content\n";
    if (c.oldFile)
        TempDir::write(path, old);
    if (c.oldFile && c.inPlace) {
        ASSERT_EQ(chown(path.c_str(), kNobody, kNogroup), 0);
    }
    const std::string bytes(5000, 'n');
    bool written = false;
    {
        const FileWriteFault fault(c.step);
        if (c.inPlace) {
            const int result = RunAsNobody([&] { return File(path).writeAll(bytes) ? 0 : 1; });
            ASSERT_NE(result, -1);
            written = result == 0;
        } else {
            written = File(path).writeAll(bytes);
        }
    }
    EXPECT_EQ(written, c.written);
    if (c.written) {
        EXPECT_EQ(TempDir::read(path), bytes);
    } else {
        // The old file whole, also where it was being rewritten in place, or no file where
        // there was none, and nothing beside it.
        EXPECT_EQ(dir.names(),
                  c.oldFile ? std::vector<std::string>{"data.dat"} : std::vector<std::string>{});
        if (c.oldFile) {
            EXPECT_EQ(TempDir::read(path), old);
        }
    }
    // Once the fault is gone, the same write goes through.
    EXPECT_TRUE(File(path).writeAll("after\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteFaultTest,
    ::testing::Values(
        FaultCase{"short write over a file", FileWriteFault::Step::ShortWrite, true, false, false},
        FaultCase{"short write of a new file", FileWriteFault::Step::ShortWrite, false, false,
                  false},
        FaultCase{"short write in place", FileWriteFault::Step::ShortWrite, true, true, false},
        FaultCase{"sync over a file", FileWriteFault::Step::Sync, true, false, false},
        FaultCase{"sync of a new file", FileWriteFault::Step::Sync, false, false, false},
        FaultCase{"sync in place", FileWriteFault::Step::Sync, true, true, false},
        FaultCase{"short write in place over a longer file", FileWriteFault::Step::ShortWrite, true,
                  true, false, true},
        FaultCase{"sync in place of a file cut shorter", FileWriteFault::Step::Sync, true, true,
                  false, true},
        FaultCase{"rename over a file", FileWriteFault::Step::Rename, true, false, false},
        FaultCase{"rename of a new file", FileWriteFault::Step::Rename, false, false, false},
        FaultCase{"in place needs no rename", FileWriteFault::Step::Rename, true, true, true}));

// A write in place that the file-size limit stops, as nobody writing their own file in root's
// folder: a failure, not a success and not the end of the program, and the old file stays
// byte for byte, whether it was shorter or longer than the new content.
struct InPlaceLimitCase {
    const char* what;
    size_t oldSize;
    size_t newSize;
};

void PrintTo(const InPlaceLimitCase& c, std::ostream* os)
{
    *os << c.what;
}

class InPlaceLimitTest : public ::testing::TestWithParam<InPlaceLimitCase> {};

TEST_P(InPlaceLimitTest, AWriteInPlaceCutShortFailsAndKeepsTheOldFile)
{
    const InPlaceLimitCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string path = dir.file("data.dat");
    std::string old;
    for (size_t i = 0; old.size() < c.oldSize; ++i)
        old += "old line " + std::to_string(i) + "\n";
    old.resize(c.oldSize);
    TempDir::write(path, old);
    ASSERT_EQ(chown(path.c_str(), kNobody, kNogroup), 0);
    const int result = RunAsNobody([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        testsupport::FileSizeLimit limit(8192);
        return File(path).writeAll(std::string(c.newSize, 'n')) ? 0 : 1;
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(TempDir::read(path), old);
    EXPECT_EQ(statOf(path).st_uid, kNobody);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"data.dat"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InPlaceLimitTest,
    ::testing::Values(InPlaceLimitCase{"a shorter old file", 3000, 9708},
                      InPlaceLimitCase{"an old file just under the limit", 8000, 9708},
                      InPlaceLimitCase{"an old file past the limit", 12000, 9708}));

// Sets an environment variable, or unsets it for nullptr, while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name))
            mOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (mOld)
            setenv(mName, mOld->c_str(), 1);
        else
            unsetenv(mName);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* mName;
    std::optional<std::string> mOld;
};

struct PrefsFolderCase {
    const char* what;
    const char* xdgConfigHome; ///< below the test's folder when relative to "<dir>"
    const char* home;
    const char* folder; ///< the same; nullptr: no preferences folder
};

void PrintTo(const PrefsFolderCase& c, std::ostream* os)
{
    *os << c.what;
}

class PreferencesFolderTest : public ::testing::TestWithParam<PrefsFolderCase> {};

// The folder is the one the XDG base directories name, made when it is missing. Without a home
// there is none, and nothing is made: not "/.config" at the root, and nothing where the
// program runs.
TEST_P(PreferencesFolderTest, IsTheUsersConfigurationFolderOrNone)
{
    const PrefsFolderCase& c = GetParam();
    TempDir dir;
    const auto inDir = [&](const char* v) -> std::optional<std::string> {
        if (!v)
            return std::nullopt;
        const std::string s = v;
        return s.rfind("<dir>", 0) == 0 ? dir.path() + s.substr(5) : s;
    };
    const std::optional<std::string> xdg = inDir(c.xdgConfigHome);
    const std::optional<std::string> home = inDir(c.home);
    const bool rootConfigBefore = std::filesystem::exists("/.config");
    const std::filesystem::path cwd = std::filesystem::current_path();
    const std::string work = dir.file("work");
    std::filesystem::create_directory(work);
    std::filesystem::current_path(work);
    std::optional<File> folder;
    {
        const ScopedEnv xdgEnv("XDG_CONFIG_HOME", xdg ? xdg->c_str() : nullptr);
        const ScopedEnv homeEnv("HOME", home ? home->c_str() : nullptr);
        folder = File::preferencesFolder();
    }
    std::filesystem::current_path(cwd);
    if (!rootConfigBefore && std::filesystem::exists("/.config")) {
        std::filesystem::remove_all("/.config");
        ADD_FAILURE() << "made /.config";
    }
    EXPECT_TRUE(TempDir::names(work).empty()) << "made a folder where the program runs";
    if (!c.folder) {
        EXPECT_FALSE(folder) << folder->absolutePath();
        return;
    }
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->absolutePath(), *inDir(c.folder));
    EXPECT_TRUE(folder->isFolder()) << "made when missing";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreferencesFolderTest,
    ::testing::Values(
        PrefsFolderCase{"XDG_CONFIG_HOME", "<dir>/config/nested", "<dir>/home",
                        "<dir>/config/nested"},
        PrefsFolderCase{"home", nullptr, "<dir>/home", "<dir>/home/.config"},
        PrefsFolderCase{"relative XDG_CONFIG_HOME", "config", "<dir>/home", "<dir>/home/.config"},
        PrefsFolderCase{"XDG_CONFIG_HOME without a home", "<dir>/config", nullptr, "<dir>/config"},
        PrefsFolderCase{"no home", nullptr, nullptr, nullptr},
        PrefsFolderCase{"an empty home", "", "", nullptr},
        PrefsFolderCase{"a relative home", "config", "home", nullptr}));

} // namespace
