#pragma once
// The straight segments that represent an object, as BreakApart hands them out: either a
// line's own segment, or a polyline whose points a curve keeps in one flat array (shared
// with the curve's cache, never copied). Segments are made on the fly as values, so a
// curve of a million points costs its points and nothing per segment.

#include <cstddef>
#include <iterator>
#include <memory>

#include "geometry/clsLine3D.h"
#include "shapes/CurvePoints.h"

namespace ov {

class SegmentList {
public:
    SegmentList() = default;
    // A line's own segment (not a copy).
    explicit SegmentList(std::shared_ptr<const clsLine3D> segment) : line_(std::move(segment)) {}
    // The polyline through the points: one segment fewer than points.
    explicit SegmentList(std::shared_ptr<const CurvePoints> points) : points_(std::move(points)) {}

    std::size_t PointCount() const { return line_ ? 2 : points_ ? points_->Count() : 0; }
    clsPoint3D Point(std::size_t i) const {
        if (line_) return i == 0 ? line_->StartPoint : line_->EndPoint;
        return points_->At(i);
    }
    std::size_t size() const { return PointCount() > 1 ? PointCount() - 1 : 0; }
    bool empty() const { return size() == 0; }
    clsLine3D operator[](std::size_t i) const { return {Point(i), Point(i + 1)}; }
    clsLine3D front() const { return (*this)[0]; }
    clsLine3D back() const { return (*this)[size() - 1]; }
    // The line whose own segment this is, or null for a curve.
    const clsLine3D* OwnSegment() const { return line_.get(); }
    // The curve's points, shared with its cache; null for a line.
    const CurvePoints* Points() const { return points_.get(); }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = clsLine3D;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = clsLine3D;

        const_iterator(const SegmentList* list, std::size_t i) : list_(list), i_(i) {}
        clsLine3D operator*() const { return (*list_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++i_;
            return old;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

    private:
        const SegmentList* list_;
        std::size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::shared_ptr<const clsLine3D> line_;
    std::shared_ptr<const CurvePoints> points_;
};

} // namespace ov
