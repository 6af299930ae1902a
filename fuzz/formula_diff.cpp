// The differential check (FormulaDiff.h) as a plain program: every file in the folders
// given, then generated inputs (FormulaGen.h). A difference is printed, and the input is
// written to the folder of --save if given. Exit status 1 when any difference was found.
//
//   formula_diff [--generated N] [--seed S] [--save DIR] [FOLDER...]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FormulaDiff.h"
#include "FormulaGen.h"

namespace {

int differences = 0;
std::string saveFolder;

void Check(const std::string& input, const std::string& label) {
    const std::string d = ov::formula_diff::CheckInput(input);
    if (d.empty()) return;
    ++differences;
    std::printf("DIFFERENCE in %s: %s\n", label.c_str(), d.c_str());
    if (saveFolder.empty()) return;
    std::ofstream(std::filesystem::path(saveFolder) / ("diff-" + std::to_string(differences)), std::ios::binary)
        << input;
}

} // namespace

int main(int argc, char** argv) {
    long generated = 0;
    unsigned long long seed = 1;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--generated" && i + 1 < argc) generated = std::atol(argv[++i]);
        else if (a == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--save" && i + 1 < argc) saveFolder = argv[++i];
        else folders.push_back(a);
    }
    long files = 0;
    for (const std::string& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            Check(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
                  entry.path().string());
            ++files;
        }
    }
    ov::formula_gen::Generator generator(seed);
    for (long k = 0; k < generated; ++k) Check(generator.Input(), "generated input " + std::to_string(k));
    std::printf("formula_diff: %ld files, %ld generated inputs (seed %llu), %d differences\n", files, generated, seed,
                differences);
    return differences == 0 ? 0 : 1;
}
