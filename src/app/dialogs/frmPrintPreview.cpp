#include "app/dialogs/frmPrintPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/clsScene.h"
#include "paint/clsView.h"

namespace ov {

namespace {

struct PageSize {
    const char* Text;
    double Width, Height; // metres, portrait
};

constexpr PageSize kPageSizes[frmPrintPreview::PageSizeCount] = {
    {"A0", 0.841, 1.189}, {"A1", 0.594, 0.841}, {"A2", 0.42, 0.594},     {"A3", 0.297, 0.42},    {"A4", 0.21, 0.297},
    {"A5", 0.148, 0.21},  {"A6", 0.105, 0.148}, {"Letter", 0.216, 0.279}, {"Legal", 0.216, 0.356},
};

// The versions of the drawing program, with the automation class each would be created
// from; the SVG file needs none.
struct Version {
    const char* Text;
    const char* ClassId;
};

constexpr Version kVersions[frmPrintPreview::VersionCount] = {
    {"CorelDRAW 10", "CorelDRAW.Application.10"},   {"CorelDRAW 11", "CorelDRAW.Application.11"},
    {"CorelDRAW 12", "CorelDRAW.Application.12"},   {"Designer 10", "CorelDESIGNER.Application.10"},
    {"Designer 10.5", "CorelDESIGNERPro.Application.10"}, {"SVG Document", ""},
};

constexpr int kDockWidth = 230;

} // namespace

PrintPreviewBox::PrintPreviewBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 240);
}

bool PrintPreviewBox::RenderNow() {
    if (width() <= 4 || height() <= 4) return false;
    if (canvas_.Image().width() != width() || canvas_.Image().height() != height()) canvas_.Resize(width(), height());
    canvas_.SetPixelsPerInchY(logicalDpiY());
    if (Render) Render();
    return true;
}

void PrintPreviewBox::paintEvent(QPaintEvent*) {
    // The picture only changes with the window's controls, which redraw it themselves; a
    // paint for any other reason (exposure, a new size) draws it only when the size changed.
    if (canvas_.Image().width() != width() || canvas_.Image().height() != height()) RenderNow();
    QPainter painter(this);
    if (canvas_.Image().isNull()) painter.fillRect(rect(), Qt::white);
    else painter.drawImage(0, 0, canvas_.Image());
}

QPrinter& frmPrintPreview::Printer() {
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution); // lives as long as the program
    return *printer;
}

frmPrintPreview::frmPrintPreview(clsScene& scene, std::int32_t activeViewType, bool exportMode, QWidget* parent)
    : QDialog(parent), scene_(scene), exportMode_(exportMode) {
    setObjectName("frmPrintPreview");
    setWindowTitle(exportMode ? "Export to CorelDRAW" : "Print Preview");
    setSizeGripEnabled(true);

    // The drawing program and its page (export only).
    groupDraw_ = new QGroupBox("Drawing Program", this);
    groupDraw_->setObjectName("GroupDraw");
    cbVersion_ = new QComboBox(groupDraw_);
    cbVersion_->setObjectName("cbVersion");
    for (const Version& v : kVersions) cbVersion_->addItem(v.Text);
    cbPageSize_ = new QComboBox(groupDraw_);
    cbPageSize_->setObjectName("cbPageSize");
    for (const PageSize& p : kPageSizes) cbPageSize_->addItem(p.Text);
    cLandscape_ = new QCheckBox("&Landscape", groupDraw_);
    cLandscape_->setObjectName("cLandscape");
    auto* drawLayout = new QFormLayout(groupDraw_);
    drawLayout->addRow("&Version:", cbVersion_);
    drawLayout->addRow("P&age:", cbPageSize_);
    drawLayout->addRow(cLandscape_);

    // The printer (print preview only).
    groupPrint_ = new QGroupBox("Printer", this);
    groupPrint_->setObjectName("GroupPrint");
    cmPrintSetup_ = new QPushButton("Print &Setup...", groupPrint_);
    cmPrintSetup_->setObjectName("cmPrintSetup");
    auto* printLayout = new QVBoxLayout(groupPrint_);
    printLayout->addWidget(cmPrintSetup_);

    // What is output, for both.
    groupAll_ = new QGroupBox("Output", this);
    groupAll_->setObjectName("GroupAll");
    cShowGrid_ = new QCheckBox("Show &Grid", groupAll_);
    cShowGrid_->setObjectName("cShowGrid");
    cFrame_ = new QCheckBox("Add &Frame", groupAll_);
    cFrame_->setObjectName("cFrame");
    cbView_ = new QComboBox(groupAll_);
    cbView_->setObjectName("cbView");
    for (std::int32_t v = clsView::Left; v <= clsView::Perspective; ++v)
        cbView_->addItem(QString::fromStdString(clsView::ViewName(v)));
    cFitToPage_ = new QCheckBox("Fit View &To Page", groupAll_);
    cFitToPage_->setObjectName("cFitToPage");
    // A printed page may show the photograph the drawing was made over; an SVG drawing never.
    cReference_ = new QCheckBox("Include reference picture", groupAll_);
    cReference_->setObjectName("cReference");
    cReference_->setVisible(!exportMode && scene.Reference.IsSet());
    cmPrint_ = new QPushButton(exportMode ? "&Export" : "&Print", groupAll_);
    cmPrint_->setObjectName("cmPrint");
    cmPrint_->setDefault(true);
    cmCancel_ = new QPushButton("Cancel", groupAll_);
    cmCancel_->setObjectName("cmCancel");
    auto* allLayout = new QFormLayout(groupAll_);
    allLayout->addRow(cShowGrid_);
    allLayout->addRow(cFrame_);
    allLayout->addRow("Vie&w:", cbView_);
    allLayout->addRow(cFitToPage_);
    allLayout->addRow(cReference_);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmPrint_);
    commands->addWidget(cmCancel_);
    allLayout->addRow(commands);

    auto* dock = new QVBoxLayout;
    if (exportMode) {
        dock->addWidget(groupDraw_);
        groupPrint_->hide();
    } else {
        dock->addWidget(groupPrint_);
        groupDraw_->hide();
    }
    dock->addWidget(groupAll_);
    dock->addStretch(1);
    auto* dockArea = new QWidget(this);
    dockArea->setObjectName("DockArea");
    dockArea->setLayout(dock);
    dockArea->setFixedWidth(kDockWidth);
    dock->setContentsMargins(0, 0, 0, 0);

    previewImage_ = new PrintPreviewBox(this);
    previewImage_->setObjectName("PreviewImage");
    previewImage_->Render = [this] {
        clsView view;
        const int viewType = cbView_->currentIndex() >= 0 ? cbView_->currentIndex() : clsView::Perspective;
        view.SetView(viewType, &previewImage_->GetCanvas(), &scene_);
        view.ReferenceInOutput = ReferenceWanted();
        const bool fit = cFitToPage_->isChecked(), frame = cFrame_->isChecked(), grid = cShowGrid_->isChecked();
        if (exportMode_) {
            double width = 0, height = 0;
            GetPageSize(width, height);
            view.OnExportPreview(scene_.GetRootNode(), fit, frame, grid, width, height);
        } else {
            view.OnPrintPreview(Printer(), scene_.GetRootNode(), fit, frame, grid);
        }
    };

    auto* body = new QHBoxLayout;
    body->addWidget(dockArea);
    body->addWidget(previewImage_, 1);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar");
    statusBar_->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(statusBar_);
    layout->setContentsMargins(9, 9, 9, 0);

    // Load.
    if (exportMode) {
        cbVersion_->setCurrentIndex(SvgDocument);
        cbPageSize_->setCurrentIndex(A4);
    }
    cbView_->setCurrentIndex(activeViewType >= clsView::Left && activeViewType <= clsView::Perspective
                                 ? activeViewType
                                 : clsView::Perspective);
    cShowGrid_->setChecked(scene.ShowGrid);
    OnViewChosen();

    connect(cbView_, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmPrintPreview::OnViewChosen);
    connect(cbPageSize_, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmPrintPreview::UpdatePreview);
    for (QCheckBox* box : {cLandscape_, cFitToPage_, cFrame_, cShowGrid_, cReference_})
        connect(box, &QCheckBox::toggled, this, &frmPrintPreview::UpdatePreview);
    connect(cmPrintSetup_, &QPushButton::clicked, this, &frmPrintPreview::OnPrintSetup);
    connect(cmPrint_, &QPushButton::clicked, this, &frmPrintPreview::OnPrint);
    connect(cmCancel_, &QPushButton::clicked, this, &QDialog::reject);

    resize(920, 640);
}

void frmPrintPreview::GetPageSize(double& width, double& height) const {
    const int index = cbPageSize_->currentIndex();
    const PageSize& page = kPageSizes[index >= 0 && index < PageSizeCount ? index : A4];
    width = page.Width;
    height = page.Height;
    if (cLandscape_->isChecked()) std::swap(width, height);
}

void frmPrintPreview::OnViewChosen() {
    // Orthographic views always fill the page; only the perspective view may be printed
    // at one document unit per metre of paper.
    const bool perspective = cbView_->currentIndex() == clsView::Perspective;
    {
        const QSignalBlocker block(cFitToPage_); // one redraw, below
        if (!perspective) cFitToPage_->setChecked(true);
    }
    cFitToPage_->setEnabled(perspective);
    cReference_->setEnabled(perspective);
    UpdatePreview();
}

bool frmPrintPreview::ReferenceWanted() const {
    return !exportMode_ && scene_.Reference.IsSet() && cReference_->isEnabled() && cReference_->isChecked();
}

void frmPrintPreview::UpdatePreview() {
    previewImage_->RenderNow();
    previewImage_->update();
    UpdateStatus();
}

void frmPrintPreview::UpdateStatus() {
    double width = 0, height = 0;
    if (exportMode_) {
        GetPageSize(width, height);
        statusBar_->showMessage(QString("Page: %1 x %2 mm").arg(std::round(width * 1000)).arg(std::round(height * 1000)));
        return;
    }
    QPrinter& printer = Printer();
    const QString name = printer.outputFormat() == QPrinter::PdfFormat ? QString("PDF file") : printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    statusBar_->showMessage(QString("Printer: %1, %2 %3")
                                .arg(name, layout.pageSize().name(),
                                     layout.orientation() == QPageLayout::Landscape ? "landscape" : "portrait"));
}

std::string frmPrintPreview::BaseFileName() const {
    QString name = QString::fromStdString(scene_.Name);
    if (name.endsWith(".ovp", Qt::CaseInsensitive)) name.chop(4);
    return name.isEmpty() ? std::string("Document") : name.toStdString();
}

bool& frmPrintPreview::PrinterChosen() {
    static bool chosen = false;
    return chosen;
}

bool ShowPrintSetup(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("Print Setup");
    // Only the printer, its paper and orientation matter: a view is always one page.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // Setting up prints nothing yet: its confirming button says so.
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText("OK");
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed) frmPrintPreview::PrinterChosen() = true;
    return confirmed;
}

void frmPrintPreview::OnPrintSetup() {
    ShowPrintSetup(Printer(), this);
    UpdatePreview();
}

void frmPrintPreview::OnPrint() {
    if (exportMode_) Export();
    else Print();
}

std::shared_ptr<draw::Application> frmPrintPreview::ConnectDrawApp() const {
    // The listed versions are reached only through their automation servers, which this
    // platform does not have.
    if (cbVersion_->currentIndex() == SvgDocument) return std::make_shared<SvgDrawApp>();
    return nullptr;
}

void frmPrintPreview::Export() {
    std::string path;
    if (cbVersion_->currentIndex() == SvgDocument) {
        path = ShowFileDialog("Export to SVG Document", "svg", BaseFileName() + ".svg", "SVG Documents (*.svg)|*.svg",
                              false);
        if (path.empty()) return;
    }
    const std::shared_ptr<draw::Application> application = ConnectDrawApp();
    if (!application) {
        ShowMessage("Unable to connect to the specified application\rMake sure the application is installed",
                    PromptIcon::Critical);
        return;
    }
    double width = 0, height = 0;
    GetPageSize(width, height);
    {
        clsView view;
        view.SetView(cbView_->currentIndex(), nullptr, &scene_);
        view.OnExport(application, scene_.GetRootNode(), cFitToPage_->isChecked(), cFrame_->isChecked(),
                      cShowGrid_->isChecked(), width, height);
    }
    if (auto* svg = dynamic_cast<SvgDrawApp*>(application.get())) {
        std::string error;
        if (!svg->Save(path, error)) {
            ShowMessage("Unable to export to file '" + path + "':\r" + error, PromptIcon::Critical);
            return;
        }
    }
    ShowMessage("Export Complete", PromptIcon::Information);
}

void frmPrintPreview::Print() {
    QPrinter& printer = Printer();
    // Without a printer the page goes to a PDF file, named for this print.
    std::string path;
    const bool askForFile = printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
    if (askForFile) {
        path = ShowFileDialog("Print to File", "pdf", BaseFileName() + ".pdf", "PDF Files (*.pdf)|*.pdf", false);
        if (path.empty()) return;
        printer.setOutputFileName(QString::fromStdString(path));
    } else if (printer.outputFormat() == QPrinter::PdfFormat) {
        path = printer.outputFileName().toStdString();
    }
    const QDateTime started = QDateTime::currentDateTime().addSecs(-2);
    {
        clsView view;
        view.SetView(cbView_->currentIndex(), nullptr, &scene_);
        view.ReferenceInOutput = ReferenceWanted();
        view.OnPrint(printer, scene_.GetRootNode(), cFitToPage_->isChecked(), cFrame_->isChecked(),
                     cShowGrid_->isChecked());
    }
    if (askForFile) {
        // Back to a file named for each print. Clearing the name would switch the printer to
        // the system's default printer, which it was not set to.
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::PdfFormat);
    }
    if (!path.empty()) {
        const QFileInfo written(QString::fromStdString(path));
        if (!written.exists() || written.size() == 0 || written.lastModified() < started) {
            ShowMessage("Unable to print to file '" + path + "'", PromptIcon::Critical);
            return;
        }
    }
    ShowMessage("Printing Complete", PromptIcon::Information);
}

void ShowPrintPreview(QWidget* parent, clsScene& scene, std::int32_t activeViewType, bool exportMode) {
    frmPrintPreview window(scene, activeViewType, exportMode, parent);
    window.exec();
}

} // namespace ov
