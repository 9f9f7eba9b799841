// The test seam's stand-ins (fakes.h): the screen, Rnd, the disk's faults, the modules'
// folder, a print queue and a drawing that fails.

#include "platform/testing/fakes.h"

#include "platform/graphics.h"
#include "platform/internal/graphics_p.h"
#include "platform/testing/test_services_p.h"
#include "platform/values.h"

#include <stdexcept>
#include <utility>

namespace platform::testing {

void seedRandom(unsigned long seed)
{
    platform::randomEngine().seed(seed);
}

void setScreenSize(int32_t width, int32_t height)
{
    testServices().screenSize = QSize(width, height);
}

void drawFailingOperation(Graphics& g, int32_t top, int32_t bottom, std::string what)
{
    g.impl().draw(top, bottom, [what = std::move(what)](QPainter&, detail::TextFonts&) -> void {
        throw std::runtime_error(what);
    });
}

PageDrawingFault::PageDrawingFault(std::string what)
{
    testServices().pageDrawingFault = std::move(what);
}

PageDrawingFault::~PageDrawingFault()
{
    testServices().pageDrawingFault.reset();
}

FileWriteFault::FileWriteFault(Step step)
{
    using WriteFault = TestServices::WriteFault;
    testServices().writeFault = step == Step::ShortWrite ? WriteFault::ShortWrite
                                : step == Step::Sync     ? WriteFault::Sync
                                                         : WriteFault::Rename;
}

FileWriteFault::~FileWriteFault()
{
    testServices().writeFault = TestServices::WriteFault::None;
}

FileReadFault::FileReadFault(uint64_t afterBytes)
{
    testServices().readFailsAfter = afterBytes;
}

FileReadFault::~FileReadFault()
{
    testServices().readFailsAfter.reset();
}

struct FakePrintQueue::Impl : detail::PrintQueueSteps {
    Step failAt = Step::None;
    std::vector<std::string> steps;
    std::string title;
    std::vector<std::string> options;
    std::string document;

    bool take(const char* step, Step which)
    {
        steps.emplace_back(step);
        return failAt != which;
    }
    int createJob(const std::string& jobTitle, const detail::JobOptions& jobOptions) override
    {
        title = jobTitle;
        for (const auto& [name, value] : jobOptions)
            options.push_back(name + "=" + value);
        return take("create", Step::CreateJob) ? 7 : 0;
    }
    bool startDocument(int, const std::string&) override
    {
        return take("start", Step::StartDocument);
    }
    bool writeData(int, std::string_view bytes) override
    {
        document.append(bytes);
        return take("write", Step::WriteData);
    }
    bool finishDocument(int) override { return take("finish", Step::FinishDocument); }
    void cancelJob(int) override { steps.emplace_back("cancel"); }
};

void setModuleFolder(std::string folder)
{
    testServices().modules = std::move(folder);
}

FakePrintQueue::FakePrintQueue(std::string queue, Step failAt) : d(std::make_unique<Impl>())
{
    d->failAt = failAt;
    testServices().fakeQueue = std::move(queue);
    testServices().fakeQueueSteps = d.get();
}

FakePrintQueue::~FakePrintQueue()
{
    testServices().fakeQueue.clear();
    testServices().fakeQueueSteps = nullptr;
}

const std::vector<std::string>& FakePrintQueue::steps() const
{
    return d->steps;
}

const std::string& FakePrintQueue::title() const
{
    return d->title;
}

const std::vector<std::string>& FakePrintQueue::options() const
{
    return d->options;
}

const std::string& FakePrintQueue::document() const
{
    return d->document;
}

} // namespace platform::testing
