#include "app/DataFile.h"

#include "app/myLib.h"

#include "platform/files.h"
#include "platform/values.h"

#include <algorithm>

using platform::NthField;
using platform::ReplaceAll;
using platform::Str;
using platform::ToInt32;
using platform::Val;

namespace {

constexpr std::string_view kHeader = "Varnholt Data";
// What a carriage return of a key message is stored as.
constexpr std::string_view kKeyMsgBreak = "^&*";
// A key message's line break inside the program. Not myLib::CR, so that the format does not
// depend on the start-up having set it.
constexpr std::string_view kCR = "\r";

constexpr int32_t kNoDocument = -1;

// Every line break (CRLF, CR or LF) of `s` replaced by `repl`.
std::string ReplaceLineBreaks(std::string_view s, std::string_view repl)
{
    std::string out = ReplaceAll(s, "\r\n", repl);
    out = ReplaceAll(out, "\r", repl);
    return ReplaceAll(out, "\n", repl);
}

// A value that must stay on one line of its own.
std::string OneLine(std::string_view s)
{
    return ReplaceLineBreaks(s, " ");
}

// A value that must stay on one line and within one tab-separated field.
std::string OneField(std::string_view s)
{
    return ReplaceAll(OneLine(s), "\t", " ");
}

// The lines of a data file in order. A line past the end reads as "" and is noted, so that
// the reader can tell a file cut short from a whole one.
class LineReader {
public:
    explicit LineReader(platform::TextInputStream& in) : mIn(in) {}

    std::string next()
    {
        if (mIn.atEnd())
            mRanOut = true;
        return mIn.readLine();
    }
    int32_t nextInt() { return ToInt32(Val(next())); }
    bool ranOut() const { return mRanOut; }

private:
    platform::TextInputStream& mIn;
    bool mRanOut = false;
};

// A name or subtitle as read: a line break in it, one of another kind than the file's lines
// end with, becomes a space, as the writer writes it.
std::string OneLineAsRead(std::string s)
{
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return s;
}

Player ReadPlayer(LineReader& in)
{
    Player p;
    p.Name = OneLineAsRead(in.next());
    // The subtitle and the key message are taken from the line in place, so that a long key
    // message is not held three times over.
    const std::string texts = in.next();
    const std::string_view fields(texts);
    const size_t tab = fields.find('\t');
    p.Subtitle = OneLineAsRead(std::string(fields.substr(0, tab)));
    if (tab != std::string_view::npos) {
        const std::string_view keyMsg = fields.substr(tab + 1);
        p.KeyMsg = ReplaceAll(keyMsg.substr(0, keyMsg.find('\t')), kKeyMsgBreak, kCR);
        // A line break of another kind than the file's lines end with, as another editor
        // leaves it, is a line break too.
        std::replace(p.KeyMsg.begin(), p.KeyMsg.end(), '\n', kCR[0]);
    }
    p.x = in.nextInt();
    p.y = in.nextInt();
    in.next(); // Width and Height come from the box-size rule.
    in.next();
    p.Position = in.nextInt();
    p.Importance = in.nextInt();
    const std::string flags = in.next();
    p.LinkMain = myLib::Bool(NthField(flags, " ", 1));
    p.Unknown = myLib::Bool(NthField(flags, " ", 2));
    SetBoxSize(p);
    CentreFromCorner(p);
    return p;
}

// Link row i: cell j is Val of field j of the row split at commas, for j = 1..count; a field
// the row lacks reads 0, and fields after the count are not read. One pass over the row.
void ReadLinkRow(std::string_view row, int32_t count, std::array<int32_t, kPlayerLimit + 1>& cells)
{
    size_t pos = 0;
    for (int32_t j = 1; j <= count && pos <= row.size(); ++j) {
        const size_t comma = row.find(',', pos);
        const size_t end = comma == std::string_view::npos ? row.size() : comma;
        cells[static_cast<size_t>(j)] = ToInt32(Val(row.substr(pos, end - pos)));
        pos = end + 1;
    }
}

void WritePlayer(platform::TextOutputStream& out, const Player& p)
{
    out.writeLine(OneLine(p.Name));
    out.writeLine(OneField(p.Subtitle) + "\t" +
                  ReplaceAll(ReplaceLineBreaks(p.KeyMsg, kKeyMsgBreak), "\t", " "));
    out.writeLine(Str(p.x));
    out.writeLine(Str(p.y));
    out.writeLine(Str(p.Width));
    out.writeLine(Str(p.Height));
    out.writeLine(Str(p.Position));
    out.writeLine(Str(p.Importance));
    out.writeLine(myLib::BStr(p.LinkMain) + " " + myLib::BStr(p.Unknown));
}

} // namespace

DataFileContents MakeDataFileContents(bool HasDB, int32_t NumPlayer,
                                      std::span<const Player> players, const LinkTable& Links,
                                      bool AveColour)
{
    DataFileContents c;
    c.HasDB = HasDB;
    c.NumPlayer = NumPlayer;
    const size_t count = std::min(players.size(), static_cast<size_t>(std::max(NumPlayer + 1, 0)));
    c.players.assign(players.begin(), players.begin() + static_cast<std::ptrdiff_t>(count));
    c.Links = Links;
    c.AveColour = AveColour;
    return c;
}

std::string WriteDataFile(const DataFileContents& contents)
{
    const int32_t n = std::clamp(contents.NumPlayer, kNoDocument, kPlayerLimit);
    platform::TextOutputStream out;
    out.writeLine(std::string(kHeader) + "\t" + myLib::BStr(contents.HasDB));
    out.writeLine(Str(n));
    const Player empty;
    for (int32_t i = 0; i <= n; ++i) {
        const auto at = static_cast<size_t>(i);
        WritePlayer(out, at < contents.players.size() ? contents.players[at] : empty);
    }
    for (int32_t i = 1; i <= n; ++i) {
        std::string row;
        for (int32_t j = 1; j <= n; ++j)
            row += Str(contents.Links[static_cast<size_t>(i)][static_cast<size_t>(j)]) + ",";
        out.writeLine(row);
    }
    out.writeLine(myLib::BStr(contents.AveColour));
    return out.bytes();
}

namespace {

std::optional<DataFileContents> ReadContents(platform::TextInputStream& in)
{
    // The first line alone decides whether this is a data file, whatever follows it.
    const std::optional<std::string> header = in.readLine(kHeaderLineLimit);
    if (!header || platform::InStr(0, *header, kHeader) == 0)
        return std::nullopt;
    LineReader lines(in);

    DataFileContents c;
    c.HasDB = myLib::Bool(NthField(*header, "\t", 2));
    // The count decides how many records are read and where they go: one beyond what the
    // document can hold is not a file of ours.
    c.NumPlayer = lines.nextInt();
    if (c.NumPlayer < kNoDocument || c.NumPlayer > kPlayerLimit)
        return std::nullopt;

    c.players.reserve(static_cast<size_t>(c.NumPlayer + 1));
    for (int32_t i = 0; i <= c.NumPlayer; ++i)
        c.players.push_back(ReadPlayer(lines));

    for (int32_t i = 1; i <= c.NumPlayer; ++i)
        ReadLinkRow(lines.next(), c.NumPlayer, c.Links[static_cast<size_t>(i)]);
    // A missing last line reads as false like any other, and says that the file was cut short:
    // the link rows before it may have lost their last cells with it.
    c.AveColour = myLib::Bool(lines.next());
    c.EndedEarly = lines.ranOut();
    in.skipEmptyLines();
    c.TextAfterEnd = !in.atEnd();
    return c;
}

} // namespace

DataFileRead ReadDataFile(platform::TextInputStream& in)
{
    DataFileRead read;
    read.contents = ReadContents(in);
    // Lines past a failure read as "", which would make a document of what is not one.
    if (in.failed()) {
        read.contents.reset();
        read.readFailed = true;
    }
    return read;
}

std::optional<DataFileContents> ReadDataFile(std::string_view bytes)
{
    platform::TextInputStream in(bytes);
    return ReadDataFile(in).contents;
}
