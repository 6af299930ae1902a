#pragma once
// The child window that shows one open scene: four view ports with a view each, the
// view-type list on a view's name, and the mouse tools' interaction with the scene.

#include "tools/ToolInteraction.h"
#include "app/windows/ViewPort.h"
#include "scene/IDocumentWindow.h"
#include "scene/clsScene.h"
#include "paint/clsView.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QComboBox;

class QLabel;

namespace ov {

class ITreeView;
class CameraMatchSession;

class frmDocument : public QWidget,
                    public IDocumentWindow,
                    private IToolHost,
                    private IViewPortEvents {
    Q_OBJECT
public:
    // A new scene (the model house) in four views: Top, Front, Left and Perspective; the
    // scene joins the application's open scenes.
    explicit frmDocument(QWidget* parent = nullptr);
    // Deactivates the scene if it is the active one, tells the main window, and takes the
    // scene out of the open scenes.
    ~frmDocument() override;

    void SetName(const std::string& name);
    clsView& GetPerspectiveView();
    clsView& GetActiveView();
    clsScene& GetScene();
    // 0: four quarters; 1: three small views in a column and one large view.
    void SetLayout(std::int32_t layout);

    // What the scene asks of its window.
    void SetCaption(const std::string& caption) override;
    void UpdateViews() override;
    void ResetZoom() override;
    void OnPerspectiveChange() override;
    void OnToolChange(std::int32_t newTool) override;

    // For the main window when this document's sub-window becomes the active one: the scene
    // that was active lets go of the object tree, this scene becomes the active scene and
    // shows its tree in treeView (may be null).
    void ActivateDocument(ITreeView* treeView);

    static constexpr int PortCount = ToolInteraction::PortCount;
    ViewPort* GetViewPort(int index) const;
    clsView& GetView(int index);
    int GetActiveIndex() const { return tools_->ActiveIndex(); }
    std::int32_t GetLayout() const { return layout_; }
    bool IsMaximized() const { return maximized_; }
    // The list of view types that a click on a view's name shows.
    QComboBox* ViewTypeList() const { return cbViewType_; }
    // The mouse tools' state (drag state, feedback) for the main window's status and tests.
    const ToolInteraction& Tools() const { return *tools_; }
    ToolInteraction& Tools() { return *tools_; }
    // Zoom to Objects: the visible objects with a small margin, in the active view or in all.
    void ZoomToObjects(bool allViews);
    // Scales the active view's visible area by 1 / factor about its centre.
    void ZoomActiveView(double factor);
    // Ends a drag in progress as Escape does.
    void CancelDrag();
    // While a camera-matching session is set, the left button in the perspective view marks
    // the reference picture instead of using the tools; changed is called after each change.
    void SetCameraMatch(CameraMatchSession* session, std::function<void()> changed);
    CameraMatchSession* GetCameraMatch() const { return match_; }

    // The ports are placed by hand, not by a layout: the window says itself what size suits
    // it, so that cascading and tiling give it room for its views.
    QSize sizeHint() const override { return {640, 480}; }
    QSize minimumSizeHint() const override { return {240, 180}; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The ports in the layout, or the active one alone.
    void ArrangePorts();
    void OnViewTypeChosen(int index);
    void HideViewTypeList();
    // The box height and the Bezier end point follow the pointer with the button up: the
    // active port holds the mouse until the drag ends.
    void GrabForButtonUpPhase();
    void ReleaseGrab();

    // IToolHost
    bool PreparePort(int port) override;
    void InvalidatePort(int port) override;
    void SetCapture(bool on) override;
    void SetPortCursor(int port, int image) override;
    void ToggleMaximized() override;
    bool RestoreLayout() override;
    void ShowViewTypeList() override;
    void ActivePortChanged(int port) override;
    void ShowPointerLabel(int port, double x, double y, const std::string& text) override;

    // IViewPortEvents
    void OnPortRender(int port) override;
    void OnPortMouseDown(int port, int button, double x, double y, int shift) override;
    void OnPortMouseMove(int port, int buttons, double x, double y, int shift) override;
    void OnPortMouseUp(int port, int button, double x, double y, int shift) override;
    void OnPortKeyDown(int port, int keyCode, int shift) override;
    void OnPortWheel(int port, double angleX, double angleY, double x, double y, int shift) override;
    void OnPortLeave(int port) override;

    std::unique_ptr<clsScene> scene_;
    std::array<clsView, PortCount> views_;
    std::array<ViewPort*, PortCount> ports_{};
    CameraMatchSession* match_ = nullptr;
    std::function<void()> matchChanged_;
    // Hands a press, move or release in a port to the camera-matching session; false when it
    // is not the session's.
    bool MatchMouse(int port, int phase, int button, double x, double y);
    QComboBox* cbViewType_ = nullptr;
    QLabel* pointerLabel_ = nullptr; // a measurement beside the pointer
    std::unique_ptr<ToolInteraction> tools_;
    std::int32_t layout_ = 0;
    bool maximized_ = false;
    int updateLock_ = 0; // while above 0, a change of the view-type list is not applied
};

} // namespace ov
