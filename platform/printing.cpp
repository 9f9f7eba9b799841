// The printer setup and the printed page as the program sees them, over the printing module
// that the first page setup or print loads (internal/print_module_p.h).

#include "platform/printing.h"

#include "platform/internal/modules_p.h"
#include "platform/internal/print_module_p.h"
#include "platform/internal/printing_p.h"

namespace platform {

namespace detail {

namespace {

const PrintModule* printModule()
{
    return loadedModule<PrintModule>(kPrintModuleFile, kPrintModuleEntry);
}

// The page of a print that cannot be done: printing could not be loaded.
class UndeliveredPage : public PrintedPageImpl {
public:
    PrintResult print(const std::function<void(Graphics&)>&) override
    {
        if (mTried)
            return PrintResult::NotStarted;
        mTried = true;
        return PrintResult::NotDelivered;
    }

private:
    bool mTried = false;
};

} // namespace

TestPrintQueue& testPrintQueue()
{
    static TestPrintQueue queue;
    return queue;
}

} // namespace detail

bool PrintingAvailable()
{
    return detail::printModule() != nullptr;
}

PrinterSetup::PrinterSetup() = default;

PrinterSetup::~PrinterSetup() = default;

PrinterSetup::PrinterSetup(const PrinterSetup& other) : d(other.d ? other.d->clone() : nullptr) {}

PrinterSetup& PrinterSetup::operator=(const PrinterSetup& other)
{
    if (this != &other)
        d = other.d ? other.d->clone() : nullptr;
    return *this;
}

PrinterSetup::PrinterSetup(PrinterSetup&&) noexcept = default;
PrinterSetup& PrinterSetup::operator=(PrinterSetup&&) noexcept = default;

detail::PrinterSetupImpl* PrinterSetup::impl() const
{
    if (!d) {
        if (const detail::PrintModule* module = detail::printModule())
            d = module->newSetup();
    }
    return d.get();
}

std::string PrinterSetup::setupString() const
{
    const detail::PrinterSetupImpl* settings = impl();
    return settings ? settings->setupString() : std::string();
}

void PrinterSetup::setSetupString(std::string_view text)
{
    if (detail::PrinterSetupImpl* settings = impl())
        settings->setSetupString(text);
}

int32_t PrinterSetup::width() const
{
    const detail::PrinterSetupImpl* settings = impl();
    return settings ? settings->width() : 0;
}

int32_t PrinterSetup::height() const
{
    const detail::PrinterSetupImpl* settings = impl();
    return settings ? settings->height() : 0;
}

bool PrinterSetup::pageSetupDialog()
{
    detail::PrinterSetupImpl* settings = impl();
    return settings && settings->pageSetupDialog();
}

std::unique_ptr<PrintedPage> OpenPrinterDialog(PrinterSetup& setup, std::string_view jobName)
{
    if (detail::PrinterSetupImpl* settings = setup.impl())
        return settings->openPrinterDialog(jobName);
    return std::make_unique<PrintedPage>(std::make_unique<detail::UndeliveredPage>());
}

PrintedPage::PrintedPage(std::unique_ptr<detail::PrintedPageImpl> impl) : d(std::move(impl)) {}

PrintedPage::~PrintedPage() = default;

PrintResult PrintedPage::print(const std::function<void(Graphics&)>& draw)
{
    return d->print(draw);
}

} // namespace platform
