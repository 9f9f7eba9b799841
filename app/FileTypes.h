#pragma once

#include "platform/dialogs.h"

/// The file types the program declares at start-up. Dialogs are given a type's name as their
/// filter.
namespace FileTypes {

extern platform::FileType pTextPlain;
extern platform::FileType pSpecialAny;
extern platform::FileType pImagePict;
extern platform::FileType pImageJpeg;
extern platform::FileType pTextData;
extern platform::FileType pImagePng;

inline constexpr const char* TextData = "text/data";
inline constexpr const char* SpecialAny = "special/any";
inline constexpr const char* ImagePict = "image/pict";
inline constexpr const char* ImagePng = "image/png";

/// Declares the types, in the order text/plain, special/any, image/pict, image/jpeg, text/data,
/// image/png.
void Declare();

} // namespace FileTypes
