#pragma once
// The usage lines of orthovane-cli's commands and the options each takes: what --help
// prints, and what an unknown option is checked against.

namespace ov::cli {

inline constexpr const char* kNewUsage = "usage: orthovane-cli new OUT.ovp\n";
inline constexpr const char* kResaveUsage = "usage: orthovane-cli resave IN.ovp OUT.ovp [--recover]\n";
inline constexpr const char* kInfoUsage = "usage: orthovane-cli info IN.ovp [--json] [--recover] [--max-seconds N]\n";
inline constexpr const char* kEvalUsage =
    "usage: orthovane-cli eval [--project P.ovp] [--functions FILE.fnl]... [--name NAME] [--max-seconds N]\n"
    "         [--] EXPR...\n";
inline constexpr const char* kSegmentsUsage = "usage: orthovane-cli segments IN.ovp --view NAME [--recover] [--max-seconds N]\n";
inline constexpr const char* kRenderUsage =
    "usage: orthovane-cli render IN.ovp --view NAME --out FILE.(png|svg|pdf|emf)\n"
    "         [--page A0..A6|Letter|Legal] [--landscape] [--fit] [--frame] [--no-grid] [--size WxH]\n"
    "         [--reference] [--recover] [--max-seconds N]\n";
inline constexpr const char* kMatchCameraUsage =
    "usage: orthovane-cli match-camera --size WxH --x \"x1 y1 x2 y2; x1 y1 x2 y2\" --y \"...; ...\"\n"
    "         [--z \"...; ...\"] --origin \"x y\" [--scale \"x y N\"] [--project IN.ovp --out OUT.ovp]\n"
    "  pixel positions in a W x H picture, origin top left, y down; at least two of --x, --y, --z,\n"
    "  each two segments along edges parallel to that axis; --origin shows (0, 0, 0), --scale (N, 0, 0)\n";

} // namespace ov::cli
