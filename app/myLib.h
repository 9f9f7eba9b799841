#pragma once

// The program's shared helpers and its two constants.

#include <string>
#include <string_view>

namespace myLib {

/// A carriage return alone: what a line break of a key message is inside the program.
extern std::string CR;
extern double pi;

/// True when the text is exactly "true".
bool Bool(std::string_view s);
/// "true" or "false".
std::string BStr(bool b);
/// The greater of b and (the smaller of c and a): a limited to b..c when b <= c.
float InRange(float a, float b, float c);
/// Sets pi and CR; called once at start-up.
void InitMyLib();

} // namespace myLib
