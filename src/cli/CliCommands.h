#pragma once
// The sub-commands of orthovane-cli, callable from tests with their own streams.
// Each returns the process exit status.

#include <ostream>
#include <string>
#include <vector>

namespace ov::cli {

// eval [--functions FILE.fnl]... [--name NAME] EXPR...
int RunEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// new OUT.ovp | resave IN.ovp OUT.ovp | info IN.ovp [--json]
int RunNew(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunResave(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// segments IN.ovp --view NAME
int RunSegments(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// render IN.ovp --view NAME --out FILE [--page P] [--landscape] [--fit] [--frame] [--no-grid] [--size WxH] [--reference]
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// match-camera --size WxH --x "..." --y "..." [--z "..."] --origin "x y" [--scale "x y N"]
//              [--project IN.ovp --out OUT.ovp]
int RunMatchCamera(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ov::cli
