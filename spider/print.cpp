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

// What a drawing on the page or the picture leaves in the main window that the screen's
// pointer handlers rely on: the mapping and the measured box widths. Given back when the
// command ends, so that no press or resize ever works in page units.
class ScreenState {
public:
    explicit ScreenState(frmMain& w)
        : mWindow(w), mScaleX(w.ScaleFactorx), mScaleY(w.ScaleFactorY), mOffsetX(w.Offsetx),
          mOffsetY(w.offsety)
    {
        for (size_t i = 0; i < mWidths.size(); ++i)
            mWidths[i] = w.Player[i].Width;
    }
    ~ScreenState()
    {
        mWindow.ScaleFactorx = mScaleX;
        mWindow.ScaleFactorY = mScaleY;
        mWindow.Offsetx = mOffsetX;
        mWindow.offsety = mOffsetY;
        for (size_t i = 0; i < mWidths.size(); ++i)
            mWindow.Player[i].Width = mWidths[i];
    }
    ScreenState(const ScreenState&) = delete;
    ScreenState& operator=(const ScreenState&) = delete;

private:
    frmMain& mWindow;
    float mScaleX;
    float mScaleY;
    int32_t mOffsetX;
    int32_t mOffsetY;
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
        ScreenState screen(*this);
        PrintPage(
            *page,
            [this](platform::Graphics& g) {
                DrawSpiderPlot(*this, g, SpiderTarget::Page, g.width(), g.height());
                DrawPageLegend(g);
            },
            Messages::SomethingReallyBad);
    }
    Canvas1->refresh();
}

void frmMain::_FileSaveasPicture_Action()
{
    platform::Picture pic(Canvas1->width(), Canvas1->height());
    {
        ScreenState screen(*this);
        DrawSpiderPlot(*this, pic.graphics(), SpiderTarget::Picture, 0, 0);
        DrawPageLegend(pic.graphics());
    }
    SavePictureFile(pic);
}
