#pragma once
// The desktop files from data/, compiled into the application when the build is configured.

namespace ov::desktopdata {

extern const char kDesktopEntry[]; // data/orthovane.desktop
extern const char kMimeInfo[];     // data/orthovane-mime.xml
extern const char kIconSvg[];      // data/orthovane.svg

} // namespace ov::desktopdata
