// Page Setup, Print and Save as Picture of the spider plot.

#include "app/ExportFiles.h"
#include "app/frmMain.h"

#include "spider/PrintSettings.h"
#include "spider/SpiderDrawing.h"

#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/printing.h"

#include <array>
#include <memory>

namespace {

// The model space: the drawing that the printed page shows whole.
constexpr platform::DrawingSize kModelSpace{772, 624};

// What a drawing on the page or the picture leaves in the main window that the screen relies
// on: the box widths measured there. Given back when the command ends, so that no press or
// resize ever works with another surface's widths.
class ScreenWidths {
public:
    explicit ScreenWidths(frmMain& w) : mWindow(w)
    {
        for (size_t i = 0; i < mWidths.size(); ++i)
            mWidths[i] = w.Player[i].Width;
    }
    ~ScreenWidths()
    {
        for (size_t i = 0; i < mWidths.size(); ++i)
            mWindow.Player[i].Width = mWidths[i];
    }
    ScreenWidths(const ScreenWidths&) = delete;
    ScreenWidths& operator=(const ScreenWidths&) = delete;

private:
    frmMain& mWindow;
    std::array<int32_t, kPlayerLimit + 1> mWidths{};
};

} // namespace

void frmMain::_FilePageSetup_Action()
{
    RunPageSetup(p);
}

void frmMain::_FilePrint_Action()
{
    if (!LoadPrintSettings(p))
        return;
    const std::unique_ptr<platform::PrintedPage> page =
        platform::OpenPrinterDialog(p, PrintJobName("Varnholt"));
    if (!page)
        return;
    {
        ScreenWidths screen(*this);
        // Drawn as the window at its design size shows it, and scaled as a whole to the page:
        // every box keeps the width of its text and the legend lies whole along the bottom.
        PrintPage(
            *page,
            [this](platform::Graphics& g) {
                DrawSpiderPlot(*this, g, SpiderTarget::Page, g.width(), g.height());
                DrawPageLegend(g);
            },
            Messages::SomethingReallyBad, kModelSpace);
    }
    Canvas1->refresh();
}

void frmMain::_FileSaveasPicture_Action()
{
    platform::Picture pic(Canvas1->width(), Canvas1->height());
    {
        ScreenWidths screen(*this);
        DrawSpiderPlot(*this, pic.graphics(), SpiderTarget::Picture, 0, 0);
        DrawPageLegend(pic.graphics());
    }
    SavePictureFile(pic);
}
