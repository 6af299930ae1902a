#pragma once
// What the tools and their drags share: the scene, the four views of the window, the window
// itself as host, which view is active and whether the mouse is captured.

#include <array>
#include <cstddef>

#include "paint/clsView.h"

namespace ov {

class IToolHost;
class clsNode;
class clsScene;

class ToolContext {
public:
    static constexpr int PortCount = 4;

    ToolContext(clsScene& scene, std::array<clsView, PortCount>& views, IToolHost& host)
        : scene_(scene), views_(views), host_(host) {}

    clsScene& Scene() const { return scene_; }
    IToolHost& Host() const { return host_; }
    clsView& View(int port) const { return views_[static_cast<std::size_t>(port)]; }
    clsView& ActiveView() const { return View(active_); }
    int Active() const { return active_; }
    void SetActive(int port) { active_ = port; }

    void Capture();
    void ReleaseCapture();
    bool Captured() const { return captured_; }

    // Calls draw with every view whose port is on screen, its picture up to date. Feedback
    // is drawn in XOR, so the same call draws and erases it.
    template <typename Draw>
    void OnShownPorts(Draw draw) const {
        for (int i = 0; i < PortCount; ++i)
            if (PreparePort(i)) draw(View(i));
    }
    void InvalidateAll() const;
    // The perspective views show the camera as it is now (at the next frame).
    void RefreshPerspectiveViews() const;

    // The status line: the hint and selection fields, and the panels that describe a shape
    // (the one being made, or reference moved to where shape shows it).
    void StatusChanged() const;
    void DescribeShape(clsNode* shape, clsNode* reference) const;

private:
    bool PreparePort(int port) const;

    clsScene& scene_;
    std::array<clsView, PortCount>& views_;
    IToolHost& host_;
    int active_ = 0;
    bool captured_ = false;
};

} // namespace ov
