// View > Match Camera through the real window: edges dragged on a photograph of the house in
// the perspective view give back the camera that took it, applied as one undo step.
#include "MainWindowTestSupport.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "app/dialogs/frmMatchCamera.h"
#include "render/ViewExport.h"

namespace ov::testing {
namespace {

constexpr int kWidth = 705, kHeight = 500; // the window's 1.41 : 1

class MatchCameraTest : public MainWindowFixture {
protected:
    // The house photographed from a camera the test knows, by the program's own PNG export.
    void TakePhoto() {
        clsScene photo;
        photoCamera = &photo.GetPerspective();
        photoCamera->EyePoint.SetPoint(-14, 26, 7);
        photoCamera->Normal.SetPoint(18, -23, -5);
        ExportOptions options;
        options.Width = kWidth;
        options.Height = kHeight;
        options.Grid = false;
        ASSERT_EQ(ExportView(photo, clsView::Perspective, ExportFormat::Png, options, TempPath("photo.png")).Outcome,
                  ExportResult::Written);
        shot = *photoCamera;
        photoCamera = nullptr;
    }
    int PerspectivePort() {
        for (int i = 0; i < 4; ++i)
            if (document->GetView(i).ViewType == clsView::Perspective) return i;
        return -1;
    }
    // Where a document point of the photograph lies in the perspective view's port.
    QPoint OnScreen(double x, double y, double z) {
        double u = 0, v = 0;
        shot.ConvertPoint(clsPoint3D(x, y, z), u, v);
        const double px = (u - shot.UMin) / (shot.UMax - shot.UMin), py = (shot.VMax - v) / (shot.VMax - shot.VMin);
        const clsPerspective& now = Scene().GetPerspective();
        const PictureRect r = PlacePicture(Scene().Reference, kWidth, kHeight, now.UMin, now.VMin, now.UMax, now.VMax);
        const clsView& view = document->GetView(PerspectivePort());
        return QPoint(int(view.GetScreenX(r.Left + px * (r.Right - r.Left))),
                      int(view.GetScreenY(r.Top - py * (r.Top - r.Bottom))));
    }
    // A drag along the middle part of the edge between two document points, as a user lays a
    // line on it (away from the corners, where other lines' ends would be taken hold of).
    void DragAlong(const clsPoint3D& a, const clsPoint3D& b) {
        auto at = [&](double t) { return OnScreen(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t); };
        ViewPort* port = document->GetViewPort(PerspectivePort());
        QTest::mousePress(port, Qt::LeftButton, {}, at(0.15));
        QTest::mouseMove(port, at(0.5));
        QTest::mouseMove(port, at(0.85));
        QTest::mouseRelease(port, Qt::LeftButton, {}, at(0.85));
    }
    void ClickAt(const clsPoint3D& p) {
        ViewPort* port = document->GetViewPort(PerspectivePort());
        QTest::mouseClick(port, Qt::LeftButton, {}, OnScreen(p.x, p.y, p.z));
    }
    void Mark(frmMatchCamera& panel, const char* element) { functiondialogs::ClickOption(panel.findChild<QRadioButton*>(element)); }

    clsPerspective* photoCamera = nullptr;
    clsPerspective shot;
};

TEST_F(MatchCameraTest, EdgesMarkedOnAPhotographGiveItsCameraAsOneUndoStep) {
    TakePhoto();
    EXPECT_FALSE(Enabled("mnuViewMatchCamera")); // nothing to match without a picture
    Scene().Reference.Path = TempPath("photo.png");
    Scene().Reference.ShiftX = 0.05; // marks are made on the picture wherever it lies
    main->UpdateUI(false);
    // The perspective view alone, large: a right click in a view that is active toggles it.
    ViewPort* port = document->GetViewPort(PerspectivePort());
    for (int i = 0; i < 2; ++i) QTest::mouseClick(port, Qt::RightButton, {}, QPoint(port->width() - 4, port->height() - 4));
    Choose("mnuViewMatchCamera");
    auto* panel = document->findChild<frmMatchCamera*>();
    ASSERT_NE(panel, nullptr);
    QPushButton* apply = panel->findChild<QPushButton*>("cmApply");
    const clsPerspective before = Scene().GetPerspective();

    // The house's base runs 8 along X and 10 along Y; its corner posts are 3 high.
    const struct { const char* element; clsPoint3D a, b, c, d; } edges[] = {
        {"rX", {0, 0, 0}, {8, 0, 0}, {0, 10, 0}, {8, 10, 0}},
        {"rY", {0, 0, 0}, {0, 10, 0}, {8, 0, 0}, {8, 10, 0}},
        {"rZ", {0, 0, 0}, {0, 0, 3}, {8, 0, 0}, {8, 0, 3}},
    };
    for (const auto& e : edges) {
        Mark(*panel, e.element);
        DragAlong(e.a, e.b);
        DragAlong(e.c, e.d);
    }
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(panel->Outcome().toStdString(), "Mark the point where the origin lies (Origin).");
    Mark(*panel, "rOrigin");
    ClickAt({0, 0, 0});
    Mark(*panel, "rScale");
    ClickAt({8, 0, 0});
    panel->findChild<QDoubleSpinBox*>("spnLength")->setValue(8);
    ASSERT_TRUE(apply->isEnabled()) << panel->Outcome().toStdString();
    functiondialogs::Click(apply);
    // Within what a pixel of the view port allows: the eye 34 units away within 2 %, the direction within 1 degree.
    const clsPerspective& found = Scene().GetPerspective();
    const double away = std::hypot(found.EyePoint.x + 14, found.EyePoint.y - 26, found.EyePoint.z - 7);
    clsPoint3D n = found.Normal, m = shot.Normal;
    n.Normalize();
    m.Normalize();
    EXPECT_LT(away, 0.02 * std::hypot(14, 26, 7)) << found.EyePoint.x << " " << found.EyePoint.y << " " << found.EyePoint.z;
    EXPECT_GT(n.x * m.x + n.y * m.y + n.z * m.z, std::cos(1.0 * M_PI / 180));
    EXPECT_EQ(Action("mnuEditUndo")->text().toStdString(), "&Undo Match Camera");
    EXPECT_EQ(Scene().Reference.ShiftX, 0); // back where the new window shows it whole
    Choose("mnuEditUndo");
    ExpectPoint(Scene().GetPerspective().EyePoint, before.EyePoint);

    // Lines that cannot meet are named in the panel, and nothing can be applied.
    Mark(*panel, "rX");
    functiondialogs::Click(panel->findChild<QPushButton*>("cmClear"));
    for (const int x : {100, 300}) { // two strokes along one line in the sky
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(x, 60));
        QTest::mouseMove(port, QPoint(x + 50, 60));
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(x + 100, 60));
    }
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(panel->Outcome().indexOf("The two X segments lie on one line"), 0) << panel->Outcome().toStdString();
    panel->close(); // the view's left button draws again
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(document->GetCameraMatch(), nullptr);
}

} // namespace
} // namespace ov::testing
