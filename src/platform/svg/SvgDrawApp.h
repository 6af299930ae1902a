#pragma once
// The drawing program on this platform: instead of driving an external program it builds
// an SVG document, one layer of shapes and named groups (<g id=... inkscape:label=...>),
// which Inkscape and other editors open. Coordinates are inches with y pointing up; the
// page is written as width x height inches with a viewBox in inches, y flipped.

#include "platform/DrawApp.h"

#include <memory>
#include <string>
#include <vector>

namespace ov {

class SvgDocument;

class SvgDrawApp : public draw::Application {
public:
    SvgDrawApp();
    ~SvgDrawApp() override;

    std::shared_ptr<draw::Document> ActiveDocument() override;
    std::shared_ptr<draw::ShapeRange> CreateShapeRange() override;
    // There is no window to show; the flag is only kept.
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const { return visible_; }
    // Starts a fresh, empty document on a Letter page; the previous one is dropped, and
    // shapes and ranges made for it no longer reach the new one.
    std::shared_ptr<draw::Document> CreateDocument() override;

    // The page in inches; Letter (8.5 x 11) until set. Sizes that are not positive finite
    // numbers are refused (false, page unchanged).
    bool SetPageSize(double widthInches, double heightInches);
    double PageWidth() const;
    double PageHeight() const;

    // The whole document as SVG text (UTF-8).
    std::string ToSvgText() const;
    // Writes the document to path through a temporary file, so that a failed save leaves a
    // previous file untouched. On failure returns false and sets error to the reason.
    bool Save(const std::string& path, std::string& error) const;

    // The shapes selected with CreateSelection (the last one; empty before the first).
    std::vector<std::shared_ptr<draw::Shape>> Selection() const;
    // The XML id written for a named shape of this document; empty for an unnamed shape or
    // one that is not from this document.
    std::string IdOf(const draw::Shape& shape) const;

private:
    std::shared_ptr<SvgDocument> document_;
    bool visible_ = false;
};

} // namespace ov
