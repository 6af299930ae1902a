#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <csignal>
#include <cstring>
#include <sstream>
#include <sys/resource.h>

#include "cli/CliCommands.h"
#include "cli/CliViewArg.h"
#include "scene/clsScene.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::RunMain(args, out, err);
    return {status, out.str(), err.str()};
}

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

// Lowers the largest file this process may write, so that writing fails as on a full disk,
// whatever the user's rights.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

// The root element's page size and the groups of an SVG file.
struct SvgInfo {
    bool valid = false;
    QString width, height;
    QStringList groupIds, groupLabels;
};

SvgInfo ReadSvg(const QByteArray& bytes) {
    SvgInfo info;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("svg")) {
            info.width = xml.attributes().value("width").toString();
            info.height = xml.attributes().value("height").toString();
        } else if (xml.name() == QLatin1String("g")) {
            info.groupIds << xml.attributes().value("id").toString();
            info.groupLabels << xml.attributes().value("http://www.inkscape.org/namespaces/inkscape", "label").toString();
        }
    }
    info.valid = !xml.hasError() && !info.width.isEmpty();
    return info;
}

// The page size of a one-page PDF in points.
QSizeF MediaBox(const QByteArray& pdf) {
    const int at = pdf.indexOf("/MediaBox [");
    if (at < 0) return {};
    const QList<QByteArray> numbers = pdf.mid(at + 11, pdf.indexOf(']', at) - at - 11).simplified().split(' ');
    if (numbers.size() != 4) return {};
    return {numbers[2].toDouble() - numbers[0].toDouble(), numbers[3].toDouble() - numbers[1].toDouble()};
}

double Inches(const QString& length) {
    EXPECT_TRUE(length.endsWith("in")) << length.toStdString();
    return length.chopped(2).toDouble();
}

class CliRender : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        house = Path("house.ovp");
        ASSERT_EQ(Cli({"new", house}).status, 0);
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    Result Render(const std::string& view, const std::string& out, std::vector<std::string> more = {}) {
        std::vector<std::string> args{"render", house, "--view", view, "--out", out};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }
    QTemporaryDir dir;
    std::string house;
};

} // namespace

TEST(CliViewArg, NamesInAnyCaseAndCodes) {
    std::int32_t type = -1;
    EXPECT_TRUE(cli::ParseViewArg("perspective", type));
    EXPECT_EQ(type, clsView::Perspective);
    EXPECT_TRUE(cli::ParseViewArg("bOTTOM", type));
    EXPECT_EQ(type, clsView::Bottom);
    EXPECT_TRUE(cli::ParseViewArg("0", type));
    EXPECT_EQ(type, clsView::Left);
    EXPECT_TRUE(cli::ParseViewArg("5", type));
    EXPECT_EQ(type, clsView::Back);
    for (const char* bad : {"", "7", "-1", "06", "1.0", " Top", "Top ", "Persp", "Perspectives"}) {
        type = 42;
        EXPECT_FALSE(cli::ParseViewArg(bad, type)) << bad;
        EXPECT_EQ(type, 42) << bad;
    }
}

TEST_F(CliRender, RefusesBadArgumentsWithoutWriting) {
    const std::string out = Path("out.png");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"render"}, "no project file given"},
        {{"render", house, "--out", out}, "no view given"},
        {{"render", house, "--view", "Top"}, "no output file given"},
        {{"render", house, "--view", "Top", "--out", out, "--zoom"}, "unknown option '--zoom'"},
        {{"render", house, "--view", "Top", "--out"}, "option --out needs a value"},
        {{"render", house, house, "--view", "Top", "--out", out}, "unexpected argument"},
        {{"render", house, "--view", "Sideways", "--out", out}, "unknown view 'Sideways'"},
        {{"render", house, "--view", "Top", "--out", Path("out.jpg")}, "unknown output format"},
        {{"render", house, "--view", "Top", "--out", Path("out.pdf"), "--page", "A7"}, "unknown page size 'A7'"},
        {{"render", house, "--view", "Top", "--out", out, "--size", "0x10"}, "invalid size '0x10'"},
        {{"render", house, "--view", "Top", "--out", out, "--size", "99999x10"}, "invalid size"},
        {{"render", house, "--view", "Top", "--out", Path("out.pdf"), "--size", "10x10"}, "--size does not apply"},
        {{"render", house, "--view", "Top", "--out", out, "--page", "A3"}, "--page does not apply"},
        {{"render", house, "--view", "Top", "--out", Path("out.emf"), "--no-grid"}, "--no-grid does not apply"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"house.ovp"});

    // A project that cannot be loaded gives the program's message.
    const Result missing = Cli({"render", Path("missing.ovp"), "--view", "Top", "--out", out});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.ovp"), std::string::npos) << missing.err;
    EXPECT_FALSE(Exists(out));
}

TEST_F(CliRender, PdfIsAPageOfTheChosenSize) {
    const std::string a4 = Path("house.pdf"), letter = Path("letter.PDF");
    ASSERT_EQ(Render("perspective", a4, {"--frame", "--fit"}).status, 0);
    const QByteArray pdf = ReadAll(a4);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/MediaBox"), 1);
    EXPECT_NEAR(MediaBox(pdf).width(), 210 / 25.4 * 72, 1);
    EXPECT_NEAR(MediaBox(pdf).height(), 297 / 25.4 * 72, 1);
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));

    const Result r = Render("Front", letter, {"--page", "letter", "--landscape"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(MediaBox(ReadAll(letter)), QSizeF(11 * 72, 8.5 * 72));
}

TEST_F(CliRender, SvgHasThePageInInchesAndNamedGroups) {
    const std::string portrait = Path("top.svg"), landscape = Path("wide.svg");
    const Result r = Render("top", portrait);
    ASSERT_EQ(r.status, 0) << r.err;
    const SvgInfo svg = ReadSvg(ReadAll(portrait));
    ASSERT_TRUE(svg.valid);
    EXPECT_NEAR(Inches(svg.width), 210 / 25.4, 1e-6); // written to six decimals
    EXPECT_NEAR(Inches(svg.height), 297 / 25.4, 1e-6);
    for (const char* name : {"Grid", "House"}) {
        EXPECT_TRUE(svg.groupIds.contains(name)) << name << ": " << svg.groupIds.join(' ').toStdString();
        EXPECT_TRUE(svg.groupLabels.contains(name)) << name;
    }

    ASSERT_EQ(Render("6", landscape, {"--page", "A3", "--landscape", "--no-grid"}).status, 0);
    const SvgInfo wide = ReadSvg(ReadAll(landscape));
    ASSERT_TRUE(wide.valid);
    EXPECT_NEAR(Inches(wide.width), 420 / 25.4, 1e-6);
    EXPECT_NEAR(Inches(wide.height), 297 / 25.4, 1e-6);
    EXPECT_FALSE(wide.groupIds.contains("Grid"));
}

TEST_F(CliRender, EmfIsAnEnhancedMetafile) {
    const std::string path = Path("left.emf");
    const Result r = Render("Left", path);
    ASSERT_EQ(r.status, 0) << r.err;
    const QByteArray emf = ReadAll(path);
    ASSERT_GT(emf.size(), 88);
    EXPECT_EQ(emf.mid(0, 4), QByteArray("\x01\x00\x00\x00", 4)); // the header record, type 1
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));                // its signature
}

TEST_F(CliRender, PngShowsTheHouseWhereTheViewPutsIt) {
    for (const char* name : {"Perspective", "Top", "Front"}) {
        const std::string path = Path("view.png");
        const Result r = Render(name, path, {"--size", "640x480"});
        ASSERT_EQ(r.status, 0) << r.err;
        const QImage image(QString::fromStdString(path));
        ASSERT_EQ(image.size(), QSize(640, 480)) << name;

        // Where the house's corners land in the same view port.
        clsScene scene;
        ASSERT_TRUE(scene.LoadScene(house, false));
        Canvas canvas(640, 480);
        clsView view;
        std::int32_t type;
        ASSERT_TRUE(cli::ParseViewArg(name, type));
        view.SetView(type, &canvas, &scene);
        QRect box;
        for (double x : {0.0, 8.0})
            for (double y : {0.0, 10.0})
                for (double z : {0.0, 7.0}) {
                    double px, py;
                    if (view.ConvertPointToScreen({x, y, z}, px, py)) box |= QRect(int(px), int(py), 1, 1);
                }
        ASSERT_FALSE(box.isEmpty()) << name;
        int lines = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != qRgb(0, 0, 255)) continue;
                if (box.adjusted(-2, -2, 2, 2).contains(x, y)) ++lines;
                else ++outside;
            }
        EXPECT_GT(lines, 100) << name;
        // Elsewhere only the short blue arm of the axes and the eye-point marker.
        EXPECT_GT(lines, 2 * outside) << name;
    }

    // The default size, and the grid switched off.
    const std::string plain = Path("plain.png"), gridded = Path("grid.png");
    ASSERT_EQ(Render("Top", gridded).status, 0);
    ASSERT_EQ(Render("Top", plain, {"--no-grid"}).status, 0);
    const QImage withGrid(QString::fromStdString(gridded)), withoutGrid(QString::fromStdString(plain));
    EXPECT_EQ(withGrid.size(), QSize(1200, 900));
    auto grey = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == qRgb(192, 192, 192);
        return n;
    };
    EXPECT_GT(grey(withGrid), 100);
    EXPECT_EQ(grey(withoutGrid), 0);
}

TEST_F(CliRender, FailedWritesLeaveTheExistingFileAlone) {
    for (const char* name : {"old.png", "old.svg", "old.pdf", "old.emf"}) {
        const std::string path = Path(name);
        const QByteArray old(4096, 'o');
        {
            QFile file(QString::fromStdString(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        Result r;
        {
            const FileSizeLimit full(64);
            r = Render("Perspective", path);
        }
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find("Unable to export to file '" + path + "'"), std::string::npos) << r.err;
        EXPECT_EQ(ReadAll(path), old) << name;

        // Refused before anything is written.
        EXPECT_EQ(Render("Nowhere", path).status, 2);
        EXPECT_EQ(ReadAll(path), old) << name;
    }
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(left, (QStringList{"house.ovp", "old.emf", "old.pdf", "old.png", "old.svg"}));

    // A folder that does not exist.
    const Result r = Render("Top", "/nonexistent/folder/x.png");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Unable to export to file '/nonexistent/folder/x.png'"), std::string::npos) << r.err;
}
