#pragma once
// The pixel segments of objects dragged in XOR mode, simplified so that no piece reaches
// the screen twice: in XOR mode a line drawn twice disappears, so where two segments lie
// on one line and overlap, one of them must absorb the other.
//
// The rule: from the last segment to the first, a degenerate segment is dropped; any other
// is absorbed by the first earlier segment whose Combine with it succeeds. A grid over the
// segments' extent keeps this from comparing every pair: two segments can only combine
// where their bounding boxes come within a few pixels of each other.

#include <cstddef>
#include <vector>

#include "geometry/clsLine2D.h"

namespace ov {

class XorOutline {
public:
    struct Piece {
        clsLine2D Segment;
        std::size_t Tag = 0; // the caller's mark, e.g. the index of the segment's style
    };

    void Add(const clsLine2D& segment, std::size_t tag) { pieces_.push_back({segment, tag}); }
    void Simplify();
    const std::vector<Piece>& Pieces() const { return pieces_; }

private:
    std::vector<Piece> pieces_;
};

} // namespace ov
