// libFuzzer target for the formula language: the input bytes hold a formula body and,
// separated by NUL bytes, a function-list text, a header and argument values (see
// FormulaChecks.h). The body is evaluated in all four modes over the read list, so user
// functions, recursion and the macro functions take part. Any broken property aborts
// with its description.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FormulaChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string failure = ov::formula_checks::CheckInput(input);
    if (!failure.empty()) {
        std::fprintf(stderr, "formula_fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
