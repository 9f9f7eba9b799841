#pragma once

#include <cstdint>
#include <string>

/// One player of the document; player 0 is the central issue. Corners and centres are in
/// model units, Width and Height in pixels.
struct Player {
    std::string Name;
    int32_t x = 0;
    int32_t y = 0;
    int32_t Position = 0;   ///< nominally -100 (enemy) .. 100 (ally)
    int32_t Importance = 0; ///< nominally 0 .. 100
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t xcentre = 0;
    int32_t ycentre = 0;
    bool LinkMain = false; ///< linked to the central issue
    std::string Subtitle;
    bool Unknown = false; ///< stance uncertain: grey, left out of averages and transforms
    std::string KeyMsg;   ///< may hold carriage returns
    /// Which player this record is: given when the player enters the document and carried
    /// along when a deletion moves it to another index; never stored. A window that keeps rows
    /// of players finds its player again by it (frmMain::IndexOfPlayer).
    uint64_t Identity = 0;
};

/// The most players besides the central issue.
inline constexpr int32_t kPlayerLimit = 50;

/// The ranges that the sliders and the player editor hold, and that every drag stores within.
inline constexpr int32_t kPositionLowest = -100;
inline constexpr int32_t kPositionHighest = 100;
inline constexpr int32_t kImportanceLowest = 0;
inline constexpr int32_t kImportanceHighest = 100;

// The box-size rule, applied after every use of the player editor and to every player read
// from a data file: the size estimated from the texts, then one of three follow-ups.

/// Width = 7 per character of the name + 20, at most the largest Int32; Height = 30, or 45
/// with a subtitle.
void SetBoxSize(Player& p);
/// The centre from the corner and half the size.
void CentreFromCorner(Player& p);
/// The corner from the centre and half the size (after a creation).
void CornerFromCentre(Player& p);
