#pragma once

#include "platform/dialogs.h"

/// The five file types the program declares at start-up. Dialogs are given a type's name as
/// their filter.
namespace FileTypes {

extern platform::FileType pTextPlain;
extern platform::FileType pSpecialAny;
extern platform::FileType pImagePict;
extern platform::FileType pImageJpeg;
extern platform::FileType pTextData;

inline constexpr const char* TextData = "text/data";
inline constexpr const char* SpecialAny = "special/any";
inline constexpr const char* ImagePict = "image/pict";

/// Declares the five types, in the order text/plain, special/any, image/pict, image/jpeg,
/// text/data.
void Declare();

} // namespace FileTypes
