// The preferences-file reader from bytes. It always gives an item, an absolute path; and the
// file written for that item reads back to the same item.

#include "app/PrefsFile.h"

#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>

using fuzzsupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const platform::File recorded = ReadPrefsFile(bytes);
    const std::string& path = recorded.absolutePath();
    Check(!path.empty() && path.front() == '/', "the recorded item is not an absolute path");
    Check(ReadPrefsFile(WritePrefsFile(path)) == recorded,
          "the file written for the recorded item reads back to another one");
    return 0;
}
