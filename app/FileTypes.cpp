#include "app/FileTypes.h"

namespace FileTypes {

platform::FileType pTextPlain;
platform::FileType pSpecialAny;
platform::FileType pImagePict;
platform::FileType pImageJpeg;
platform::FileType pTextData;
platform::FileType pImagePng;

void Declare()
{
    pTextPlain = {
        "text/plain",
        ".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt"};
    pSpecialAny = {"special/any", ""};
    pImagePict = {"image/pict", ".pict;.pic;.pct"};
    pImageJpeg = {"image/jpeg", ".jfif;.jpe;.jpeg;.jpg"};
    pTextData = {"text/data", ".dat"};
    // Save as Picture also writes PNG, which a desktop's picture viewers read.
    pImagePng = {"image/png", ".png"};
    for (const platform::FileType* type :
         {&pTextPlain, &pSpecialAny, &pImagePict, &pImageJpeg, &pTextData, &pImagePng})
        platform::declareFileType(*type);
}

} // namespace FileTypes
