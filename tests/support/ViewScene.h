#pragma once
// A scene without the model house in one view on a 400 x 300 canvas at 96 pixels per inch (1 point = 1
// pixel), for the tests of what a view paints and answers on screen; a plain one shows neither grid nor axes
// nor horizon.

#include <gtest/gtest.h>

#include <cmath>

#include "ViewFakes.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

namespace ov::test {

struct ViewScene {
    clsScene scene;
    Canvas canvas{400, 300};
    clsView view;
    explicit ViewScene(std::int32_t type = clsView::Top, bool plain = false) {
        while (clsNode* c = scene.GetRootNode()->FirstChild()) c->Delete();
        canvas.SetPixelsPerInchY(96);
        view.SetView(type, &canvas, &scene);
        if (plain) scene.ShowGrid = scene.ShowAxes = scene.GetPerspective().ShowHorizon = false;
    }
    clsNode* Root() { return scene.GetRootNode(); }
    clsPerspective& Camera() { return scene.GetPerspective(); }
    clsNode* AddLine(double x1, double y1, double z1, double x2, double y2, double z2, clsNode* parent = nullptr) {
        auto node = scene.TreeManager.CreateLineNode(x1, y1, z1, x2, y2, z2, "");
        return parent ? parent->AddChild(std::move(node)) : scene.TreeManager.AddNode(std::move(node));
    }
    std::pair<double, double> Screen(const clsPoint3D& p) const {
        double x = 0, y = 0;
        view.ConvertPointToScreen(p, x, y);
        return {x, y};
    }
    QRgb Pixel(int x, int y) const { return canvas.Image().pixel(x, y) & 0xFFFFFF; }
    void Paint(bool showEye = false) { view.OnPaint(Root(), false, showEye); }
    void ExpectPixels(std::initializer_list<std::tuple<int, int, QRgb>> pixels) const {
        for (const auto& [x, y, colour] : pixels) EXPECT_EQ(Pixel(x, y), colour) << x << "," << y;
    }
};

} // namespace ov::test
