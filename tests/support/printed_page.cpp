#include "tests/support/printed_page.h"

#include "platform/printing.h"

namespace testsupport {

std::vector<StandardPage> StandardPages()
{
    std::vector<StandardPage> pages;
    for (const char* paper : {"A4", "Letter"})
        for (const char* orientation : {"portrait", "landscape"})
            pages.push_back({nullptr, std::string("KestrixPageSetup/1;printer=;page=") + paper +
                                          ";orientation=" + orientation +
                                          ";margins=10,10,10,10pt"});
    pages[0].name = "A4Portrait";
    pages[1].name = "A4Landscape";
    pages[2].name = "LetterPortrait";
    pages[3].name = "LetterLandscape";
    return pages;
}

std::string StandardPageName(const ::testing::TestParamInfo<StandardPage>& info)
{
    return info.param.name;
}

imagetools::WholeDrawing PrintedPdf::wholeDrawing(int dw, int dh) const
{
    return imagetools::WholeDrawing::on(dw, dh, areaWidth, areaHeight, kMargin, kMargin);
}

std::vector<std::string> PrintedPdf::wordsOffTheArea() const
{
    std::vector<std::string> off;
    for (const imagetools::PdfWord& w : page.words)
        if (w.xMin < kMargin - 0.5 || w.yMin < kMargin - 0.5 ||
            w.xMax > kMargin + areaWidth + 0.5 || w.yMax > kMargin + areaHeight + 0.5)
            off.push_back(w.text);
    return off;
}

platform::Color PrintedPdf::at(double x, double y) const
{
    return image.at(static_cast<int>(x * kDpi / 72), static_cast<int>(y * kDpi / 72));
}

std::optional<PrintedPdf> ReadPrintedPdf(const std::string& pdf, const std::string& setupString)
{
    if (imagetools::pdfPageCount(pdf) != 1)
        return std::nullopt;
    std::optional<imagetools::PdfPageWords> words = imagetools::pdfWords(pdf);
    std::optional<imagetools::RgbImage> image = imagetools::renderPdf(pdf, PrintedPdf::kDpi);
    if (!words || !image)
        return std::nullopt;
    platform::PrinterSetup setup;
    setup.setSetupString(setupString);
    PrintedPdf printed;
    printed.page = std::move(*words);
    printed.image = std::move(*image);
    printed.areaWidth = setup.width();
    printed.areaHeight = setup.height();
    return printed;
}

} // namespace testsupport
