#include "shapes/CurvePoints.h"

#include <algorithm>
#include <atomic>

namespace ov {

namespace {

std::atomic<std::size_t> g_limit{CurveBudget::kDefaultLimit};
std::atomic<std::size_t> g_inUse{0};

std::function<void(const std::string&)>& Handler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

bool Charge(std::size_t points) {
    std::size_t used = g_inUse.load();
    do {
        if (points > g_limit.load() || used > g_limit.load() - points) return false;
    } while (!g_inUse.compare_exchange_weak(used, used + points));
    return true;
}

void Refund(std::size_t points) { g_inUse -= points; }

} // namespace

CurvePoints::~CurvePoints() { Refund(charged_); }

bool CurvePoints::Reserve(std::size_t points) {
    if (points <= charged_) return true;
    if (!Charge(points - charged_)) return false;
    try {
        xyz_.reserve(3 * points);
    } catch (...) {
        Refund(points - charged_);
        throw;
    }
    charged_ = points;
    return true;
}

bool CurvePoints::Add(const clsPoint3D& p) {
    // Grows by half again, as a vector would, within what the budget has left.
    if (Count() == charged_) {
        const std::size_t limit = g_limit, used = g_inUse;
        const std::size_t room = limit > used ? limit - used : 0;
        const std::size_t grow = std::min(std::max<std::size_t>(1024, charged_ / 2), room);
        if (grow == 0 || !Reserve(charged_ + grow)) return false;
    }
    xyz_.push_back(p.x);
    xyz_.push_back(p.y);
    xyz_.push_back(p.z);
    return true;
}

void CurvePoints::Trim() {
    if (Count() == charged_) return;
    xyz_.shrink_to_fit();
    Refund(charged_ - Count());
    charged_ = Count();
}

namespace CurveBudget {

std::size_t Limit() { return g_limit; }
void SetLimit(std::size_t points) { g_limit = points; }
std::size_t InUse() { return g_inUse; }

std::string RefusalMessage() {
    return "The curves would need more than " + std::to_string(Limit()) +
           " points in all; some are not drawn in full.";
}

void SetRefusalHandler(std::function<void(const std::string&)> handler) { Handler() = std::move(handler); }

void ReportRefusal() {
    if (Handler()) Handler()(RefusalMessage());
}

} // namespace CurveBudget

} // namespace ov
