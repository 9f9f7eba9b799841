// The data-file reader from bytes. What it accepts, the writer writes, and that text reads
// back and writes again to the very same bytes: a document that was opened and saved once
// does not change by being opened and saved again.

#include "app/DataFile.h"

#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>

using fuzzsupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<DataFileContents> first = ReadDataFile(bytes);
    if (!first)
        return 0;
    Check(first->NumPlayer >= -1 && first->NumPlayer <= kPlayerLimit &&
              first->players.size() == static_cast<size_t>(first->NumPlayer + 1),
          "the reader accepted a document that the main window cannot hold");
    const std::string written = WriteDataFile(*first);
    const std::optional<DataFileContents> second = ReadDataFile(written);
    Check(second.has_value(), "the reader refuses what the writer wrote");
    Check(!second->EndedEarly && !second->TextAfterEnd,
          "the writer wrote a document that ends early or goes on after its end");
    Check(WriteDataFile(*second) == written, "a second read and write changed the file");
    return 0;
}
