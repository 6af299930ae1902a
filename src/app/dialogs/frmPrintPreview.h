#pragma once
// The print preview window, and the window from which a view is exported to the drawing
// program. It shows the page, its printable area and the chosen view as it will come out;
// the view list, the page, the frame, the grid and the fit switch redraw it at once.
//
// In export mode the five listed CorelDRAW and CorelDESIGNER versions stay in the version
// list but find no automation server on this platform; "SVG Document", selected by default,
// writes the drawing-program export as an SVG file that Inkscape and other editors open.

#include <QDialog>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "paint/Canvas.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QStatusBar;

namespace ov {

class clsScene;
namespace draw {
class Application;
}

// The preview picture box: shows a canvas that its owner draws before every paint.
class PrintPreviewBox : public QWidget {
public:
    explicit PrintPreviewBox(QWidget* parent = nullptr);

    Canvas& GetCanvas() { return canvas_; }
    // Draws the picture into the canvas; run before each paint with the canvas at the
    // widget's size.
    std::function<void()> Render;
    // Brings the canvas to the widget's size and draws it; false while there is no room.
    bool RenderNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Canvas canvas_;
};

class frmPrintPreview : public QDialog {
    Q_OBJECT
public:
    // Entries of the version list: the five listed program versions, then the SVG file.
    static constexpr int VersionCount = 6;
    static constexpr int SvgDocument = 5;
    static constexpr int PageSizeCount = 9;
    static constexpr int A4 = 4;

    frmPrintPreview(clsScene& scene, std::int32_t activeViewType, bool exportMode, QWidget* parent = nullptr);

    bool ExportMode() const { return exportMode_; }
    // The chosen page in metres, width and height swapped for landscape.
    void GetPageSize(double& width, double& height) const;
    // Draws the preview of the chosen view on the current page.
    void UpdatePreview();
    PrintPreviewBox* Preview() const { return previewImage_; }

    // The printer that printing and its preview use: the one Print Setup chose last, kept
    // for the whole session.
    static QPrinter& Printer();
    // Whether a printer was chosen (by Print or Print Setup) since start-up.
    static bool& PrinterChosen();

    // The controls, by name: cbVersion, cbPageSize, cLandscape, cShowGrid, cFrame, cbView,
    // cFitToPage, cmPrint, cmCancel, cmPrintSetup; the groups GroupDraw, GroupAll,
    // GroupPrint (also found with findChild).
    QComboBox* VersionList() const { return cbVersion_; }
    QComboBox* PageSizeList() const { return cbPageSize_; }
    QComboBox* ViewList() const { return cbView_; }
    QCheckBox* LandscapeBox() const { return cLandscape_; }
    QCheckBox* ShowGridBox() const { return cShowGrid_; }
    QCheckBox* FrameBox() const { return cFrame_; }
    QCheckBox* FitToPageBox() const { return cFitToPage_; }
    QCheckBox* ReferenceBox() const { return cReference_; }
    QPushButton* PrintButton() const { return cmPrint_; }
    QPushButton* CancelButton() const { return cmCancel_; }
    QPushButton* PrintSetupButton() const { return cmPrintSetup_; }
    QStatusBar* StatusBar() const { return statusBar_; }

private:
    void OnViewChosen();
    void OnPrint();
    void OnPrintSetup();
    void Print();
    void Export();
    // The drawing program of the chosen version, or none when it cannot be reached.
    std::shared_ptr<draw::Application> ConnectDrawApp() const;
    void UpdateStatus();
    // The scene's name without its extension, for the names of exported files.
    std::string BaseFileName() const;

    clsScene& scene_;
    bool exportMode_;
    QGroupBox *groupDraw_ = nullptr, *groupAll_ = nullptr, *groupPrint_ = nullptr;
    QComboBox *cbVersion_ = nullptr, *cbPageSize_ = nullptr, *cbView_ = nullptr;
    QCheckBox *cLandscape_ = nullptr, *cShowGrid_ = nullptr, *cFrame_ = nullptr, *cFitToPage_ = nullptr;
    QCheckBox* cReference_ = nullptr;
    // Whether the page shows the reference picture: asked for, and a perspective view printed.
    bool ReferenceWanted() const;
    QPushButton *cmPrint_ = nullptr, *cmCancel_ = nullptr, *cmPrintSetup_ = nullptr;
    PrintPreviewBox* previewImage_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

// Shows the print preview (exportMode false) or the export window (true) for the scene,
// starting on the view type of the document's active view.
// The print set-up dialog on a printer; whether the user confirmed it.
bool ShowPrintSetup(QPrinter& printer, QWidget* parent);
void ShowPrintPreview(QWidget* parent, clsScene& scene, std::int32_t activeViewType, bool exportMode);

} // namespace ov
