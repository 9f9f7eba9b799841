#pragma once

// The test seam, part three: what stands in for the world around the program. A test gives the
// screen a size, makes Rnd repeatable, makes the disk fail at a chosen step of a write or part
// way through a read, moves the folder the modules are loaded from, puts a print queue of its
// own in the print system's place, and makes a drawing, or a printed page's, fail. Each lives
// only in the test programs' build of the platform: the program's own library has none of it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Graphics;

namespace testing {

/// Pretends the main screen, and the area windows may use, have this size.
void setScreenSize(int32_t width, int32_t height);

/// Makes Rnd's numbers repeatable.
void seedRandom(unsigned long seed);

/// While it lives, every write of a file fails at one step, as a fault of the disk there
/// would: a write that takes half the bytes and then finds the disk full, a sync that fails,
/// or a rename that cannot put the new file in place. The fault strikes each open file once:
/// the same file's later writes and syncs (a write in place putting its old bytes back) go
/// through, as they do on a disk whose room for them was taken already.
class FileWriteFault {
public:
    enum class Step { ShortWrite, Sync, Rename };
    explicit FileWriteFault(Step step);
    ~FileWriteFault();
    FileWriteFault(const FileWriteFault&) = delete;
    FileWriteFault& operator=(const FileWriteFault&) = delete;
};

/// While it lives, reading any file fails (EIO) once `afterBytes` bytes of it have been read
/// since it was opened, as a disk that fails part-way through would.
class FileReadFault {
public:
    explicit FileReadFault(uint64_t afterBytes);
    ~FileReadFault();
    FileReadFault(const FileReadFault&) = delete;
    FileReadFault& operator=(const FileReadFault&) = delete;
};

/// Loads the platform's modules (printing, the database) from `folder` from now on, where they
/// may be missing; an empty folder restores the program's own. A module that the process has
/// loaded already stays loaded.
void setModuleFolder(std::string folder);

/// While it lives, a print dialog answered without a file (ModalAnswer::ok()) sends its page to
/// the print queue `queue`, whose steps this object takes in the print system's place: it
/// records each step, and fails the one named `failAt`.
class FakePrintQueue {
public:
    enum class Step { None, CreateJob, StartDocument, WriteData, FinishDocument };
    explicit FakePrintQueue(std::string queue, Step failAt = Step::None);
    ~FakePrintQueue();
    FakePrintQueue(const FakePrintQueue&) = delete;
    FakePrintQueue& operator=(const FakePrintQueue&) = delete;

    /// The steps taken, in order: "create", "start", "write", "finish" and "cancel".
    const std::vector<std::string>& steps() const;
    /// The job's title and its options as "name=value", from its creation.
    const std::string& title() const;
    const std::vector<std::string>& options() const;
    /// The bytes the job was sent.
    const std::string& document() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

/// While it lives, the drawing of every printed page fails before the page is finished: once
/// the page's own drawing is done, one more drawing operation on it throws
/// std::runtime_error(`what`), as a drawing that runs out of room at its last stroke would.
class PageDrawingFault {
public:
    explicit PageDrawingFault(std::string what);
    ~PageDrawingFault();
    PageDrawingFault(const PageDrawingFault&) = delete;
    PageDrawingFault& operator=(const PageDrawingFault&) = delete;
};

/// A drawing operation over the rows from `top` to `bottom` (not included) that throws
/// std::runtime_error(`what`) when it is drawn, on whichever thread draws those rows.
void drawFailingOperation(platform::Graphics& g, int32_t top, int32_t bottom, std::string what);

} // namespace testing
} // namespace platform
