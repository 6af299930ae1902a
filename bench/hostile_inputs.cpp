// Writes the full-size hostile inputs that run_hostile.sh feeds to orthovane-cli:
//   orthovane_hostile_inputs OUT_DIR
#include <cstdio>
#include <string>

#include "../tests/cli/HostileInputs.h"

using namespace ov::hostile;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orthovane_hostile_inputs OUT_DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const bool ok =
        WriteProject(dir + "ellipses.ovp", 1000, [](long) { return Ellipse(100000); }) &&
        WriteProject(dir + "beziers.ovp", 100, [](long) { return Bezier(100000); }) &&
        WriteProject(dir + "sum.ovp", 1, [](long) { return Function(0, 10, 1, "SUM(I*t,I,1,1E12)"); }) &&
        WriteProject(dir + "terms.ovp", 1, [](long) { return Function(0, 100, 1, ManyTerms(1000000)); }) &&
        WriteProject(dir + "function-1m.ovp", 1, [](long) { return Function(0, 999999, 1); }) &&
        WriteProject(dir + "function-range.ovp", 1, [](long) { return Function(0, 1e300, 1e-300); }) &&
        WriteProject(dir + "functions-50x1m.ovp", 50, [](long) { return Function(0, 999999, 1); }) &&
        WriteProject(dir + "lines-200mb.ovp", 900000, Line);
    for (long n : {80000L, 160000L, 320000L})
        if (!WriteProject(dir + "function-" + std::to_string(n / 1000) + "k.ovp", 1,
                          [n](long) { return Function(0, static_cast<double>(n - 1), 1); }))
            return 1;
    return ok ? 0 : 1;
}
