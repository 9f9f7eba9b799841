#pragma once

// The number and text functions every part of the program shares. Texts are UTF-8;
// positions and lengths count characters (code points), not bytes.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace platform {

/// The one conversion of a Double to an Int32: truncation toward zero, saturating at the
/// Int32 bounds; NaN gives 0.
int32_t ToInt32(double v);

/// Decimal text of an integer ("-10").
std::string Str(int64_t v);
/// Decimal text of a real: whole values without a fraction ("50"), others with up to
/// seven significant digits.
std::string Str(double v);
inline std::string Str(int32_t v)
{
    return Str(static_cast<int64_t>(v));
}

/// The leading decimal number of a text ("  -12.5e1xyz" is -125), else 0. Blanks before
/// the number are skipped; "inf", "nan" and hexadecimal are not numbers.
double Val(std::string_view s);

/// Number of characters, at most the largest Int32.
int32_t Len(std::string_view s);
/// The first n characters (all of them when n is larger, none when n is 0 or below).
std::string Left(std::string_view s, int32_t n);
/// 1-based character position of the first occurrence of `find` in `s` at or after the
/// 1-based position `start` (0 or 1 both mean the beginning); 0 when absent.
int32_t InStr(int32_t start, std::string_view s, std::string_view find);
/// Field n (from 1) of `s` split at `sep`; "" when there are fewer fields.
std::string NthField(std::string_view s, std::string_view sep, int32_t n);
/// Number of fields of `s` split at `sep` (1 for a text without separator, 0 for "").
int32_t CountFields(std::string_view s, std::string_view sep);
/// Every occurrence of `find` replaced by `repl`.
std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view repl);

/// A fresh random number from 0 up to (not including) 1.
double Rnd();
/// The engine behind Rnd (tests seed it).
std::mt19937_64& randomEngine();

} // namespace platform
