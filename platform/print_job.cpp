// One printed page: drawn into a PDF in memory, then handed whole to the PDF file or the CUPS
// queue that the print dialog chose, or to neither when anything failed.

#include "platform/printing.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/graphics.h"
#include "platform/internal/cups_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/printing_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QStringList>

namespace platform {

using detail::ss;

namespace {

// The print dialog keeps its CUPS choices (page set, banners, priority and the like) in this
// property of the print engine, as a list of option names and values.
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The options of a job as Qt's own CUPS print engine gives them, so that a job goes out with
// what the user chose in the print dialog.
int jobOptions(const detail::CupsCalls& cups, const QPrinter& printer, cups_option_t** options)
{
    const QPageLayout layout = printer.pageLayout();
    int count =
        cups.addOption("media", layout.pageSize().key().toLocal8Bit().constData(), 0, options);
    if (printer.copyCount() > 1) {
        count = cups.addOption("copies", QByteArray::number(printer.copyCount()).constData(), count,
                               options);
        if (printer.collateCopies())
            count = cups.addOption("Collate", "True", count, options);
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    const char* sides = "one-sided";
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        break;
    case QPrinter::DuplexAuto:
        sides = portrait ? "two-sided-long-edge" : "two-sided-short-edge";
        break;
    case QPrinter::DuplexLongSide:
        sides = "two-sided-long-edge";
        break;
    case QPrinter::DuplexShortSide:
        sides = "two-sided-short-edge";
        break;
    }
    count = cups.addOption("sides", sides, count, options);
    if (!portrait)
        count = cups.addOption("landscape", "", count, options);
    const QStringList chosen = printer.printEngine()->property(kCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
        count = cups.addOption(chosen[i].toLocal8Bit().constData(),
                               chosen[i + 1].toLocal8Bit().constData(), count, options);
    return count;
}

// Hands the finished page to the printer's CUPS queue as one job. False when the queue refused
// the job (it does not accept jobs, is gone, or no print server answers) or did not take all of
// it, and when the print system's library cannot be loaded; a job that was started is then
// cancelled, so that nothing of it is printed.
bool sendToQueue(const QPrinter& printer, const QByteArray& pdf, const QString& jobName)
{
    // An instance ("queue/instance") prints on its queue.
    const QByteArray queue = printer.printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    if (queue.isEmpty())
        return false;
    const detail::CupsCalls* calls = detail::cupsCalls();
    if (!calls)
        return false;
    const detail::CupsCalls& cups = *calls;
    const QByteArray title = jobName.toLocal8Bit();
    cups_option_t* options = nullptr;
    const int count = jobOptions(cups, printer, &options);
    const int job =
        cups.createJob(CUPS_HTTP_DEFAULT, queue.constData(), title.constData(), count, options);
    cups.freeOptions(count, options);
    if (job <= 0)
        return false;
    const bool sent =
        cups.startDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, title.constData(),
                           CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
        cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                              static_cast<size_t>(pdf.size())) == HTTP_STATUS_CONTINUE &&
        cups.finishDocument(CUPS_HTTP_DEFAULT, queue.constData()) <
            IPP_STATUS_REDIRECTION_OTHER_SITE;
    if (!sent)
        cups.cancelJob(CUPS_HTTP_DEFAULT, queue.constData(), job, 0);
    return sent;
}

// Puts the finished page in the PDF file chosen in the print dialog, through the one way the
// program writes files: a file that cannot be written whole is left as it was.
bool writePdfFile(const QPrinter& printer, const QByteArray& pdf)
{
    const QString path = printer.outputFileName();
    if (path.isEmpty())
        return false;
    return File(ss(QFileInfo(path).absoluteFilePath()))
        .writeAll(std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
}

enum class Drawing { Whole, Failed, Threw };

// Draws the page into a PDF in memory, laid out as the printer's page: the same PDF that the
// printer's own engine makes, but nothing leaves the program until it is whole.
Drawing drawPdf(const QPrinter& printer, const QString& title,
                const std::function<void(Graphics&)>& draw, QByteArray& pdf)
{
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return Drawing::Failed;
    QPdfWriter writer(&buffer);
    writer.setResolution(printer.resolution());
    writer.setTitle(title);
    if (!writer.setPageLayout(printer.pageLayout()))
        return Drawing::Failed;
    QPainter painter;
    if (!painter.begin(&writer))
        return Drawing::Failed;
    // The painter's origin is the top-left of the printable area (the layout is not full-page)
    // and one unit is one point.
    const QRect area = printer.pageLayout().paintRectPoints();
    painter.setClipRect(QRect(0, 0, area.width(), area.height()));
    bool threw = false;
    {
        auto impl = std::make_unique<detail::GraphicsImpl>(&painter, area.width(), area.height());
        impl->grayscale = printer.colorMode() == QPrinter::GrayScale;
        Graphics g(std::move(impl));
        try {
            if (draw)
                draw(g);
        } catch (...) {
            threw = true;
        }
    }
    const bool ended = painter.end();
    if (threw)
        return Drawing::Threw;
    return ended ? Drawing::Whole : Drawing::Failed;
}

} // namespace

PrintedPage::PrintedPage(std::unique_ptr<detail::PrintedPageImpl> impl) : d(std::move(impl)) {}

PrintedPage::~PrintedPage() = default;

bool PrintedPage::print(const std::function<void(Graphics&)>& draw, std::string_view drawingFailure)
{
    if (d->printed || detail::terminating())
        return false;
    d->printed = true;
    const QPrinter& printer = *d->printer;
    QByteArray pdf;
    const Drawing drawing = drawPdf(printer, d->jobName, draw, pdf);
    if (drawing == Drawing::Threw) {
        MsgBox(drawingFailure);
        return false;
    }
    const bool delivered =
        drawing == Drawing::Whole &&
        (printer.outputFormat() == QPrinter::PdfFormat ? writePdfFile(printer, pdf)
                                                       : sendToQueue(printer, pdf, d->jobName));
    if (!delivered)
        MsgBox(kPageNotPrinted);
    return delivered;
}

} // namespace platform
