// The enhanced-metafile device context on top of libEMF.
//
// This is the only file of the program that includes libEMF: its Wine headers define
// Windows types and hundreds of macros (TextOut, min, max, RGB, ...). The standard and
// project headers come first so that none of those macros reach them.

#include "platform/MetafileDC.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

// clang-format off
// libEMF comes last so that its macros reach no other header.
#include <libEMF/emf.h>
// clang-format on

// The class has a member called TextOut; the header maps that name to TextOutA.
#undef TextOut
#undef min
#undef max

namespace ov {

namespace {

// libEMF keeps every pen, brush, font and device context in one process-wide table, so
// calls into it from different threads must not overlap.
std::mutex& LibraryMutex() {
    static std::mutex mutex;
    return mutex;
}

// libEMF describes its reference device as 1024 x 768 pixels covering 320 x 240 mm (the
// header's szlDevice and szlMillimeters), whatever reference context is passed. Viewers
// place device pixels on the frame with that ratio.
constexpr double ReferencePixelsPerMM = 1024.0 / 320.0;

// Larger frames would overflow libEMF's integer arithmetic for the header's bounds.
constexpr double MaxFrameMM = 20000.0;

COLORREF ToColorRef(std::uint32_t color) {
    return static_cast<COLORREF>(color & 0xFFFFFFu);
}

// UTF-8 to UTF-16. Malformed sequences become U+FFFD so that no text is dropped silently.
std::vector<WCHAR> ToUtf16(const std::string& text) {
    std::vector<WCHAR> out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        std::uint32_t minimum = 0;
        if (c < 0x80) {
            cp = c;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2, cp = c & 0x1Fu, minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3, cp = c & 0x0Fu, minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4, cp = c & 0x07u, minimum = 0x10000;
        } else {
            len = 0; // stray continuation byte or invalid lead byte
        }
        if (len > 1) {
            std::size_t k = 1;
            for (; k < len && i + k < n && (s[i + k] & 0xC0u) == 0x80u; ++k)
                cp = (cp << 6) | (s[i + k] & 0x3Fu);
            if (k < len || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                cp = 0xFFFD;
                len = k; // resume at the first byte that did not fit
            }
        }
        if (len == 0) {
            cp = 0xFFFD;
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(cp));
        }
        i += len;
    }
    return out;
}

class EmfMetafileDC final : public MetafileDC {
public:
    EmfMetafileDC(std::string path, std::FILE* file, HDC dc)
        : path_(std::move(path)), file_(file), dc_(dc) {}

    ~EmfMetafileDC() override {
        std::string ignored;
        Close(ignored);
    }

    void SelectPen(int style, int width, std::uint32_t color) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_) return;
        int gdiStyle = PS_SOLID;
        switch (style) {
        case Dash:
            gdiStyle = PS_DASH;
            break;
        case Dot:
            gdiStyle = PS_DOT;
            break;
        case Null:
            gdiStyle = PS_NULL;
            break;
        default:
            break;
        }
        Replace(pen_, ::CreatePen(gdiStyle, std::max(width, 0), ToColorRef(color)));
    }

    void SelectNullBrush() override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_) return;
        Replace(brush_, ::GetStockObject(NULL_BRUSH));
    }

    void SelectSolidBrush(std::uint32_t color) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_) return;
        Replace(brush_, ::CreateSolidBrush(ToColorRef(color)));
    }

    void MoveTo(int x, int y) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::MoveToEx(dc_, x, y, nullptr);
    }

    void LineTo(int x, int y) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::LineTo(dc_, x, y);
    }

    void Polylines(const std::vector<int>& xy, const std::vector<std::size_t>& runLengths) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_ || runLengths.empty()) return;
        std::vector<POINT> points(xy.size() / 2);
        for (std::size_t i = 0; i < points.size(); ++i) points[i] = POINT{xy[2 * i], xy[2 * i + 1]};
        if (runLengths.size() == 1) {
            ::Polyline(dc_, points.data(), static_cast<INT>(std::min(runLengths[0], points.size())));
            return;
        }
        ::BeginPath(dc_);
        std::size_t start = 0;
        for (const std::size_t length : runLengths) {
            if (length < 2 || start + length > points.size()) break;
            ::MoveToEx(dc_, points[start].x, points[start].y, nullptr);
            ::PolylineTo(dc_, points.data() + start + 1, static_cast<DWORD>(length - 1));
            start += length;
        }
        ::EndPath(dc_);
        ::StrokePath(dc_);
    }

    void Ellipse(int left, int top, int right, int bottom) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::Ellipse(dc_, left, top, right, bottom);
    }

    void Rectangle(int left, int top, int right, int bottom) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::Rectangle(dc_, left, top, right, bottom);
    }

    void SelectFont(const std::string& face, int height, int escapement, int weight, bool italic,
                    bool underline, bool strikeOut, int charSet) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_) return;
        LOGFONTW logFont;
        std::memset(&logFont, 0, sizeof logFont);
        logFont.lfHeight = height;
        logFont.lfWidth = 0;
        logFont.lfEscapement = escapement;
        logFont.lfOrientation = escapement;
        logFont.lfWeight = weight;
        logFont.lfItalic = italic ? 1 : 0;
        logFont.lfUnderline = underline ? 1 : 0;
        logFont.lfStrikeOut = strikeOut ? 1 : 0;
        logFont.lfCharSet = static_cast<BYTE>(std::clamp(charSet, 0, 255));
        // The face name field holds 31 UTF-16 units and a terminating zero.
        const std::vector<WCHAR> name = ToUtf16(face);
        std::size_t count = std::min<std::size_t>(name.size(), LF_FACESIZE - 1);
        if (count > 0 && name[count - 1] >= 0xD800 && name[count - 1] <= 0xDBFF)
            --count; // no half pair
        std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(count),
                  logFont.lfFaceName);
        Replace(font_, ::CreateFontIndirectW(&logFont));
    }

    void SetTextColor(std::uint32_t color) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::SetTextColor(dc_, ToColorRef(color));
    }

    void SetTransparentBackground() override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (dc_) ::SetBkMode(dc_, TRANSPARENT);
    }

    void TextOut(int x, int y, const std::string& utf8Text) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_ || utf8Text.empty()) return;
        std::vector<WCHAR> text = ToUtf16(utf8Text);
        ::TextOutW(dc_, x, y, text.data(), static_cast<INT>(text.size()));
    }

    bool Close(std::string& error) override {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (!dc_) {
            // Already closed: report the outcome of the first Close again.
            error = closeError_;
            return closeError_.empty();
        }
        // Put the stock objects back and delete the last created ones, so that libEMF's
        // object table holds nothing of this metafile afterwards.
        Replace(pen_, ::GetStockObject(BLACK_PEN));
        Replace(brush_, ::GetStockObject(WHITE_BRUSH));
        Replace(font_, ::GetStockObject(DEVICE_DEFAULT_FONT));

        // The FILE variant writes all records but leaves the stream open, so that write
        // errors (a full disk, say) can be read from it here. libEMF itself throws when a
        // write fails.
        HENHMETAFILE metafile = 0;
        bool written = true;
        int writeErrno = 0;
        try {
            metafile = ::CloseEnhMetaFileWithFILE(dc_);
        } catch (const std::exception&) {
            written = false;
            writeErrno = errno;
        }
        const bool flushed = std::fflush(file_) == 0;
        const int flushErrno = errno;
        const bool writeError = std::ferror(file_) != 0;
        const bool closed = std::fclose(file_) == 0;
        const int closeErrno = errno;
        // The records are freed with the metafile, the device context itself with DeleteDC.
        ::DeleteEnhMetaFile(dc_);
        ::DeleteDC(dc_);
        dc_ = 0;
        file_ = nullptr;

        if (!written || !metafile || !flushed || writeError || !closed) {
            const int code = !written   ? writeErrno
                             : !flushed ? flushErrno
                             : !closed  ? closeErrno
                                        : 0;
            closeError_ = "Cannot write the metafile \"" + path_ + "\"";
            if (code != 0) closeError_ += ": " + std::string(std::strerror(code));
        }
        error = closeError_;
        return closeError_.empty();
    }

private:
    // Selects object into the device context and deletes the object it replaces when this
    // class created that one (stock objects are never deleted). The replaced object is no
    // longer selected when it is deleted.
    void Replace(HGDIOBJ& current, HGDIOBJ object) {
        if (!object) return;
        ::SelectObject(dc_, object);
        if (current && !(current & ENHMETA_STOCK_OBJECT)) ::DeleteObject(current);
        current = object;
    }

    std::string path_;
    std::FILE* file_ = nullptr;
    HDC dc_ = 0;
    HGDIOBJ pen_ = 0;
    HGDIOBJ brush_ = 0;
    HGDIOBJ font_ = 0;
    std::string closeError_;
};

} // namespace

std::unique_ptr<MetafileDC> MetafileDC::Create(const std::string& path, double widthMM,
                                               double heightMM, std::string& error) {
    error.clear();
    // At least one hundredth of a millimetre, the frame's unit, each way.
    if (!(widthMM >= 0.01 && widthMM <= MaxFrameMM && heightMM >= 0.01 && heightMM <= MaxFrameMM)) {
        error = "Invalid metafile size for \"" + path + "\"";
        return nullptr;
    }
    // The file is opened here rather than by libEMF so that a failure can be reported with
    // its reason and so that write errors stay visible on the stream until Close.
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "Cannot create the metafile \"" + path + "\"";
        if (!path.empty()) error += ": " + std::string(std::strerror(errno));
        return nullptr;
    }

    std::lock_guard<std::mutex> lock(LibraryMutex());
    // The frame is given in hundredths of a millimetre.
    RECT frame;
    frame.left = 0;
    frame.top = 0;
    frame.right = static_cast<LONG>(std::lround(widthMM * 100.0));
    frame.bottom = static_cast<LONG>(std::lround(heightMM * 100.0));
    HDC dc = ::CreateEnhMetaFileWithFILEW(0, file, &frame, nullptr);
    if (!dc) {
        std::fclose(file);
        error = "Cannot create the metafile \"" + path + "\"";
        return nullptr;
    }

    // Device units: the paint target draws into (0, 0)-(DeviceUnits, DeviceUnits). An
    // anisotropic mapping makes that square the logical window and the frame's size in
    // reference pixels the viewport, so the square covers the frame exactly, with y
    // growing downwards. Logical coordinates keep their full integer precision in the
    // file; only the viewport extent is rounded to whole reference pixels.
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, DeviceUnits, DeviceUnits, nullptr);
    ::SetViewportExtEx(
        dc, std::max(1, static_cast<int>(std::lround(widthMM * ReferencePixelsPerMM))),
        std::max(1, static_cast<int>(std::lround(heightMM * ReferencePixelsPerMM))), nullptr);

    return std::make_unique<EmfMetafileDC>(path, file, dc);
}

} // namespace ov
