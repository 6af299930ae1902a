#include "render/XorOutline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ov {

namespace {

// Combine accepts points up to sqrt(2) from a line whose slope along its main axis is at
// most 1, so the other segment comes within 2 units of this one on both axes.
constexpr double kMargin = 2.5;
// Screen coordinates beyond this (a zoomed-in view) only widen the border cells.
constexpr double kFarAway = 1e4;
// A segment that would cover more cells than this is compared by its box instead.
constexpr long kMaxCellsPerSegment = 64;

double Clamp(double v) {
    if (!(v == v)) return 0; // NaN
    return std::max(-kFarAway, std::min(kFarAway, v));
}

struct Box {
    double x1, y1, x2, y2;
    bool Meets(const Box& o) const { return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2; }
};

Box BoxOf(const clsLine2D& s, double margin) {
    const double ax = Clamp(s.StartPoint.x), bx = Clamp(s.EndPoint.x);
    const double ay = Clamp(s.StartPoint.y), by = Clamp(s.EndPoint.y);
    return {std::min(ax, bx) - margin, std::min(ay, by) - margin, std::max(ax, bx) + margin,
            std::max(ay, by) + margin};
}

class Grid {
public:
    Grid(const Box& extent, int cells) : extent_(extent), cells_(cells) {
        cellW_ = std::max((extent.x2 - extent.x1) / cells, 1e-9);
        cellH_ = std::max((extent.y2 - extent.y1) / cells, 1e-9);
        lists_.resize(static_cast<std::size_t>(cells) * static_cast<std::size_t>(cells));
    }

    long CellCount(const Box& b) const {
        return static_cast<long>(Cell(b.x2, extent_.x1, cellW_) - Cell(b.x1, extent_.x1, cellW_) + 1) *
               (Cell(b.y2, extent_.y1, cellH_) - Cell(b.y1, extent_.y1, cellH_) + 1);
    }

    void Insert(std::size_t index, const Box& b) {
        ForCells(b, [&](std::vector<std::size_t>& list) { list.push_back(index); });
    }

    template <typename F>
    void ForCells(const Box& b, F f) {
        const int cx1 = Cell(b.x1, extent_.x1, cellW_), cx2 = Cell(b.x2, extent_.x1, cellW_);
        const int cy1 = Cell(b.y1, extent_.y1, cellH_), cy2 = Cell(b.y2, extent_.y1, cellH_);
        for (int cy = cy1; cy <= cy2; ++cy)
            for (int cx = cx1; cx <= cx2; ++cx) f(lists_[static_cast<std::size_t>(cy) * cells_ + cx]);
    }

private:
    int Cell(double v, double origin, double size) const {
        const double c = std::floor((v - origin) / size);
        return static_cast<int>(std::max(0.0, std::min(static_cast<double>(cells_ - 1), c)));
    }

    Box extent_;
    int cells_;
    double cellW_ = 1, cellH_ = 1;
    std::vector<std::vector<std::size_t>> lists_;
};

} // namespace

void XorOutline::Simplify() {
    const std::size_t n = pieces_.size();
    if (n == 0) return;
    Box extent = BoxOf(pieces_[0].Segment, kMargin);
    for (const Piece& p : pieces_) {
        const Box b = BoxOf(p.Segment, kMargin);
        extent = {std::min(extent.x1, b.x1), std::min(extent.y1, b.y1), std::max(extent.x2, b.x2),
                  std::max(extent.y2, b.y2)};
    }
    // About two pieces per cell on average, at most 256 cells a side.
    const int cells = static_cast<int>(std::max(1.0, std::min(256.0, std::sqrt(static_cast<double>(n) / 2))));
    Grid grid(extent, cells);
    std::vector<bool> isLong(n, false);
    std::vector<std::size_t> longPieces; // in increasing order
    auto file = [&](std::size_t j) {
        const Box b = BoxOf(pieces_[j].Segment, 0);
        if (isLong[j]) return;
        if (grid.CellCount(b) > kMaxCellsPerSegment) {
            isLong[j] = true;
            longPieces.insert(std::lower_bound(longPieces.begin(), longPieces.end(), j), j);
        } else {
            grid.Insert(j, b);
        }
    };
    for (std::size_t i = 0; i < n; ++i) file(i);

    std::vector<bool> removed(n, false);
    std::vector<std::size_t> stamp(n, n), candidates;
    auto consider = [&](std::size_t j, std::size_t i) {
        if (j < i && stamp[j] != i) {
            stamp[j] = i;
            candidates.push_back(j);
        }
    };
    for (std::size_t i = n; i-- > 0;) {
        const clsLine2D& s = pieces_[i].Segment;
        if (s.IsDegenerate()) {
            removed[i] = true;
            continue;
        }
        const Box near = BoxOf(s, kMargin);
        candidates.clear();
        if (isLong[i]) {
            for (std::size_t j = 0; j < i; ++j)
                if (near.Meets(BoxOf(pieces_[j].Segment, 0))) consider(j, i);
        } else {
            grid.ForCells(near, [&](std::vector<std::size_t>& list) {
                for (std::size_t j : list) consider(j, i);
            });
            for (std::size_t j : longPieces) {
                if (j >= i) break;
                if (near.Meets(BoxOf(pieces_[j].Segment, 0))) consider(j, i);
            }
        }
        std::sort(candidates.begin(), candidates.end());
        for (std::size_t j : candidates) {
            if (pieces_[j].Segment.Combine(s)) {
                removed[i] = true;
                // The absorbing piece may have grown: file it where it now reaches.
                file(j);
                break;
            }
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (!removed[i]) pieces_[kept++] = pieces_[i];
    pieces_.resize(kept);
}

} // namespace ov
