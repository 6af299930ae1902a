// File > Export through the real main window: the file type chosen in the file dialog
// decides the bytes written and the name's extension, and the options dialog the page.
#include "MainWindowTestSupport.h"

#include <QDialogButtonBox>
#include <QSpinBox>
#include <csignal>
#include <sys/resource.h>

#include "app/dialogs/frmExportOptions.h"
#include "app/dialogs/frmPrintPreview.h"
#include "app/dialogs/frmReferencePicture.h"

namespace ov::testing {
namespace {

using functiondialogs::Click;
using functiondialogs::OnNextDialog;
using functiondialogs::Type;
enum Filter { Emf, Svg, Pdf, Png }; // the order of the file types

// Whether bytes are a file of the format of the filter.
bool IsFormat(const QByteArray& bytes, int filter) {
    switch (filter) {
    case Emf: // the header record (type 1) with its signature
        return bytes.startsWith(QByteArray("\x01\0\0\0", 4)) && bytes.mid(40, 4) == " EMF";
    case Svg:
        return bytes.contains("<svg");
    case Pdf:
        return bytes.startsWith("%PDF-");
    default:
        return bytes.startsWith("\x89PNG\r\n\x1a\n");
    }
}

// The pixels that show a red picture through half opacity on white (a few edges of lines
// also come close: a picture shows in thousands).
int Pink(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 240 && c.green() > 100 && c.green() < 150 && c.blue() > 100 && c.blue() < 150;
        }
    return n;
}

class ExportTest : public MainWindowFixture {
protected:
    // Exports the active view to the name typed with the file type chosen, accepting the
    // options (after change, when given) where they are asked for: for the format that the
    // typed extension names, or else the file type's. With asked false the export is expected
    // to end before (declined or cancelled).
    void Export(const std::string& typed, int filter, std::function<void(frmExportOptions&)> change = {},
                bool asked = true) {
        files.Answers = {TempPath(typed)};
        files.Filters = {filter};
        const QString extension = QFileInfo(QString::fromStdString(typed)).suffix().toLower();
        const int named = QStringList{"emf", "svg", "pdf", "png"}.indexOf(extension);
        bool answered = false;
        if ((named >= 0 ? named : filter) != Emf && asked)
            OnNextDialog<frmExportOptions>([change, &answered](frmExportOptions& dialog) {
                if (change) change(dialog);
                if (dialog.isVisible()) Click(dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok));
                answered = true;
            });
        else
            answered = true;
        Choose("mnuFileExport");
        EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; })) << typed;
    }
};

TEST_F(ExportTest, ATypedExtensionOrElseTheFileTypeDecidesTheFormatAndNoUnseenFileIsReplaced) {
    const std::string view = document->GetActiveView().GetViewName();
    // A name with an offered format's extension is written as it stands, in that format, whatever
    // the type list shows; any other name gets the chosen type's extension.
    const struct { const char* typed; int filter; const char* written; int format; } cases[] = {
        {"a.emf", Emf, "a.emf", Emf}, {"b.svg", Svg, "b.svg", Svg}, {"c.pdf", Png, "c.pdf", Pdf},
        {"e.svg", Pdf, "e.svg", Svg}, {"f", Svg, "f.svg", Svg},     {"g.PNG", Emf, "g.PNG", Png},
        {"h.v2", Png, "h.v2.png", Png}, {"i.jpg", Pdf, "i.pdf", Pdf}};
    for (const auto& c : cases) {
        Export(c.typed, c.filter);
        EXPECT_TRUE(IsFormat(FileBytes(TempPath(c.written)), c.format)) << c.written;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("i.jpg")));
    EXPECT_EQ(files.Calls.front().InitialFileName, "Document 1 (" + view + ").emf");
    EXPECT_EQ(files.Calls.front().InitialFilter, Emf);
    // The format written last is offered first, with its extension.
    Choose("mnuFileExport");
    EXPECT_EQ(files.Calls.back().InitialFileName, "Document 1 (" + view + ").pdf");
    EXPECT_EQ(files.Calls.back().InitialFilter, Pdf);
    EXPECT_TRUE(prompt.Messages.empty()) << prompt.LastText();

    // A file the dialog did not name is replaced only when the user says so.
    const QByteArray before = FileBytes(TempPath("h.v2.png"));
    Export("h.v2", Svg); // a new file: nothing to ask
    EXPECT_TRUE(IsFormat(FileBytes(TempPath("h.v2.svg")), Svg));
    prompt.Answers = {PromptAnswer::No};
    Export("h.v2", Png, {}, false);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "'" + TempPath("h.v2.png") + "' already exists. Do you want to replace it?");
    EXPECT_EQ(FileBytes(TempPath("h.v2.png")), before);
}

TEST_F(ExportTest, APngShowsWhatAPageShowsWithoutSelectionNameAxesOrRulers) {
    Scene().ShowAxes = Scene().ShowRulers = false;
    Export("plain.png", Png);
    Choose("mnuEditSelectAll");
    Scene().ShowAxes = Scene().ShowRulers = true;
    Export("selected.png", Png);
    const QImage plain(dir.filePath("plain.png")), selected(dir.filePath("selected.png"));
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(selected, plain);
    int drawn = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) drawn += plain.pixelColor(x, y) == QColor(Qt::blue);
    EXPECT_GT(drawn, 500); // the house is there, in the scene's blue
}

TEST_F(ExportTest, OptionsShapeThePictureAndAreOfferedAgain) {
    Scene().ShowGrid = false;
    Export("small.png", Png, [](frmExportOptions& dialog) {
        EXPECT_FALSE(dialog.findChild<QCheckBox*>("chkGrid")->isChecked()); // as the scene shows it
        dialog.findChild<QCheckBox*>("chkGrid")->setChecked(true); // for the picture only
        dialog.findChild<QSpinBox*>("spnWidth")->setValue(40);
        dialog.findChild<QSpinBox*>("spnHeight")->setValue(30);
    });
    EXPECT_EQ(QImage(dir.filePath("small.png")).size(), QSize(40, 30));
    EXPECT_FALSE(Scene().ShowGrid);
    Export("wide.pdf", Pdf, [](frmExportOptions& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>("cboPaper")->currentText(), "A4");
        dialog.findChild<QComboBox*>("cboPaper")->setCurrentText("A3");
        dialog.findChild<QCheckBox*>("chkLandscape")->setChecked(true);
    });
    EXPECT_TRUE(FileBytes(TempPath("wide.pdf")).contains("/MediaBox [0 0 1191.000000 842.000000]")); // A3 lying, in points
    Export("again.png", Png, [](frmExportOptions& dialog) {
        EXPECT_EQ(dialog.findChild<QSpinBox*>("spnWidth")->value(), 40);
    });
    Export("again.pdf", Pdf, [](frmExportOptions& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>("cboPaper")->currentText(), "A3");
        EXPECT_TRUE(dialog.findChild<QCheckBox*>("chkLandscape")->isChecked());
        dialog.reject(); // nothing is written
    });
    EXPECT_FALSE(QFile::exists(dir.filePath("again.pdf")));
}

TEST_F(ExportTest, AFailedExportLeavesTheExistingFileAlone) {
    // The largest file this process may write is lowered, so writing fails as on a full disk, whatever the rights.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{64, old.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const QByteArray before(4096, 'o');
    const char* const names[] = {"old.emf", "old.svg", "old.pdf", "old.png"};
    for (int filter : {Emf, Svg, Pdf, Png}) {
        const std::string path = TempPath(names[filter]);
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        setrlimit(RLIMIT_FSIZE, &full);
        Export(names[filter], filter);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(FileBytes(path), before) << path;
        EXPECT_EQ(prompt.LastText().rfind("Unable to export to file '" + path + "'", 0), 0u) << prompt.LastText();
    }
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(prompt.Messages.size(), 4u);
}

} // namespace
} // namespace ov::testing

namespace ov::testing {
namespace {

TEST_F(ExportTest, AReferencePictureLiesBehindThePerspectiveViewAndLeavesOnlyWhenAsked) {
    QImage red(60, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("photo.png")));
    QFile(dir.filePath("photo.png")).copy(dir.filePath("not-a-picture.png"));
    QFile(dir.filePath("not-a-picture.png")).resize(20);
    OnNextDialog<frmReferencePicture>([&](frmReferencePicture& dialog) {
        QDialogButtonBox* buttons = dialog.findChild<QDialogButtonBox*>();
        Type(dialog.findChild<QLineEdit*>("txtPath"), dir.filePath("not-a-picture.png"));
        Click(buttons->button(QDialogButtonBox::Ok)); // refused: the dialog stays
        EXPECT_TRUE(dialog.isVisible() && prompt.LastText().rfind("Unable to read the picture", 0) == 0);
        Type(dialog.findChild<QLineEdit*>("txtPath"), dir.filePath("photo.png"));
        Click(buttons->button(QDialogButtonBox::Ok));
    });
    Choose("mnuViewReference");
    EXPECT_TRUE(Scene().Reference.Path == TempPath("photo.png") && Scene().Reference.Opacity == 0.5 &&
                Scene().Modified && Checked("mnuViewReferenceShow"));
    // Only the perspective view shows it, until it is hidden.
    const auto pinkIn = [&](std::int32_t type) {
        for (int i = 0; i < 4; ++i)
            if (document->GetView(i).ViewType == type) {
                document->GetView(i).OnPaint(Scene().GetRootNode(), false, false);
                return Pink(document->GetViewPort(i)->GetCanvas().Image());
            }
        return -1;
    };
    EXPECT_GT(pinkIn(clsView::Perspective), 1000);
    EXPECT_LT(pinkIn(clsView::Top), 50);
    Choose("mnuViewReferenceShow");
    EXPECT_LT(pinkIn(clsView::Perspective), 50);
    Choose("mnuViewReferenceShow");

    // The export options offer it for a perspective PNG or PDF; a PNG shows it only when ticked.
    for (int i = 0; i < 4; ++i) // a click in a view that is not active only activates it
        if (document->GetView(i).ViewType == clsView::Perspective) {
            ViewPort* port = document->GetViewPort(i);
            QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(port->width() - 4, port->height() - 4));
        }
    ASSERT_EQ(document->GetView(document->GetActiveIndex()).ViewType, clsView::Perspective);
    for (const bool ticked : {false, true})
        Export(ticked ? "with.png" : "without.png", Png, [ticked](frmExportOptions& dialog) {
            dialog.findChild<QCheckBox*>("chkReference")->setChecked(ticked);
        });
    EXPECT_TRUE(Pink(QImage(dir.filePath("without.png"))) < 50 && Pink(QImage(dir.filePath("with.png"))) > 1000);
    Export("lines.svg", Svg, [](frmExportOptions& dialog) { EXPECT_EQ(dialog.findChild<QCheckBox*>("chkReference"), nullptr); });
    // The print preview has the same choice.
    frmPrintPreview preview(Scene(), clsView::Perspective, false, main.get());
    preview.Preview()->resize(300, 300);
    int shown[2];
    for (const bool ticked : {false, true}) {
        preview.ReferenceBox()->setChecked(ticked);
        shown[ticked] = Pink(preview.Preview()->GetCanvas().Image());
    }
    EXPECT_TRUE(!preview.ReferenceBox()->isHidden() && shown[0] < 50 && shown[1] > 1000) << shown[0] << " " << shown[1];

    // A project whose picture can no longer be read says so when it opens.
    ASSERT_TRUE(Scene().SaveScene(TempPath("photo.ovp")));
    ASSERT_TRUE(QFile::copy(dir.filePath("photo.ovp"), dir.filePath("again.ovp")));
    QFile(dir.filePath("photo.png")).resize(20);
    ASSERT_NE(main->OpenProject(TempPath("again.ovp")), nullptr);
    EXPECT_EQ(prompt.LastText().rfind("The reference picture '" + TempPath("photo.png") + "' cannot be shown: ", 0), 0u)
        << prompt.LastText();
}

} // namespace
} // namespace ov::testing
