#pragma once
// The child window that shows one open scene: four view ports with a view each, the
// view-type list on a view's name, and the mouse tools' interaction with the scene.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "scene/IDocumentWindow.h"
#include "scene/clsScene.h"
#include "view/clsView.h"

namespace ov {

class frmDocument : public QWidget, public IDocumentWindow {
    Q_OBJECT
public:
    explicit frmDocument(QWidget* parent = nullptr);
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
};

} // namespace ov
