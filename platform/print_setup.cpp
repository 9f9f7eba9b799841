// The printing module's page settings: the setup string, the page-setup dialog and the print
// dialog.

#include "platform/printing.h"

#include "platform/internal/modal_p.h"
#include "platform/internal/modules_p.h"
#include "platform/internal/print_job_p.h"
#include "platform/internal/printing_p.h"
#include "platform/internal/qt_util.h"

#include <QApplication>
#include <QFileDialog>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <QUrl>

#include <array>
#include <cmath>
#include <optional>

namespace platform {

using detail::qs;
using detail::ss;

namespace detail {

/// The settings a setup string holds. The page size is a standard one by its id, or a custom
/// one by its size as it was defined; margins are kept in the units they were given in.
struct PageSettings {
    QString printer; ///< "" is the system's default printer
    QPageSize::PageSizeId pageId = QPageSize::A4;
    QSizeF customSize;
    QPageSize::Unit customUnit = QPageSize::Point;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins;
    QPageLayout::Unit marginUnit = QPageLayout::Point;

    QPageSize pageSize() const
    {
        if (pageId != QPageSize::Custom)
            return QPageSize(pageId);
        return QPageSize(customSize, customUnit, QString(), QPageSize::ExactMatch);
    }

    QPageLayout pageLayout() const
    {
        return QPageLayout(pageSize(), orientation, margins, marginUnit, QMarginsF());
    }
};

} // namespace detail

namespace {

using detail::PageSettings;

// The first field of every setup string: the format and its version. The format is this
// layer's, and stored print settings begin with this text, so it never changes, whatever the
// program on top is called; a later version of the format would get a new number.
constexpr const char* kFormatTag = "KestrixPageSetup/1";

// The names the setup string gives to units; one table serves page sizes and margins, whose
// unit enums list the same units in the same order.
constexpr std::array<const char*, 6> kUnitNames{"mm", "pt", "in", "pc", "dd", "cc"};
static_assert(int(QPageSize::Millimeter) == int(QPageLayout::Millimeter) &&
              int(QPageSize::Point) == int(QPageLayout::Point) &&
              int(QPageSize::Inch) == int(QPageLayout::Inch) &&
              int(QPageSize::Pica) == int(QPageLayout::Pica) &&
              int(QPageSize::Didot) == int(QPageLayout::Didot) &&
              int(QPageSize::Cicero) == int(QPageLayout::Cicero));

QString number(double v)
{
    return QString::number(v, 'g', 12);
}

std::optional<double> parseNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "12.5mm" into its number and unit.
std::optional<std::pair<QString, int>> splitUnit(const QString& text)
{
    for (size_t i = 0; i < kUnitNames.size(); ++i) {
        const QLatin1String unit(kUnitNames[i]);
        if (text.endsWith(unit))
            return std::make_pair(text.chopped(unit.size()), static_cast<int>(i));
    }
    return std::nullopt;
}

QString pageText(const PageSettings& s)
{
    if (s.pageId != QPageSize::Custom)
        return QPageSize::key(s.pageId);
    return QStringLiteral("custom:%1x%2%3")
        .arg(number(s.customSize.width()), number(s.customSize.height()),
             QLatin1String(kUnitNames[static_cast<size_t>(s.customUnit)]));
}

QString format(const PageSettings& s)
{
    const QMarginsF& m = s.margins;
    return QStringLiteral("%1;printer=%2;page=%3;orientation=%4;margins=%5,%6,%7,%8%9")
        .arg(QLatin1String(kFormatTag), QString::fromLatin1(QUrl::toPercentEncoding(s.printer)),
             pageText(s),
             s.orientation == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                     : QStringLiteral("portrait"),
             number(m.left()), number(m.top()), number(m.right()), number(m.bottom()),
             QLatin1String(kUnitNames[static_cast<size_t>(s.marginUnit)]));
}

bool parsePage(const QString& text, PageSettings& s)
{
    if (text.startsWith(QLatin1String("custom:"))) {
        const auto split = splitUnit(text.mid(7));
        if (!split)
            return false;
        const QStringList wh = split->first.split(QLatin1Char('x'));
        if (wh.size() != 2)
            return false;
        const auto w = parseNumber(wh[0]);
        const auto h = parseNumber(wh[1]);
        if (!w || !h || *w <= 0 || *h <= 0)
            return false;
        s.pageId = QPageSize::Custom;
        s.customSize = QSizeF(*w, *h);
        s.customUnit = static_cast<QPageSize::Unit>(split->second);
        return true;
    }
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto pageId = static_cast<QPageSize::PageSizeId>(id);
        if (pageId != QPageSize::Custom && QPageSize::key(pageId) == text) {
            s.pageId = pageId;
            return true;
        }
    }
    return false;
}

bool parseMargins(const QString& text, PageSettings& s)
{
    const auto split = splitUnit(text);
    if (!split)
        return false;
    const QStringList parts = split->first.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    std::array<double, 4> v{};
    for (size_t i = 0; i < v.size(); ++i) {
        const auto n = parseNumber(parts[static_cast<qsizetype>(i)]);
        if (!n || *n < 0)
            return false;
        v[i] = *n;
    }
    s.margins = QMarginsF(v[0], v[1], v[2], v[3]);
    s.marginUnit = static_cast<QPageLayout::Unit>(split->second);
    return true;
}

// Settings that leave no room to print on are damaged.
bool isUsable(const PageSettings& s)
{
    const QPageLayout layout = s.pageLayout();
    return layout.isValid() && !layout.paintRectPoints().isEmpty();
}

// The settings a text describes, only when the text is exactly what format() writes for
// them; this is what makes every string this class gives back restore exactly.
std::optional<PageSettings> parse(std::string_view text)
{
    const QString trimmed = qs(text).trimmed();
    const QStringList fields = trimmed.split(QLatin1Char(';'));
    if (fields.size() != 5 || fields[0] != QLatin1String(kFormatTag))
        return std::nullopt;
    auto value = [&](int i, const char* key) -> std::optional<QString> {
        const QString prefix = QLatin1String(key) + QLatin1Char('=');
        if (!fields[i].startsWith(prefix))
            return std::nullopt;
        return fields[i].mid(prefix.size());
    };
    const auto printer = value(1, "printer");
    const auto page = value(2, "page");
    const auto orientation = value(3, "orientation");
    const auto margins = value(4, "margins");
    if (!printer || !page || !orientation || !margins)
        return std::nullopt;

    PageSettings s;
    s.printer = QString::fromUtf8(QByteArray::fromPercentEncoding(printer->toLatin1()));
    if (!parsePage(*page, s) || !parseMargins(*margins, s))
        return std::nullopt;
    if (*orientation == QLatin1String("landscape"))
        s.orientation = QPageLayout::Landscape;
    else if (*orientation == QLatin1String("portrait"))
        s.orientation = QPageLayout::Portrait;
    else
        return std::nullopt;
    if (!isUsable(s) || format(s) != trimmed)
        return std::nullopt;
    return s;
}

// The settings of a page layout as a dialog or a printer left it. A custom size that equals
// a standard one is taken as the standard one, as parsing its text would.
PageSettings fromLayout(const QPageLayout& layout, const QString& printer)
{
    PageSettings s;
    s.printer = printer;
    const QPageSize size = layout.pageSize();
    s.pageId = size.id();
    if (s.pageId == QPageSize::Custom) {
        s.customSize = size.definitionSize();
        s.customUnit = size.definitionUnits();
        const QPageSize settled = s.pageSize();
        if (settled.id() != QPageSize::Custom)
            s.pageId = settled.id();
    }
    s.orientation = layout.orientation();
    s.margins = layout.margins();
    s.marginUnit = layout.units();
    return s;
}

bool isAvailablePrinter(const QString& name)
{
    return !name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name);
}

// A printer with the settings; `pdfFile` sends its output to that PDF file instead. Its
// resolution is 72 dots to the inch, so that one device unit is one point: the page is drawn
// in points and a 1-unit pen is one point wide (the output stays vector graphics).
std::unique_ptr<QPrinter> makePrinter(const PageSettings& s,
                                      const std::optional<QString>& pdfFile = std::nullopt)
{
    auto printer = std::make_unique<QPrinter>();
    if (pdfFile) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(*pdfFile);
    } else if (isAvailablePrinter(s.printer)) {
        printer->setPrinterName(s.printer);
    }
    printer->setResolution(72);
    printer->setFullPage(false);
    const QPageLayout layout = s.pageLayout();
    if (!printer->setPageLayout(layout)) {
        // Margins this printer cannot print: keep its own, with the paper and orientation.
        printer->setPageSize(layout.pageSize());
        printer->setPageOrientation(layout.orientation());
    }
    return printer;
}

// What a confirmed dialog chose. Printing to a file names no printer, so the printer stays.
void takeSettings(const QPrinter& printer, PageSettings& s)
{
    const QString name =
        printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : s.printer;
    s = fromLayout(printer.pageLayout(), name);
}

PageSettings defaultSettings()
{
    QPrinter printer;
    return fromLayout(printer.pageLayout(), QString());
}

} // namespace

namespace detail {

namespace {

// A setup's settings. A setup that was given none takes the default printer's defaults only
// when they are first needed: asking the print system for them is slow.
class QtPrinterSetup : public PrinterSetupImpl {
public:
    std::unique_ptr<PrinterSetupImpl> clone() const override
    {
        return std::make_unique<QtPrinterSetup>(*this);
    }

    std::string setupString() const override { return ss(format(settings())); }

    void setSetupString(std::string_view text) override
    {
        // Anything but a setup string of ours gives the defaults.
        mSettings = parse(text);
    }

    int32_t width() const override { return settings().pageLayout().paintRectPoints().width(); }

    int32_t height() const override { return settings().pageLayout().paintRectPoints().height(); }

    bool pageSetupDialog() override
    {
        ModalRequest request;
        request.kind = ModalRequest::Kind::PageSetup;
        const auto answer = runModal(request, [this] {
            const auto printer = makePrinter(settings());
            QPageSetupDialog dialog(printer.get(), dialogParent());
            if (dialog.exec() != QDialog::Accepted)
                return ModalAnswer::button(0);
            takeSettings(*printer, settings());
            return ModalAnswer::button(1);
        });
        return answer && answer->choice == 1;
    }

    std::unique_ptr<PrintedPage> openPrinterDialog(std::string_view jobName) override;

private:
    PageSettings& settings() const
    {
        if (!mSettings)
            mSettings = defaultSettings();
        return *mSettings;
    }

    mutable std::optional<PageSettings> mSettings;
};

// Whether the print dialog showed its properties while this lives: a dialog of its own that is
// neither its file dialog nor one of its messages.
class PropertiesWatch : public QObject {
public:
    explicit PropertiesWatch(QDialog& dialog) : mDialog(dialog) { qApp->installEventFilter(this); }
    ~PropertiesWatch() override { qApp->removeEventFilter(this); }
    bool shown() const { return mShown; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched != &mDialog)
            if (auto* dialog = qobject_cast<QDialog*>(watched);
                dialog && dialog->parentWidget() && dialog->parentWidget()->window() == &mDialog &&
                !qobject_cast<QFileDialog*>(dialog) && !qobject_cast<QMessageBox*>(dialog))
                mShown = true;
        return false;
    }

private:
    QDialog& mDialog;
    bool mShown = false;
};

std::unique_ptr<PrintedPage> QtPrinterSetup::openPrinterDialog(std::string_view jobName)
{
    PageSettings& chosenSettings = settings();
    // The printer the person confirmed in the print dialog.
    std::unique_ptr<QPrinter> printer;
    ModalRequest request;
    request.kind = ModalRequest::Kind::Print;
    request.title = std::string(jobName);
    const auto answer = runModal(request, [&] {
        auto chosen = makePrinter(chosenSettings);
        // Also what the dialog names a PDF file after.
        chosen->setDocName(qs(jobName));
        QPrintDialog dialog(chosen.get(), dialogParent());
        // One page, so there is no range to choose.
        dialog.setOptions(QAbstractPrintDialog::PrintToFile |
                          QAbstractPrintDialog::PrintShowPageSize |
                          QAbstractPrintDialog::PrintCollateCopies);
        // The toolkit's dialog sets the page from its own list of paper sizes, which holds no
        // custom size of Page Setup's: a page it was not asked to change stays as Page Setup
        // left it, unless the person opened the dialog's properties, where the page is chosen.
        const QPageLayout pageBefore = chosen->pageLayout();
        PropertiesWatch properties(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return ModalAnswer::cancel();
        if (!properties.shown())
            chosen->setPageLayout(pageBefore);
        chosen->setResolution(72);
        takeSettings(*chosen, chosenSettings);
        printer = std::move(chosen);
        return ModalAnswer::ok();
    });
    auto page = std::make_unique<PrintJob>();
    // A printer prints on its queue; an instance ("queue/instance") on the queue it belongs to.
    if (printer && printer->outputFormat() == QPrinter::NativeFormat)
        page->queue = printer->printerName().section(QLatin1Char('/'), 0, 0);
    // An answerer in the person's place sends the page to the PDF file or the print queue it
    // names.
    if (!printer && answer && (answer->path || answer->queue)) {
        printer = makePrinter(chosenSettings,
                              answer->path ? std::optional(qs(*answer->path)) : std::nullopt);
        printer->setDocName(qs(jobName));
        if (!answer->path)
            page->queue = qs(*answer->queue);
    }
    if (!printer)
        return nullptr;
    page->printer = std::move(printer);
    page->jobName = qs(jobName);
    return std::make_unique<PrintedPage>(std::move(page));
}

class QtPrintModule final : public PrintModule {
public:
    std::unique_ptr<PrinterSetupImpl> newSetup() const override
    {
        return std::make_unique<QtPrinterSetup>();
    }
};

} // namespace

} // namespace detail

} // namespace platform

KESTRIX_MODULE_ENTRY const platform::detail::PrintModule* kestrix_printing_module()
{
    static const platform::detail::QtPrintModule module;
    return &module;
}
