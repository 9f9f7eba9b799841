// The printer setup and the printed page as the program sees them, over the printing module
// that the first page setup or print loads (internal/print_module_p.h).

#include "platform/printing.h"

#include "platform/graphics.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/modules_p.h"
#include "platform/internal/print_module_p.h"
#include "platform/internal/printing_p.h"

#include <algorithm>

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

PrintResult PrintedPage::print(const std::function<void(Graphics&)>& draw, DrawingSize size)
{
    return d->print([&draw, size](Graphics& page) {
        if (size.width <= 0 || size.height <= 0 || page.width() <= 0 || page.height() <= 0)
            return;
        // One scale for both directions, so that nothing is stretched and every text keeps
        // its place in what surrounds it.
        const double scale = std::min(static_cast<double>(page.width()) / size.width,
                                      static_cast<double>(page.height()) / size.height);
        QPainter& painter = *page.impl().painter;
        // Given back also when the drawing throws, before the page's painter ends.
        struct SavedState {
            QPainter& p;
            explicit SavedState(QPainter& painter) : p(painter) { p.save(); }
            ~SavedState() { p.restore(); }
        } saved(painter);
        painter.translate((page.width() - size.width * scale) / 2,
                          (page.height() - size.height * scale) / 2);
        painter.scale(scale, scale);
        painter.setClipRect(QRect(0, 0, size.width, size.height), Qt::IntersectClip);
        {
            auto impl = std::make_unique<detail::GraphicsImpl>(&painter, size.width, size.height);
            impl->grayscale = page.impl().grayscale;
            Graphics drawing(std::move(impl));
            draw(drawing);
        }
    });
}

} // namespace platform
