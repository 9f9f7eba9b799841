#include "tests/support/image_tools.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

namespace imagetools {

platform::Color RgbImage::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return platform::Color{1, 2, 3}; // outside: a colour nothing draws
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return platform::Color{rgb[i], rgb[i + 1], rgb[i + 2]};
}

bool hasTool(const std::string& name)
{
    return run("command -v " + quote(name)).has_value();
}

std::string missingTool(const std::string& name, const std::string& package)
{
    return name + " is missing: install " + package + " (`make test` installs it)";
}

std::optional<std::string> run(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string out;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

std::string quote(const std::string& text)
{
    std::string q = "'";
    for (const char c : text) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

std::optional<RgbImage> parsePpm(std::string_view bytes)
{
    // "P6", then width, height and the largest value as decimal numbers separated by white
    // space (comments aside), then one white-space byte and the pixels.
    size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n')
                    ++pos;
            } else if (std::isspace(static_cast<unsigned char>(bytes[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
    };
    auto readNumber = [&]() -> std::optional<int> {
        skipSpace();
        if (pos >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[pos])))
            return std::nullopt;
        int v = 0;
        while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos])) &&
               v < 100000)
            v = v * 10 + (bytes[pos++] - '0');
        return v;
    };
    if (bytes.substr(0, 2) != "P6")
        return std::nullopt;
    pos = 2;
    const auto w = readNumber();
    const auto h = readNumber();
    const auto maxValue = readNumber();
    if (!w || !h || !maxValue || *maxValue != 255 || pos >= bytes.size())
        return std::nullopt;
    ++pos;
    RgbImage image;
    image.width = *w;
    image.height = *h;
    const size_t size = static_cast<size_t>(*w) * static_cast<size_t>(*h) * 3;
    if (bytes.size() - pos < size)
        return std::nullopt;
    image.rgb.assign(bytes.begin() + static_cast<ptrdiff_t>(pos),
                     bytes.begin() + static_cast<ptrdiff_t>(pos + size));
    return image;
}

std::optional<PdfInfo> pdfInfo(const std::string& pdf)
{
    const std::optional<std::string> out = run("pdfinfo " + quote(pdf));
    if (!out)
        return std::nullopt;
    PdfInfo info;
    bool counted = false;
    std::istringstream lines(*out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Pages:", 0) == 0) {
            info.pages = std::atoi(line.c_str() + 6);
            counted = true;
        } else if (line.rfind("Page size:", 0) == 0) {
            // "Page size:      595.276 x 841.89 pts (A4)"
            std::istringstream size(line.substr(10));
            std::string x;
            size >> info.width >> x >> info.height;
        }
    }
    if (!counted)
        return std::nullopt;
    return info;
}

std::optional<int> pdfPageCount(const std::string& pdf)
{
    const std::optional<PdfInfo> info = pdfInfo(pdf);
    if (!info)
        return std::nullopt;
    return info->pages;
}

std::optional<RgbImage> renderPdf(const std::string& pdf, int dpi)
{
    const std::optional<std::string> ppm =
        run("pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 " + quote(pdf));
    if (!ppm)
        return std::nullopt;
    return parsePpm(*ppm);
}

std::optional<PdfWord> PdfPageWords::find(const std::string& text) const
{
    for (const PdfWord& w : words)
        if (w.text == text)
            return w;
    return std::nullopt;
}

namespace {

// The number in `attribute="..."` within `tag`; 0 when it is not there.
double attributeOf(const std::string& tag, const std::string& attribute)
{
    const size_t at = tag.find(" " + attribute + "=\"");
    if (at == std::string::npos)
        return 0;
    return std::strtod(tag.c_str() + at + attribute.size() + 3, nullptr);
}

std::string unescapeHtml(std::string text)
{
    for (const auto& [entity, c] : {std::pair<std::string, std::string>{"&lt;", "<"},
                                    {"&gt;", ">"},
                                    {"&quot;", "\""},
                                    {"&apos;", "'"},
                                    {"&amp;", "&"}}) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, entity.size(), c);
    }
    return text;
}

} // namespace

std::optional<PdfPageWords> pdfWords(const std::string& pdf)
{
    const std::optional<std::string> html = run("pdftotext -bbox -f 1 -l 1 " + quote(pdf) + " -");
    if (!html)
        return std::nullopt;
    PdfPageWords page;
    const size_t pageAt = html->find("<page ");
    if (pageAt == std::string::npos)
        return std::nullopt;
    const std::string pageTag = html->substr(pageAt, html->find('>', pageAt) - pageAt);
    page.width = attributeOf(pageTag, "width");
    page.height = attributeOf(pageTag, "height");
    for (size_t at = html->find("<word ", pageAt); at != std::string::npos;
         at = html->find("<word ", at + 1)) {
        const size_t tagEnd = html->find('>', at);
        const size_t textEnd = html->find("</word>", tagEnd);
        if (tagEnd == std::string::npos || textEnd == std::string::npos)
            break;
        const std::string tag = html->substr(at, tagEnd - at);
        page.words.push_back({unescapeHtml(html->substr(tagEnd + 1, textEnd - tagEnd - 1)),
                              attributeOf(tag, "xMin"), attributeOf(tag, "yMin"),
                              attributeOf(tag, "xMax"), attributeOf(tag, "yMax")});
    }
    return page;
}

WholeDrawing WholeDrawing::on(int dw, int dh, int aw, int ah, double marginLeft, double marginTop)
{
    WholeDrawing d;
    d.scale = std::min(static_cast<double>(aw) / dw, static_cast<double>(ah) / dh);
    d.left = marginLeft + (aw - dw * d.scale) / 2;
    d.top = marginTop + (ah - dh * d.scale) / 2;
    return d;
}

std::optional<RgbImage> decodePict(const std::string& path)
{
    const std::optional<std::string> ppm = run("convert " + quote("pict:" + path) + " ppm:-");
    if (!ppm)
        return std::nullopt;
    return parsePpm(*ppm);
}

} // namespace imagetools
