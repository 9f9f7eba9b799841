// The printing module's print job: one page drawn into a PDF in memory, then handed whole to the
// PDF file or the CUPS queue that the print dialog chose, or to neither when anything failed.

#include "platform/printing.h"

#include "platform/files.h"
#include "platform/graphics.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/print_job_p.h"
#include "platform/internal/printing_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/services_p.h"

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
detail::JobOptions jobOptions(const QPrinter& printer)
{
    const QPageLayout layout = printer.pageLayout();
    detail::JobOptions options{{"media", layout.pageSize().key().toStdString()}};
    if (printer.copyCount() > 1) {
        options.emplace_back("copies", std::to_string(printer.copyCount()));
        if (printer.collateCopies())
            options.emplace_back("Collate", "True");
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
    options.emplace_back("sides", sides);
    if (!portrait)
        options.emplace_back("landscape", "");
    const QStringList chosen = printer.printEngine()->property(kCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
        options.emplace_back(chosen[i].toLocal8Bit().toStdString(),
                             chosen[i + 1].toLocal8Bit().toStdString());
    return options;
}

// Hands the finished page to the queue as one job. False when the queue refused the job (it
// does not accept jobs, is gone, or no print server answers) or did not take all of it; a job
// that was started is then cancelled, so that nothing of it is printed.
bool sendToQueue(detail::PrintQueueSteps& queue, const QPrinter& printer, const QByteArray& pdf,
                 const QString& jobName)
{
    const std::string title = jobName.toLocal8Bit().toStdString();
    const int job = queue.createJob(title, jobOptions(printer));
    if (job <= 0)
        return false;
    const bool sent =
        queue.startDocument(job, title) &&
        queue.writeData(job, std::string_view(pdf.constData(), static_cast<size_t>(pdf.size()))) &&
        queue.finishDocument(job);
    if (!sent)
        queue.cancelJob(job);
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
            detail::services().drawPage(g, draw);
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

namespace detail {

PrintResult PrintJob::print(const std::function<void(Graphics&)>& draw)
{
    if (printed || terminating())
        return PrintResult::NotStarted;
    printed = true;
    const QPrinter& settings = *printer;
    QByteArray pdf;
    const Drawing drawing = drawPdf(settings, jobName, draw, pdf);
    if (drawing == Drawing::Threw)
        return PrintResult::DrawingThrew;
    if (drawing != Drawing::Whole)
        return PrintResult::NotDelivered;
    bool delivered = false;
    if (!queue.isEmpty()) {
        const std::unique_ptr<PrintQueueSteps> steps = services().printQueue(ss(queue));
        delivered = sendToQueue(*steps, settings, pdf, jobName);
    } else if (settings.outputFormat() == QPrinter::PdfFormat) {
        delivered = writePdfFile(settings, pdf);
    }
    return delivered ? PrintResult::Printed : PrintResult::NotDelivered;
}

} // namespace detail

} // namespace platform
