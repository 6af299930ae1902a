// libFuzzer target of the differential check (FormulaDiff.h): the interpreter and the
// compiled formulas evaluate every input side by side; any difference aborts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FormulaDiff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string difference =
        ov::formula_diff::CheckInput(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!difference.empty()) {
        std::fprintf(stderr, "formula_diff_fuzzer: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
