// libFuzzer target for project files: the input bytes are taken as the text of a project
// file and read into a scene, which is then saved and read again, broken apart into
// segments, cloned, edited through the tree manager, undone and redone, and imported into
// a second scene. Any broken property aborts with its description (see ProjectChecks.h).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ProjectChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string failure = ov::checks::CheckProject(text);
    if (!failure.empty()) {
        std::fprintf(stderr, "project_fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
