// What the toolkit's own libraries keep until the process ends is not a leak of ours. Linked
// into every test and fuzz program as a source of its own, since LeakSanitizer looks the list
// up by name and a static library would drop it.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTRIX_LSAN_SUPPRESSIONS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KESTRIX_LSAN_SUPPRESSIONS 1
#endif

#ifdef KESTRIX_LSAN_SUPPRESSIONS
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libdbus-1.so\n"
           "leak:libQt6Core.so\n"
           "leak:libQt6Gui.so\n"
           "leak:libQt6Widgets.so\n"
           "leak:libqoffscreen.so\n";
}
#endif
