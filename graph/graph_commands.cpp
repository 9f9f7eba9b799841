// The graph's menu commands: the Show menu, Page Setup, Print and Save as Picture.

#include "graph/graph.h"

#include "app/ExportFiles.h"
#include "app/frmMain.h"

#include "spider/PrintSettings.h"
#include "spider/ShowCommands.h"

#include "platform/dialogs.h"
#include "platform/picture.h"

#include <memory>

namespace {

void transformAll(ShowTransform transform)
{
    frmMain& m = frmMain::instance();
    ApplyShowTransform(m, transform);
    m.DocumentChanged(DocumentView::Graph, RepaintOrder::OwnViewFirst);
}

} // namespace

void graph::_ShowMakeEasier_Action()
{
    transformAll(ShowTransform::MakeEasier);
}

void graph::_ShowMakeHarder_Action()
{
    transformAll(ShowTransform::MakeHarder);
}

void graph::_ShowMorePolarized_Action()
{
    transformAll(ShowTransform::MorePolarized);
}

void graph::_ShowSwingometer_Action()
{
    ToggleSwingometer(frmMain::instance());
}

void graph::_FilePageSetup_Action()
{
    RunPageSetup(p);
}

void graph::_FilePrint_Action()
{
    p = platform::PrinterSetup();
    if (!LoadPrintSettings(p))
        return;
    const std::unique_ptr<platform::PrintedPage> page =
        platform::OpenPrinterDialog(p, PrintJobName(title()));
    if (!page)
        return;
    // Laid out as the canvas shows it, at the screen's scales, and scaled as a whole to the
    // page. The window's scales stay those of the last paint, which the next press converts
    // with.
    const int32_t W = cGraph->width();
    const int32_t H = cGraph->height();
    PrintPage(
        *page,
        [this, W, H](platform::Graphics& g) {
            DrawGraph(g, GraphMapping::screen(W, H), GraphTarget::Printed);
        },
        Messages::PageNotPrinted, platform::DrawingSize{W, H});
}

void graph::_FileSaveaspicture_Action()
{
    // The printed drawing at the scales of the last paint, into a picture of the canvas's
    // size.
    platform::Picture pic(cGraph->width(), cGraph->height());
    DrawGraph(pic.graphics(), mapping(), GraphTarget::Printed);
    SavePictureFile(pic);
}
