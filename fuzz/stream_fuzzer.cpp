// libFuzzer target for the record formats: the input bytes are taken as file text and run
// through the structured stream (parse, typed getters, write, re-parse), the setters, the
// number reader and the flat stream. Any broken property aborts with its description.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "StreamChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string failure = ov::checks::CheckInput(text);
    if (!failure.empty()) {
        std::fprintf(stderr, "stream_fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
