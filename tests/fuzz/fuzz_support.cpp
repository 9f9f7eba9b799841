#include "tests/fuzz/fuzz_support.h"

#include "platform/application.h"
#include "platform/printing.h"
#include "platform/testing.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace fuzzsupport {

namespace {

std::string gConfigFolder;

void removeConfigFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(gConfigFolder, ec);
}

// The code point that starts at s[i] and its length in bytes; nothing for bytes that are not
// UTF-8 (which the toolkit reads as a replacement character, never as white space).
std::optional<std::pair<char32_t, size_t>> decodeAt(std::string_view s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return std::make_pair(char32_t(c), size_t(1));
    const size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size())
        return std::nullopt;
    char32_t cp = c & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    return std::make_pair(cp, len);
}

// The white space that the toolkit trims: the ASCII blanks and controls 9 to 13, NEL, and
// Unicode's space, line and paragraph separators.
bool isSpace(char32_t c)
{
    return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The length of the white space at `from` (going forward) of `s`.
size_t spaceRun(std::string_view s, size_t from)
{
    size_t i = from;
    while (i < s.size()) {
        const auto d = decodeAt(s, i);
        if (!d || !isSpace(d->first))
            break;
        i += d->second;
    }
    return i - from;
}

// `text` is `core` with white space before and after it, and perhaps a byte-order mark first
// (which the toolkit drops when it reads UTF-8, as an editor may have added one). `core`
// starts and ends with a character that is not white space, so the leading run ends where
// `core` must begin.
bool isTrimmedTo(std::string_view text, std::string_view core)
{
    const size_t bom = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    const size_t start = bom + spaceRun(text, bom);
    if (text.substr(start, core.size()) != core)
        return false;
    const size_t end = start + core.size();
    return end + spaceRun(text, end) == text.size();
}

} // namespace

void StartPlatform()
{
    if (!platform::Application::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // The preferences folder lives in memory where the machine allows, since every Page
        // Setup syncs its file to disk.
        const std::filesystem::path shm("/dev/shm");
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::string config = (base / "kestrix-fuzz-XXXXXX").string();
        if (!mkdtemp(config.data()))
            Fail("cannot make a preferences folder");
        gConfigFolder = config;
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        std::atexit(removeConfigFolder);
        // Kept until the process ends: libFuzzer leaves by exit().
        new platform::Application("Fuzz targets");
    }
    platform::testing::setModalHandler(
        [](const platform::testing::ModalRequest& r) -> platform::testing::ModalAnswer {
            Fail("a reader showed a modal: \"" + r.message + r.title + "\"");
        });
}

void Fail(std::string_view what)
{
    std::fprintf(stderr, "FUZZ FAILURE: %.*s\n", static_cast<int>(what.size()), what.data());
    std::fflush(stderr);
    std::abort();
}

void CheckRestoredOrDefaults(const platform::PrinterSetup& setup, std::string_view text)
{
    static const std::string defaults = platform::PrinterSetup().setupString();
    const std::string held = setup.setupString();
    if (!isTrimmedTo(text, held)) {
        Check(held == defaults, "a text that was not restored did not give the defaults");
        return;
    }
    Check(setup.width() > 0 && setup.height() > 0, "restored settings leave no page");
    platform::PrinterSetup again(setup);
    again.setSetupString(held);
    Check(again.setupString() == held, "a restored setup string does not restore itself");
}

} // namespace fuzzsupport
