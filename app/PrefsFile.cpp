#include "app/PrefsFile.h"

platform::File ReadPrefsFile(std::string_view bytes)
{
    platform::TextInputStream in(bytes);
    in.readLine();
    const std::string line = in.readLine();
    if (line.empty() || line.front() != '/' || line.find_first_of("\r\n") != std::string::npos)
        return platform::File();
    return platform::File(line);
}

std::string WritePrefsFile(std::string_view line2)
{
    platform::TextOutputStream out;
    out.writeLine("?");
    out.writeLine(line2);
    return out.bytes();
}
