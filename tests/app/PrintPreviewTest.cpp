// The print preview and export window on a real scene: the fit rule of the view list, the
// page choices, the live preview, printing to a PDF file and exporting to an SVG file or to
// a drawing program this platform cannot reach.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/frmPrintPreview.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "paint/clsView.h"

namespace ov {
namespace {

// Answers file dialogs from a script ("" cancels) and records what was asked.
class ScriptedFiles : public IFileDialog {
public:
    struct Call {
        std::string Title, DefaultExtension, InitialFileName, Filter;
        bool Open;
    };
    std::vector<Call> Calls;
    std::deque<std::string> Answers;

    std::string Show(const std::string& title, const std::string& defaultExtension, const std::string& initialFileName,
                     const std::string& filter, bool open) override {
        Calls.push_back({title, defaultExtension, initialFileName, filter, open});
        if (Answers.empty()) return "";
        std::string answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

class PrintPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFileDialog(&files);
        App().ActiveScene = &scene;
        // Whatever printers the machine has, these tests print to a PDF file.
        QPrinter& printer = frmPrintPreview::Printer();
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override {
        window.reset();
        SetFileDialog(nullptr);
        App().ActiveScene = nullptr;
    }

    void Open(std::int32_t viewType, bool exportMode) {
        window = std::make_unique<frmPrintPreview>(scene, viewType, exportMode);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void Choose(QComboBox* list, int index) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex(), index);
    }
    void Tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2)); }
    QImage Picture() { return window->Preview()->GetCanvas().Image().copy(); }
    std::string TempPath(const char* name) { return folder.filePath(name).toStdString(); }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    ScriptedFiles files;
    QTemporaryDir folder;
    std::unique_ptr<frmPrintPreview> window;
};

TEST_F(PrintPreviewTest, OrthographicViewsAlwaysFitThePage) {
    Open(clsView::Top, false);
    EXPECT_EQ(window->windowTitle(), "Print Preview");
    EXPECT_EQ(window->ViewList()->currentIndex(), clsView::Top);
    EXPECT_TRUE(window->FitToPageBox()->isChecked());
    EXPECT_FALSE(window->FitToPageBox()->isEnabled());

    Choose(window->ViewList(), clsView::Perspective);
    EXPECT_TRUE(window->FitToPageBox()->isEnabled());
    const QImage fitted = Picture();
    // At one document unit per metre of paper the page shows something else.
    Tick(window->FitToPageBox());
    EXPECT_FALSE(window->FitToPageBox()->isChecked());
    const QImage trueSize = Picture();
    EXPECT_NE(fitted, trueSize);

    Choose(window->ViewList(), clsView::Front);
    EXPECT_TRUE(window->FitToPageBox()->isChecked());
    EXPECT_FALSE(window->FitToPageBox()->isEnabled());
    Choose(window->ViewList(), clsView::Perspective);
    EXPECT_EQ(Picture(), fitted);
}

TEST_F(PrintPreviewTest, PrintModeShowsThePrinterGroupAndTheSceneGridSwitch) {
    scene.ShowGrid = false;
    Open(clsView::Perspective, false);
    EXPECT_TRUE(window->findChild<QGroupBox*>("GroupPrint")->isVisible());
    EXPECT_FALSE(window->findChild<QGroupBox*>("GroupDraw")->isVisible());
    EXPECT_EQ(window->PrintButton()->text(), "&Print");
    EXPECT_FALSE(window->ShowGridBox()->isChecked());
    // The perspective view keeps the fit switch as it was.
    EXPECT_TRUE(window->FitToPageBox()->isEnabled());

    // The frame and the grid show in the preview.
    const QImage plain = Picture();
    Tick(window->FrameBox());
    const QImage framed = Picture();
    EXPECT_NE(plain, framed);
    Tick(window->ShowGridBox());
    EXPECT_NE(Picture(), framed);

    // A landscape printer page changes the preview.
    frmPrintPreview::Printer().setPageOrientation(QPageLayout::Landscape);
    window->UpdatePreview();
    EXPECT_NE(Picture(), plain);
}

TEST_F(PrintPreviewTest, ExportModeStartsOnTheSvgDocumentAndAnA4Page) {
    Open(clsView::Left, true);
    EXPECT_EQ(window->windowTitle(), "Export to CorelDRAW");
    EXPECT_EQ(window->PrintButton()->text(), "&Export");
    EXPECT_TRUE(window->findChild<QGroupBox*>("GroupDraw")->isVisible());
    EXPECT_FALSE(window->findChild<QGroupBox*>("GroupPrint")->isVisible());
    EXPECT_EQ(window->VersionList()->count(), frmPrintPreview::VersionCount);
    EXPECT_EQ(window->VersionList()->currentText(), "SVG Document");
    EXPECT_EQ(window->VersionList()->itemText(1), "CorelDRAW 11");
    EXPECT_EQ(window->PageSizeList()->currentText(), "A4");

    double width = 0, height = 0;
    window->GetPageSize(width, height);
    EXPECT_DOUBLE_EQ(width, 0.21);
    EXPECT_DOUBLE_EQ(height, 0.297);
    const QImage portrait = Picture();
    Tick(window->LandscapeBox());
    window->GetPageSize(width, height);
    EXPECT_DOUBLE_EQ(width, 0.297);
    EXPECT_DOUBLE_EQ(height, 0.21);
    EXPECT_NE(Picture(), portrait);

    Choose(window->PageSizeList(), 8);
    window->GetPageSize(width, height);
    EXPECT_DOUBLE_EQ(width, 0.356); // Legal, landscape
    EXPECT_DOUBLE_EQ(height, 0.216);
}

TEST_F(PrintPreviewTest, ExportingToAnSvgDocumentWritesTheFileNamedInTheFileDialog) {
    Open(clsView::Top, true);
    // Cancelling the file dialog exports nothing and says nothing.
    QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_FALSE(files.Calls[0].Open);
    EXPECT_EQ(files.Calls[0].DefaultExtension, "svg");
    EXPECT_EQ(files.Calls[0].InitialFileName, "Document.svg");
    EXPECT_TRUE(prompt.Messages.empty());

    const std::string path = TempPath("house.svg");
    files.Answers.push_back(path);
    Tick(window->FrameBox());
    QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "Export Complete");
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Information);
    EXPECT_TRUE(window->isVisible()); // the window stays open

    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    // An A4 page in inches, and the scene's groups by name.
    const QRegularExpressionMatch page = QRegularExpression("width=\"([0-9.]+)in\" height=\"([0-9.]+)in\"").match(svg);
    ASSERT_TRUE(page.hasMatch());
    EXPECT_NEAR(page.captured(1).toDouble(), 0.21 / 0.0254, 1e-6);
    EXPECT_NEAR(page.captured(2).toDouble(), 0.297 / 0.0254, 1e-6);
    EXPECT_TRUE(svg.contains("id=\"House\""));
    EXPECT_TRUE(svg.contains("id=\"Grid\""));
}

TEST_F(PrintPreviewTest, AnSvgFileThatCannotBeWrittenIsReported) {
    Open(clsView::Top, true);
    files.Answers.push_back(TempPath("missing/folder/house.svg"));
    QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText().rfind("Unable to export to file '", 0), 0u);
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
}

TEST_F(PrintPreviewTest, TheListedDrawingProgramsCannotBeReachedOnThisPlatform) {
    Open(clsView::Perspective, true);
    for (int version = 0; version < frmPrintPreview::SvgDocument; ++version) {
        prompt.Messages.clear();
        Choose(window->VersionList(), version);
        QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.LastText(), "Unable to connect to the specified application\rMake sure the application is installed");
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_TRUE(files.Calls.empty());
}

TEST_F(PrintPreviewTest, PrintingWithoutAPrinterWritesAPdfFileEachTimeAskedFor) {
    scene.SetName("house.ovp");
    Open(clsView::Front, false);
    const std::string path = TempPath("house.pdf");
    files.Answers.push_back(path);
    QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].InitialFileName, "house.pdf");
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "Printing Complete");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));

    // The next print asks again; cancelling it prints nothing.
    QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
    EXPECT_EQ(files.Calls.size(), 2u);
    EXPECT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(frmPrintPreview::Printer().outputFormat(), QPrinter::PdfFormat);
}

TEST_F(PrintPreviewTest, CancelClosesTheWindow) {
    Open(clsView::Top, false);
    QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prompt.Messages.empty());
}

} // namespace
} // namespace ov
