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
    // The dialogs show each type by its description, the words a person reads.
    pTextPlain = {
        "text/plain",
        ".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt",
        "Text files"};
    pSpecialAny = {"special/any", "", "All files"};
    pImagePict = {"image/pict", ".pict;.pic;.pct", "PICT pictures"};
    pImageJpeg = {"image/jpeg", ".jfif;.jpe;.jpeg;.jpg", "JPEG pictures"};
    pTextData = {"text/data", ".dat", "Kestrix documents"};
    // Save as Picture also writes PNG, which a desktop's picture viewers read.
    pImagePng = {"image/png", ".png", "PNG pictures"};
    for (const platform::FileType* type :
         {&pTextPlain, &pSpecialAny, &pImagePict, &pImageJpeg, &pTextData, &pImagePng})
        platform::declareFileType(*type);
}

} // namespace FileTypes
