#include "app/Document.h"

#include <algorithm>

Document DocumentFromFile(DataFileContents contents, std::string name, std::string path)
{
    Document d;
    d.NumPlayer = std::clamp(contents.NumPlayer, -1, kPlayerLimit);
    const size_t count = std::min(contents.players.size(), d.Player.size());
    std::move(contents.players.begin(),
              contents.players.begin() + static_cast<std::ptrdiff_t>(count), d.Player.begin());
    d.Links = contents.Links;
    d.AveColour = contents.AveColour;
    d.HasDB = contents.HasDB;
    d.FileChanged = false;
    d.InFileName = std::move(name);
    d.InFilePath = std::move(path);
    return d;
}
