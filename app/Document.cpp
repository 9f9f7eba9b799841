#include "app/Document.h"

#include <algorithm>

Document DocumentFromFile(const DataFileContents& contents, std::string name, std::string path)
{
    Document d;
    d.NumPlayer = std::clamp(contents.NumPlayer, -1, kPlayerLimit);
    const size_t count = std::min(contents.players.size(), d.Player.size());
    std::copy_n(contents.players.begin(), count, d.Player.begin());
    d.Links = contents.Links;
    d.AveColour = contents.AveColour;
    d.HasDB = contents.HasDB;
    d.FileChanged = false;
    d.InFileName = std::move(name);
    d.InFilePath = std::move(path);
    return d;
}
