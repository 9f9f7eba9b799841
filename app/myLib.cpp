#include "app/myLib.h"

#include <algorithm>

namespace myLib {

std::string CR;
double pi = 0;

bool Bool(std::string_view s)
{
    return s == "true";
}

std::string BStr(bool b)
{
    return b ? "true" : "false";
}

float InRange(float a, float b, float c)
{
    return static_cast<float>(
        std::max(static_cast<double>(b), std::min(static_cast<double>(c), static_cast<double>(a))));
}

void InitMyLib()
{
    pi = 3.141592653589793;
    CR = std::string(1, char(13));
}

} // namespace myLib
