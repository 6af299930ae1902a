// File > Export through the real main window: the file type chosen in the file dialog
// decides the bytes written and the name's extension, and the options dialog the page.
#include "MainWindowTestSupport.h"

#include <QDialogButtonBox>
#include <QSpinBox>
#include <csignal>
#include <sys/resource.h>

#include "app/dialogs/frmExportOptions.h"

namespace ov::testing {
namespace {

using functiondialogs::Click;
using functiondialogs::OnNextDialog;
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

class ExportTest : public MainWindowFixture {
protected:
    // Exports the active view to the name typed with the file type chosen, accepting the
    // options (after change, when given) where they are asked for.
    void Export(const std::string& typed, int filter, std::function<void(frmExportOptions&)> change = {}) {
        files.Answers = {TempPath(typed)};
        files.Filters = {filter};
        if (filter != Emf)
            OnNextDialog<frmExportOptions>([change](frmExportOptions& dialog) {
                if (change) change(dialog);
                if (dialog.isVisible()) Click(dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok));
            });
        Choose("mnuFileExport");
        QTest::qWait(50); // the options dialog has been answered
    }
};

TEST_F(ExportTest, TheChosenFileTypeDecidesTheFormatAndTheExtension) {
    const std::string view = document->GetActiveView().GetViewName();
    const struct { const char* typed; int filter; const char* written; } cases[] = {
        {"a.emf", Emf, "a.emf"}, {"b.svg", Svg, "b.svg"}, {"c.pdf", Pdf, "c.pdf"}, {"d.png", Png, "d.png"},
        {"e.svg", Pdf, "e.pdf"}, {"f", Svg, "f.svg"},     {"g.PNG", Emf, "g.emf"}, {"h.v2", Png, "h.v2.png"}};
    for (const auto& c : cases) {
        Export(c.typed, c.filter);
        EXPECT_TRUE(IsFormat(FileBytes(TempPath(c.written)), c.filter)) << c.written;
        if (std::string(c.typed) != c.written) {
            EXPECT_FALSE(QFile::exists(dir.filePath(c.typed))) << c.typed;
        }
    }
    EXPECT_EQ(files.Calls.front().InitialFileName, "Document 1 (" + view + ").emf");
    EXPECT_EQ(files.Calls.front().InitialFilter, Emf);
    // The file type chosen last is offered first, with its extension.
    Choose("mnuFileExport");
    EXPECT_EQ(files.Calls.back().InitialFileName, "Document 1 (" + view + ").png");
    EXPECT_EQ(files.Calls.back().InitialFilter, Png);
    EXPECT_TRUE(prompt.Messages.empty()) << prompt.LastText();
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
