// The print preview and export window on a real scene: the fit rule of the view list, the page
// choices, the live preview, printing to a PDF file and exporting to an SVG file or to a
// drawing program this platform cannot reach.
#include "FunctionDialogTestSupport.h"

#include <QGroupBox>
#include <QPrinter>

#include "app/dialogs/frmPrintPreview.h"
#include "paint/clsView.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

class PrintPreviewTest : public SceneDialogTest {
protected:
    void SetUp() override {
        // Whatever printers the machine has, these tests print to a PDF file.
        QPrinter& printer = frmPrintPreview::Printer();
        printer.setOutputFileName(QString()), printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4)), printer.setPageOrientation(QPageLayout::Portrait);
    }
    void OpenWindow(std::int32_t viewType, bool exportMode) {
        OpenNew(window, scene, viewType, exportMode);
        EXPECT_TRUE(Shows("GroupDraw") == exportMode && Shows("GroupPrint") != exportMode);
    }
    void ChooseRow(QComboBox* list, int index) { Choose(list, list->itemText(index)); }
    QImage Picture() { return window->Preview()->GetCanvas().Image().copy(); }
    // Presses Print or Export: the message it gave, "" for none.
    std::string Print() {
        prompt.Messages.clear();
        Click(window->PrintButton());
        return prompt.Messages.empty() ? "" : prompt.LastText();
    }
    std::pair<double, double> Page() {
        std::pair<double, double> size;
        window->GetPageSize(size.first, size.second);
        return size;
    }
    bool Shows(const char* group) { return window->findChild<QGroupBox*>(group)->isVisible(); }

    std::unique_ptr<frmPrintPreview> window;
};

TEST_F(PrintPreviewTest, OrthographicViewsFitThePageTheChoicesRedrawAndPrintingWritesAPdfFileEachTime) {
    scene.ShowGrid = false;
    scene.SetName("house.ovp");
    OpenWindow(clsView::Top, false);
    EXPECT_FALSE(window->ShowGridBox()->isChecked() || window->FitToPageBox()->isEnabled());
    ChooseRow(window->ViewList(), clsView::Perspective);
    EXPECT_TRUE(window->FitToPageBox()->isEnabled());
    const QImage fitted = Picture();
    ClickOption(window->FitToPageBox()); // at one document unit per metre of paper
    EXPECT_NE(Picture(), fitted);
    ChooseRow(window->ViewList(), clsView::Front);
    EXPECT_FALSE(window->FitToPageBox()->isEnabled() || !window->FitToPageBox()->isChecked());
    const QImage front = Picture();
    ClickOption(window->FrameBox());
    const QImage framed = Picture();
    EXPECT_NE(framed, front);
    ClickOption(window->ShowGridBox());
    EXPECT_NE(Picture(), framed);

    // Without a printer every print asks for a PDF file of its own; cancelling prints nothing.
    const std::string path = folder.filePath("house.pdf").toStdString();
    files.Answers = {path};
    EXPECT_EQ(Print(), "Printing Complete");
    EXPECT_EQ(files.Calls.at(0).InitialFileName, "house.pdf");
    EXPECT_TRUE(FileBytes(path).startsWith("%PDF"));
    EXPECT_EQ(Print(), "");
    EXPECT_EQ(files.Calls.size(), 2u);
    Click(window->CancelButton());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PrintPreviewTest, ExportModeStartsOnTheSvgDocumentAndAnA4PageAndWritesTheNamedFile) {
    OpenWindow(clsView::Left, true);
    EXPECT_EQ(Page(), std::pair(0.21, 0.297));
    ClickOption(window->LandscapeBox());
    EXPECT_EQ(Page(), std::pair(0.297, 0.21));
    ChooseRow(window->PageSizeList(), 8);
    EXPECT_EQ(Page(), std::pair(0.356, 0.216)); // Legal, landscape

    EXPECT_EQ(Print(), ""); // the file dialog cancelled: nothing exported, nothing said
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].DefaultExtension + " " + files.Calls[0].InitialFileName, "svg Document.svg");
    files.Answers = {folder.filePath("missing/folder/house.svg").toStdString()};
    EXPECT_EQ(Print().rfind("Unable to export to file '", 0), 0u);
    const std::string path = folder.filePath("house.svg").toStdString();
    files.Answers = {path};
    EXPECT_EQ(Print(), "Export Complete");
    EXPECT_TRUE(window->isVisible());
    const QByteArray svg = FileBytes(path);
    // The chosen page in inches (0.356 m by 0.216 m), and the scene's groups by name.
    EXPECT_TRUE(svg.contains("width=\"14.015748in\" height=\"8.503937in\""));
    EXPECT_TRUE(svg.contains("id=\"House\"") && svg.contains("id=\"Grid\""));

    // The listed drawing programs are reached only through automation this platform lacks.
    for (int version = 0; version < frmPrintPreview::SvgDocument; ++version) {
        ChooseRow(window->VersionList(), version);
        EXPECT_EQ(Print(), "Unable to connect to the specified application\rMake sure the application is installed");
    }
    EXPECT_EQ(files.Calls.size(), 3u);
}

} // namespace
} // namespace ov::testing
