// The force field's File commands: Page Setup, Print on one page, and Save as Picture. The
// page and the picture are drawn with working values of their own, so the column width and the
// scale that the mouse works with stay those of the last paint on screen.

#include "forcefield/ffield.h"

#include "app/ExportFiles.h"
#include "app/frmMain.h"

#include "spider/PrintSettings.h"

#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/printing.h"

#include <memory>

void ffield::_FilePageSetup_Action()
{
    RunPageSetup(frmMain::instance().p);
}

void ffield::_FilePrint_Action()
{
    platform::PrinterSetup& setup = frmMain::instance().p;
    if (!LoadPrintSettings(setup, Messages::UnableToPrint))
        return;
    const std::unique_ptr<platform::PrintedPage> page =
        platform::OpenPrinterDialog(setup, PrintJobName(title()));
    if (!page)
        return;
    PrintPage(
        *page,
        [this, &setup](platform::Graphics& g) {
            DrawDiagram(g, ForceFieldTarget::Printed, static_cast<float>(setup.width()),
                        static_cast<float>(setup.height()));
        },
        Messages::UnableToPrint);
}

void ffield::_FileSaveasPicture_Action()
{
    platform::Picture picture(cGraph->width(), cGraph->height());
    DrawDiagram(picture.graphics(), ForceFieldTarget::Printed, static_cast<float>(picture.width()),
                static_cast<float>(picture.height()));
    SavePictureFile(picture);
}
