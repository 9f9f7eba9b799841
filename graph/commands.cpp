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
    // Laid out in the canvas's pixels, one page unit each, with the page's own scales: the
    // window's scales stay those of the screen, which the next press converts with.
    PrintPage(*page, [this](platform::Graphics& g) {
        DrawGraph(g, GraphMapping::page(cGraph->width(), cGraph->height()), GraphTarget::Printed);
    });
}

void graph::_FileSaveaspicture_Action()
{
    // The printed drawing at the screen's scales, into a picture of the canvas's size.
    platform::Picture pic(cGraph->width(), cGraph->height());
    DrawGraph(pic.graphics(), mapping(), GraphTarget::Printed);
    SavePictureFile(pic);
}
