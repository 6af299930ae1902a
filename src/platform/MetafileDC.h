#pragma once
// An enhanced-metafile device context with the GDI-style drawing calls the paint target
// needs. The implementation uses libEMF; its Windows headers stay inside MetafileDC.cpp so
// that none of their macros reach the rest of the program.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ov {

class MetafileDC {
public:
    // Pen styles as GDI numbers them.
    enum PenStyle { Solid = 0, Dash = 1, Dot = 2, Null = 5 };

    // Device units run from 0 to DeviceUnits on both axes, y downwards: the square
    // (0, 0)-(DeviceUnits, DeviceUnits) covers the whole frame (stretched when the frame is
    // not square). Pen widths and font heights are in the same units.
    static constexpr int DeviceUnits = 500;

    // Starts a metafile at path whose frame is widthMM x heightMM (each from 0.01 to
    // 20000). Returns null with error set when the size is invalid or the file cannot be
    // created.
    static std::unique_ptr<MetafileDC> Create(const std::string& path, double widthMM, double heightMM,
                                              std::string& error);
    virtual ~MetafileDC() = default;

    // Colours are Windows colour values (red in bits 0-7, green 8-15, blue 16-23).
    // SelectPen, SelectSolidBrush and SelectFont create a new object and delete the one of
    // the same kind they replace; a pen style that is not one of PenStyle draws solid.
    virtual void SelectPen(int style, int width, std::uint32_t color) = 0;
    virtual void SelectNullBrush() = 0;
    virtual void SelectSolidBrush(std::uint32_t color) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // One stroke through runs of points (xy holds x, y pairs; each run takes its length in
    // points from runLengths, at least 2): a polyline record for a single run, a stroked
    // path of several subpaths for more, so that a viewer keeps them one object.
    virtual void Polylines(const std::vector<int>& xy, const std::vector<std::size_t>& runLengths) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // A font of the given height in device units (negative: character height, as GDI),
    // escapement in tenths of a degree.
    virtual void SelectFont(const std::string& face, int height, int escapement, int weight, bool italic,
                            bool underline, bool strikeOut, int charSet) = 0;
    virtual void SetTextColor(std::uint32_t color) = 0;
    virtual void SetTransparentBackground() = 0;
    virtual void TextOut(int x, int y, const std::string& utf8Text) = 0;
    // Finishes and writes the file. False with error set when writing failed. Drawing
    // calls after Close do nothing; Close again repeats the first result. The destructor
    // closes a metafile that was not closed, dropping any error.
    virtual bool Close(std::string& error) = 0;
};

} // namespace ov
