#include "platform/values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace platform {

int32_t ToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::trunc(v));
}

std::string Str(int64_t v)
{
    return std::to_string(v);
}

std::string Str(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "INF" : "-INF";
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return std::to_string(static_cast<int64_t>(v));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", v);
    return buf;
}

double Val(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    const size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    // An exponent counts only when digits follow it.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    const std::string number(s.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

namespace {

// Byte offset of each character start, plus the end; works on any byte string, counting
// every byte that does not continue a UTF-8 sequence as one character.
bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

size_t byteOffsetOfChar(std::string_view s, int32_t n)
{
    size_t i = 0;
    int32_t count = 0;
    while (i < s.size() && count < n) {
        ++i;
        while (i < s.size() && isContinuation(static_cast<unsigned char>(s[i])))
            ++i;
        ++count;
    }
    return i;
}

// Saturates at the largest Int32 for a text of more characters.
int32_t charCount(std::string_view s, size_t bytes)
{
    const size_t end = std::min(bytes, s.size());
    size_t count = 0;
    for (size_t i = 0; i < end; ++i)
        count += isContinuation(static_cast<unsigned char>(s[i])) ? 0 : 1;
    return static_cast<int32_t>(
        std::min(count, static_cast<size_t>(std::numeric_limits<int32_t>::max())));
}

} // namespace

int32_t Len(std::string_view s)
{
    return charCount(s, s.size());
}

std::string Left(std::string_view s, int32_t n)
{
    if (n <= 0)
        return {};
    return std::string(s.substr(0, byteOffsetOfChar(s, n)));
}

int32_t InStr(int32_t start, std::string_view s, std::string_view find)
{
    const size_t from = start > 1 ? byteOffsetOfChar(s, start - 1) : 0;
    if (find.empty())
        return 0;
    const size_t at = s.find(find, from);
    if (at == std::string_view::npos)
        return 0;
    return charCount(s, at) + 1;
}

std::string NthField(std::string_view s, std::string_view sep, int32_t n)
{
    if (n < 1 || sep.empty())
        return n == 1 ? std::string(s) : std::string();
    size_t pos = 0;
    for (int32_t field = 1;; ++field) {
        const size_t next = s.find(sep, pos);
        if (field == n)
            return std::string(s.substr(pos, next == std::string_view::npos ? s.npos : next - pos));
        if (next == std::string_view::npos)
            return {};
        pos = next + sep.size();
    }
}

int32_t CountFields(std::string_view s, std::string_view sep)
{
    if (s.empty())
        return 0;
    if (sep.empty())
        return 1;
    int32_t count = 1;
    for (size_t pos = s.find(sep); pos != std::string_view::npos;
         pos = s.find(sep, pos + sep.size()))
        ++count;
    return count;
}

std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view repl)
{
    if (find.empty())
        return std::string(s);
    std::string out;
    size_t pos = 0;
    for (size_t at = s.find(find); at != std::string_view::npos; at = s.find(find, pos)) {
        out.append(s.substr(pos, at - pos));
        out.append(repl);
        pos = at + find.size();
    }
    out.append(s.substr(pos));
    return out;
}

std::mt19937_64& randomEngine()
{
    static std::mt19937_64 engine{std::random_device{}()};
    return engine;
}

double Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(randomEngine());
}

} // namespace platform
