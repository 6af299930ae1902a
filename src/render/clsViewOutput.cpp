// Output of a view to a printer page, an enhanced metafile and the drawing program, and the
// preview pictures of the page. All of them paint the scene once, plainly (no selection
// colour, no handles), after a layout step that decides which rectangle of the view plane
// lands on the printable area of the paper.

#include "paint/clsView.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPageLayout>
#include <QPagedPaintDevice>

#include "io/TextFile.h"
#include "platform/DrawApp.h"
#include "platform/MetafileDC.h"
#include "platform/Prompt.h"
#include "style/clsColor.h"
#include "style/clsOutline.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"

namespace ov {

namespace {

double Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

constexpr double MetresPerInch = 0.0254;

// The metafile's square measures 500 pixels of libEMF's reference device (1024 pixels on
// 320 mm), the size a metafile recorded on a screen-like device without explicit bounds
// takes on.
constexpr double MetafileFrameMM = MetafileDC::DeviceUnits * 320.0 / 1024.0;

// A black solid 0.25-pt line: the frame around the view volume and the sheet outline.
clsOutline ThinBlackOutline() {
    clsOutline outline;
    outline.SetParams(0.25, 0);
    return outline;
}

// The preview's picture minus a 2-pixel border, so that the outlines at the paper's edge
// stay visible. Like the screen rectangle, Bottom holds the upper pixel row.
clsRect PreviewDeviceRect(const Canvas& canvas) {
    clsRect r;
    r.SetValues(canvas.ScaleLeft + 2, canvas.ScaleTop + 2, canvas.ScaleLeft + canvas.ScaleWidth() - 2,
                canvas.ScaleTop + canvas.ScaleHeight() - 2);
    return r;
}

void FillRect(clsPaintDC& target, const clsRect& r, const clsColor& fill, const clsOutline& outline) {
    target.DrawFilledRectangle(r.Left, r.Bottom, r.Right, r.Top, &fill, &outline);
}

// A temporary file beside path that a finished metafile replaces path with, so that a
// failed export never damages an existing file. Empty when it cannot be created.
std::string MakeTempBeside(const std::string& path) {
    if (path.empty()) return {};
    // Named as the saves name theirs, so that one left by a crash is removed by later saves.
    const std::size_t slash = path.rfind('/');
    std::string temp = path.substr(0, slash == std::string::npos ? 0 : slash + 1) + TemporaryFilePrefix(path) + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    ::close(fd);
    return temp;
}

} // namespace

void clsView::CalcPageLayout(double pw, double ph, double aw, double ah, double ox, double oy, clsRect& paperRect,
                             clsRect& sheetRect, clsRect& printRect, bool fit) const {
    if (pw == 0 || ph == 0 || aw == 0 || ah == 0) {
        paperRect.CopyAssign(ViewVolume);
        sheetRect.CopyAssign(ViewVolume);
        printRect.CopyAssign(ViewVolume);
        return;
    }
    const double w = ViewVolume.GetWidth(), h = ViewVolume.GetHeight();
    const double cx = ViewVolume.GetCenterX(), cy = ViewVolume.GetCenterY();
    const double mb = ph - oy - ah; // margin below the printable area
    double kx, ky;                  // document units per metre of paper, signed
    if (fit || ViewType != Perspective) {
        // The view volume fills the printable area in its limiting direction.
        if (std::fabs(h * aw) < std::fabs(w * ah)) {
            kx = w / aw;
            ky = std::fabs(kx) * Sign(h);
        } else {
            ky = h / ah;
            kx = std::fabs(ky) * Sign(w);
        }
    } else {
        kx = Sign(w);
        ky = Sign(h);
    }
    // The sheet is placed so that the centre of the printable area is the view volume's.
    const double x0 = cx - (aw / 2 + ox) * kx;
    const double y0 = cy - (ah / 2 + mb) * ky;
    sheetRect.SetValues(x0, y0, x0 + kx * pw, y0 + ky * ph);
    if (fit || ViewType != Perspective) {
        paperRect.CopyAssign(sheetRect);
    } else {
        // At true size a view volume larger than the paper would push the paper off the
        // preview; the preview then centres on the view volume instead.
        const double ax = std::fabs(w) <= pw ? (aw / 2 + ox) * kx : w / 2;
        const double ay = std::fabs(h) <= ph ? (ah / 2 + mb) * ky : h / 2;
        paperRect.SetValues(cx - ax, cy - ay, cx - ax + kx * pw, cy - ay + ky * ph);
    }
    printRect.SetValues(x0 + kx * ox, y0 + ky * mb, x0 + kx * (aw + ox), y0 + ky * (ah + mb));
}

void clsView::CalcPrinterLayout(QPagedPaintDevice& device, bool fit, clsRect& paperRect, clsRect& sheetRect,
                                clsRect& printRect) const {
    const int dpiX = device.logicalDpiX(), dpiY = device.logicalDpiY();
    double px = dpiX / MetresPerInch, py = dpiY / MetresPerInch; // pixels per metre
    if (px == 0) px = py;
    if (py == 0) py = px;
    if (px == 0) px = py = 1;
    // The paper and its printable area in device pixels, as the device reports them.
    const QPageLayout layout = device.pageLayout();
    const QRect fullX = layout.fullRectPixels(dpiX), fullY = layout.fullRectPixels(dpiY);
    const QRect paintX = layout.paintRectPixels(dpiX), paintY = layout.paintRectPixels(dpiY);
    const double pw = fullX.width() / px, ph = fullY.height() / py;
    const double ox = (paintX.left() - fullX.left()) / px, oy = (paintY.top() - fullY.top()) / py;
    const double aw = paintX.width() / px, ah = paintY.height() / py;
    CalcPageLayout(pw, ph, aw, ah, ox, oy, paperRect, sheetRect, printRect, fit);
}

void clsView::CalcSheetLayout(double width, double height, bool fit, clsRect& paperRect, clsRect& sheetRect,
                              clsRect& printRect) const {
    CalcPageLayout(width, height, width, height, 0, 0, paperRect, sheetRect, printRect, fit);
}

void clsView::PaintForOutput(clsPaintDC& target, clsNode* root, bool frame, bool grid) {
    // Metafiles and the drawing program never carry the picture: they are for line work.
    paintReference_ = ReferenceInOutput && (target.GetDeviceType() == clsPaintDC::PictureBox ||
                                            target.GetDeviceType() == clsPaintDC::Printer);
    PaintScene(target, root, false, false, grid);
    paintReference_ = false;
    if (frame) {
        // Around the whole view volume, whatever part of it the view is zoomed to.
        const clsOutline outline = ThinBlackOutline();
        target.DrawRectangle(ViewVolume.Left, ViewVolume.Bottom, ViewVolume.Right, ViewVolume.Top, &outline);
    }
}

void clsView::OnPrint(QPagedPaintDevice& device, clsNode* root, bool fit, bool frame, bool grid) {
    clsRect paperRect, sheetRect, printRect;
    CalcPrinterLayout(device, fit, paperRect, sheetRect, printRect);
    clsPaintDC target;
    target.AttachToPrinter(device, printRect);
    target.BeginDraw();
    PaintForOutput(target, root, frame, grid);
    target.EndDraw();
}

void clsView::OnPaintPicture(clsNode* root, bool grid) {
    if (!canvas_ || !scene_) return;
    clsPaintDC target;
    target.AttachToPictureBox(*canvas_, ViewRect, GetScreenRect());
    target.BeginDraw();
    PaintForOutput(target, root, false, grid);
    target.EndDraw();
}

bool clsView::OnExportToMetafile(const std::string& path, clsNode* root) {
    clsRect paperRect, sheetRect, printRect;
    CalcPageLayout(500, 500, 500, 500, 0, 0, paperRect, sheetRect, printRect, true);

    const std::string temp = MakeTempBeside(path);
    if (temp.empty()) return false;
    std::string error;
    std::unique_ptr<MetafileDC> metafile = MetafileDC::Create(temp, MetafileFrameMM, MetafileFrameMM, error);
    if (!metafile) {
        std::remove(temp.c_str());
        return false;
    }
    clsPaintDC target;
    target.AttachToMetafile(*metafile, printRect);
    target.BeginDraw();
    PaintForOutput(target, root, true, true);
    target.EndDraw();
    const bool written = metafile->Close(error);
    metafile.reset();
    // A picture the user stopped is not worth a file.
    if (!written || PaintStopped() || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

void clsView::OnExport(const std::shared_ptr<draw::Application>& application, clsNode* root, bool fit, bool frame,
                       bool grid, double width, double height) {
    // The drawing program measures its page in inches.
    const double pw = width * 1000 / 25.4, ph = height * 1000 / 25.4;
    clsRect paperRect, sheetRect, printRect;
    CalcSheetLayout(width, height, fit, paperRect, sheetRect, printRect);
    clsRect pageRect;
    pageRect.SetValues(0, 0, pw, ph);
    // Whatever fails in the program stops the export; what it drew so far stays in its
    // document.
    try {
        if (!application) throw std::invalid_argument("No drawing program");
        application->SetVisible(true);
        const std::shared_ptr<draw::Document> document = application->CreateDocument();
        if (!document) throw std::runtime_error("The drawing program created no document");
        const std::shared_ptr<draw::Page> page = document->ActivePage();
        if (!page) throw std::runtime_error("The new document has no page");
        page->SetSize(pw, ph);

        clsPaintDC target;
        target.AttachToDraw(application, printRect, pageRect);
        target.BeginDraw();
        PaintForOutput(target, root, frame, grid);
        target.EndDraw();
    } catch (const std::bad_alloc&) {
        ShowMessage("Not enough memory to export the view.", PromptIcon::Critical);
    } catch (const std::exception& e) {
        ShowMessage(std::string("Unexpected error occured: ") + e.what(), PromptIcon::Critical);
    } catch (...) {
        ShowMessage("Unexpected error occured: Unknown error", PromptIcon::Critical);
    }
}

void clsView::OnPrintPreview(QPagedPaintDevice& device, clsNode* root, bool fit, bool frame, bool grid) {
    if (!canvas_) return;
    clsRect paperRect, sheetRect, printRect;
    CalcPrinterLayout(device, fit, paperRect, sheetRect, printRect);
    clsPaintDC target;
    target.AttachToPictureBox(*canvas_, paperRect, PreviewDeviceRect(*canvas_));
    target.BeginDraw();
    clsOutline outline = ThinBlackOutline();
    FillRect(target, sheetRect, clsColor(240, 240, 240), outline);
    outline.Color.SetRGBColor(0, 0, 255);
    outline.Style = clsOutline::StyleDotted;
    FillRect(target, printRect, clsColor(240, 255, 255), outline);
    PaintForOutput(target, root, frame, grid);
    target.EndDraw();
}

void clsView::OnExportPreview(clsNode* root, bool fit, bool frame, bool grid, double width, double height) {
    if (!canvas_) return;
    clsRect paperRect, sheetRect, printRect;
    CalcSheetLayout(width, height, fit, paperRect, sheetRect, printRect);
    clsPaintDC target;
    target.AttachToPictureBox(*canvas_, paperRect, PreviewDeviceRect(*canvas_));
    target.BeginDraw();
    clsOutline outline = ThinBlackOutline();
    outline.Color.SetRGBColor(255, 0, 0);
    FillRect(target, sheetRect, clsColor(240, 255, 255), outline);
    PaintForOutput(target, root, frame, grid);
    target.EndDraw();
}

} // namespace ov
