#pragma once
// The usage lines of orthovane-cli's commands and the options each takes: what --help
// prints, and what an unknown option is checked against.

namespace ov::cli {

inline constexpr const char* kNewUsage = "usage: orthovane-cli new OUT.ovp\n";
inline constexpr const char* kResaveUsage = "usage: orthovane-cli resave IN.ovp OUT.ovp\n";
inline constexpr const char* kInfoUsage = "usage: orthovane-cli info IN.ovp [--json] [--max-seconds N]\n";
inline constexpr const char* kEvalUsage =
    "usage: orthovane-cli eval [--project P.ovp] [--functions FILE.fnl]... [--name NAME] [--max-seconds N]\n"
    "         [--] EXPR...\n";
inline constexpr const char* kSegmentsUsage = "usage: orthovane-cli segments IN.ovp --view NAME [--max-seconds N]\n";
inline constexpr const char* kRenderUsage =
    "usage: orthovane-cli render IN.ovp --view NAME --out FILE.(png|svg|pdf|emf)\n"
    "         [--page A0..A6|Letter|Legal] [--landscape] [--fit] [--frame] [--no-grid] [--size WxH]\n"
    "         [--max-seconds N]\n";

} // namespace ov::cli
