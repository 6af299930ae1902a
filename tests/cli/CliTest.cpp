#include <gtest/gtest.h>

#include <regex>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

#include "cli/CliCommands.h"
#include "cli/CliViewArg.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"
#include "scene/clsScene.h"

using namespace ov;

namespace {

struct Result { int status; std::string out, err; };

Result Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::RunMain(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The numbers of each line of a command's output.
std::vector<std::vector<double>> Table(const std::string& text) {
    std::vector<std::vector<double>> table;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream numbers(line);
        table.emplace_back(std::istream_iterator<double>(numbers), std::istream_iterator<double>());
    }
    return table;
}

// The default camera by its definition: the eye at (20, 20, 10) looking at the origin, z up, the picture
// plane 0.5 in front of the eye; U right, V up, W back towards the viewer.
std::vector<double> Project(const std::vector<double>& p) { // x1 y1 z1 x2 y2 z2 -> u1 v1 u2 v2
    const double r = std::sqrt(0.5), eye[3] = {20, 20, 10}, axes[3][3] = {
        {-r, r, 0}, {-r / 3, -r / 3, 4 * r / 3}, {2 / 3., 2 / 3., 1 / 3.}};
    std::vector<double> uv;
    for (int e = 0; e < 6; e += 3) {
        double c[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k) c[k] += (p[e + i] - eye[i]) * axes[k][i];
        uv.insert(uv.end(), {-0.5 * c[0] / c[2], -0.5 * c[1] / c[2]});
    }
    return uv;
}

class OrthovaneCli : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(Cli({"new", house}).status, 0);
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string Write(const char* name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
        return Path(name);
    }
    Result Render(const std::string& view, const std::string& out, std::vector<std::string> more = {}) const {
        std::vector<std::string> args{"render", house, "--view", view, "--out", out};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }
    QTemporaryDir dir;
    std::string house = Path("house.ovp");
};

} // namespace

TEST_F(OrthovaneCli, ExitStatusesOutputsAndMessages) {
    const std::string out = Path("out.png"), bad = Write("bad.fnl", "not a list\n");
    const std::string cut = Write("cut.ovp", Read(house).substr(0, Read(house).size() / 2));
    const std::string junk = Write("junk.ovp", std::string("\0\xff{{{\r\n", 7));
    using Args = std::vector<std::string>;
    auto render = [&](Args more) {
        return more.insert(more.begin(), {"render", house, "--view", "Top", "--out"}), more;
    };
    auto seg = [&](Args more) { return more.insert(more.begin(), "segments"), more; };
    auto load = [](const std::string& path) { return "Unable to load the project '" + path + "':"; };
    const struct { Args args; int status; std::string out; } done[] = {
        {{"eval", "2+3*4", "1/2", "1E15*1", "1/100000", "0-1/8", "100"}, 0, "14\n0.5\n1E+15\n1E-05\n-0.125\n100\n"},
        {{"eval", "--", "-1"}, 0, "-1\n"},
        {{"eval", "--name", "Curve", "1/0", "sqrt(4)"}, 1, "error: Division By Zero in 'Curve'\n2\n"},
        {{"eval", "IF(0,1E400,3)", "MAX(1E400,FOO)"}, 1, "3\nerror: Function 'FOO' not defined\n"},
    };
    for (const auto& c : done) {
        const Result r = Cli(c.args);
        EXPECT_TRUE(r.status == c.status && r.out == c.out && r.err.empty()) << c.args.back() << ": " << r.out;
    }
    // Help on the output with status 0, also after other options; a value that looks like -h is a value.
    for (const Args& args : {Args{"info", "--help"}, Args{"render", house, "-h"}, Args{"eval", "--max-seconds", "3", "--help"}}) {
        const Result r = Cli(args);
        EXPECT_TRUE(r.status == 0 && r.out.rfind("usage: orthovane-cli " + args[0], 0) == 0 && r.err.empty()) << args[0];
    }
    EXPECT_TRUE(std::regex_match(Cli({"--version"}).out, std::regex("orthovane-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")));
    const std::string segUsage = "usage: orthovane-cli segments";
    const std::pair<Args, std::string> refused[] = { // exit status 2, nothing on the output, the reason on errors
        {{}, "usage: orthovane-cli COMMAND"}, {{"eval"}, "usage: orthovane-cli eval"},
        {{"eval", "--name"}, "--name needs a value"}, {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"eval", "--name", "2bad", "1"}, "Invalid function name '2bad'"},
        {{"eval", "--functions", "/nonexistent/x.fnl", "1"}, "Unable to open file '/nonexistent/x.fnl'\n"},
        {{"eval", "--functions", bad, "1"}, "Invalid function list file\n"},
        {{"info", "/nonexistent/p.ovp"}, load("/nonexistent/p.ovp")}, {seg({house}), segUsage},
        {{"info", house, "--bogus"}, "unknown option '--bogus' for 'info'\nusage: orthovane-cli info"},
        {{"resave", house, "--x", out}, "unknown option '--x' for 'resave'"},
        {{"eval", "--name", "-h", "1"}, "Invalid function name '-h'"},
        {seg({house, "--view"}), segUsage}, {seg({"--view", "Top"}), segUsage},
        {seg({house, "--view", "Top", "--view", "Left"}), segUsage}, {seg({house, house, "--view", "T"}), segUsage},
        {seg({house, "--view", "Topp"}), "unknown view 'Topp' (use Left, Top, Right"},
        {seg({"/nonexistent/house.ovp", "--view", "Top"}), load("/nonexistent/house.ovp")},
        {seg({cut, "--view", "Top"}), load(cut)}, {seg({junk, "--view", "Top"}), load(junk)},
        {{"render"}, "no project file given"}, {{"render", house, "--out", out}, "no view given"},
        {{"render", house, "--view", "Top"}, "no output file given"},
        {render({out, "--zoom"}), "unknown option '--zoom'"}, {render({}), "option --out needs a value"},
        {{"render", house, house, "--view", "Top", "--out", out}, "unexpected argument"},
        {{"render", house, "--view", "Sideways", "--out", out}, "unknown view 'Sideways'"},
        {render({Path("out.jpg")}), "unknown output format"},
        {render({Path("out.pdf"), "--page", "A7"}), "unknown page size 'A7'"},
        {render({out, "--size", "0x10"}), "invalid size '0x10'"},
        {render({out, "--size", "99999x10"}), "invalid size"},
        {render({Path("out.pdf"), "--size", "10x10"}), "--size does not apply"},
        {render({out, "--page", "A3"}), "--page does not apply"},
        {render({Path("out.emf"), "--no-grid"}), "--no-grid does not apply"},
        {render({Path("out.svg"), "--reference"}), "--reference does not apply to line-work"},
        {{"render", Path("missing.ovp"), "--view", "Top", "--out", out}, load(Path("missing.ovp"))},
        {render({"/nonexistent/folder/x.png"}), "Unable to export to file '/nonexistent/folder/x.png'"},
    };
    for (const auto& [args, err] : refused) {
        const Result r = Cli(args);
        const std::string name = args.empty() ? "" : args[0] + " " + args.back();
        EXPECT_TRUE(r.status == 2 && r.out.empty()) << name;
        EXPECT_NE(r.err.find(err), std::string::npos) << name << ": " << r.err;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"bad.fnl", "cut.ovp", "house.ovp", "junk.ovp"}));
}

TEST_F(OrthovaneCli, ProjectsResavedAndDescribedAndFunctionsSearchedProjectFirst) {
    const std::string a = Write("a.fnl", "\xEF\xBB\xBF--FNL 1.0--\r\n1\r\nSq;1;X;X*X;\r\n"); // a byte-order mark is read over
    const std::string b = Write("b.fnl", "--FNL 1.0--\r\n2\r\nSq;1;X;0;\r\nCube;1;X;X*Sq(X);\r\n");
    EXPECT_EQ(Cli({"eval", "--functions", a, "--functions", b, "sq(3)", "cube(2)"}).out, "9\n8\n");
    const std::string p = Write("f.ovp", "\xEF\xBB\xBFName = A\xff\x01\"B\r\nViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}"
                                         "\r\nViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\n"
                                         "FncCount = 1\r\nFnc1 = Sq;1;X;X*X+1;\r\n");
    EXPECT_EQ(Cli({"eval", "--functions", a, "--project", p, "sq(3)"}).out, "10\n");
    // A stray byte becomes U+FFFD and a control character an escape: the JSON stays valid.
    const Result named = Cli({"info", p, "--json"});
    EXPECT_NE(named.out.find("\"name\": \"A\xEF\xBF\xBD\\u0001\\\"B\","), std::string::npos) << named.out;
    EXPECT_TRUE(Cli({"resave", house, Path("b.ovp")}).status == 0 && Read(house) == Read(Path("b.ovp")));
    const std::string info = Cli({"info", house}).out;
    EXPECT_NE(info.find("Nodes: root 1, line 47, group 10, ellipse 0, curve 0, function 0"), std::string::npos);
    EXPECT_NE(info.find("Bounding box: (0, 0, 0) - (8, 10, 7)"), std::string::npos);
    const std::string json = Cli({"info", house, "--json"}).out;
    EXPECT_NE(json.find("\"bbox\": {\"min\": [0, 0, 0], \"max\": [8, 10, 7]}"), std::string::npos);
    // An ellipse of radius 1E300 stretched by 1E300 along x reaches past the largest double.
    const std::string big = Write("big.ovp", std::string("Name = Big\r\nTree = {\r\nNodeType = 0\r\nChildCount = 1\r\n") +
        "Child1 = {\r\nNodeType = 3\r\nEllipse = {\r\nMatrix = {\r\nRefPoint = {\r\nx = 0\r\ny = 0\r\nz = 0\r\n}\r\n"
        "d11 = 1E300\r\nd12 = 0\r\nd13 = 0\r\nd21 = 0\r\nd22 = 1\r\nd23 = 0\r\nd31 = 0\r\nd32 = 0\r\nd33 = 1\r\n}\r\n"
        "RadiusX = 1E300\r\nRadiusY = 1\r\nStartAngle = 0\r\nEndAngle = 0\r\nFlatness = 10\r\n}\r\n}\r\n}\r\n"
        "ViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\nViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\n");
    EXPECT_NE(Cli({"info", big}).out.find("Bounding box: unbounded\n"), std::string::npos) << Cli({"info", big}).err;
    EXPECT_NE(Cli({"info", big, "--json"}).out.find("\"bbox\": \"unbounded\","), std::string::npos);
}

TEST(CliViewArg, RefusesAnythingButNamesAndCodes) {
    for (const char* bad : {"", "7", "-1", "06", "1.0", " Top", "Top ", "Persp", "Perspectives"}) {
        std::int32_t type = 42;
        EXPECT_FALSE(cli::ParseViewArg(bad, type) || type != 42) << bad;
    }
}

TEST_F(OrthovaneCli, SegmentsOfTheModelHouseInEveryView) {
    auto segments = [&](std::vector<std::string> args) { return Table(Cli(args).out); };
    // The house in 3D from the top (x y) and front (x z) views; the others show two axes, never negated.
    const auto top = segments({"segments", "--view", "1", house}), front = segments({"segments", house, "--view", "5"});
    ASSERT_TRUE(top.size() == 47 && front.size() == 47) << top.size() << " " << front.size();
    EXPECT_EQ(Cli({"segments", house, "--view", "Top"}).out.substr(0, 8), "0 0 8 0\n");
    for (const auto& [view, u, v] : {std::tuple{"Left", 1, 2}, {"top", 0, 1}, {"RIGHT", 1, 2}, {"3", 0, 1},
                                     {"Front", 0, 2}, {"perspective", -1, -1}}) {
        const auto got = segments({"segments", house, "--view", view});
        ASSERT_EQ(got.size(), 47u) << view;
        for (std::size_t i = 0; i < 47; ++i) {
            const std::vector<double> p{top[i][0], top[i][1], front[i][1], top[i][2], top[i][3], front[i][3]};
            EXPECT_TRUE(top[i][0] == front[i][0] && top[i][2] == front[i][2]) << i;
            for (int k = 0; k < 6; ++k) EXPECT_TRUE(p[k] >= 0 && p[k] <= (k % 3 == 0 ? 8 : k % 3 == 1 ? 10 : 7)) << i;
            const auto want = u < 0 ? Project(p) : std::vector<double>{p[u], p[v], p[3 + u], p[3 + v]};
            ASSERT_EQ(got[i].size(), 4u) << view;
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[i][k], want[k], 1e-13) << view << " " << i;
        }
    }
}

TEST(CliSegments, HiddenObjectsAndLinesBehindTheEyeAreLeftOut) {
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    while (tm.Root->FirstChild()) tm.Root->FirstChild()->Delete();
    tm.AddNode(tm.CreateLineNode(30, 30, 15, 40, 40, 20, "Behind")); // wholly behind the eye
    tm.AddNode(tm.CreateLineNode(1, 2, 3, 4, 5, 6, "Hidden"))->Hidden = true;
    const std::string path = testing::TempDir() + "/segments-objects.ovp";
    ASSERT_TRUE(scene.SaveScene(path));
    EXPECT_EQ(Cli({"segments", path, "--view", "Perspective"}).out, "");
    EXPECT_EQ(Cli({"segments", path, "--view", "Top"}).out, "30 30 40 40\n");
}

TEST_F(OrthovaneCli, RenderWritesPdfSvgAndEmfPages) {
    const struct { std::string view, file; std::vector<std::string> more, has; } cases[] = {
        {"perspective", "a4.pdf", {"--frame", "--fit"}, {"/MediaBox [0 0 595.000000 842.000000]"}},
        {"Front", "letter.PDF", {"--page", "letter", "--landscape"}, {"/MediaBox [0 0 792.000000 612.000000]"}},
        {"top", "top.svg", {}, {"\"8.267717in\" height=\"11.692913in\"", "<g id=\"Grid\" inkscape:label=\"Grid\">",
                                "<g id=\"House\" inkscape:label=\"House\">"}},
        {"6", "wide.svg", {"--page", "A3", "--landscape", "--no-grid"}, {"\"16.535433in\" height=\"11.692913in\""}},
        {"Left", "left.emf", {}, {" EMF"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(c.view, Path(c.file.c_str()), c.more).status, 0) << c.file;
        const std::string bytes = Read(Path(c.file.c_str()));
        for (const auto& text : c.has) EXPECT_NE(bytes.find(text), std::string::npos) << c.file << ": " << text;
        EXPECT_EQ(bytes.find("/MediaBox", bytes.find("/MediaBox") + 1), std::string::npos) << c.file; // one page
        QXmlStreamReader xml(QByteArray::fromStdString(bytes));
        while (c.file.back() == 'g' && !xml.atEnd()) xml.readNext();
        EXPECT_FALSE(xml.hasError()) << c.file;
    }
    const std::string pdf = Read(Path("a4.pdf"));
    EXPECT_TRUE(pdf.rfind("%PDF-", 0) == 0 && pdf.find("%%EOF", pdf.size() - 8) != std::string::npos);
    EXPECT_EQ(Read(Path("wide.svg")).find("id=\"Grid\""), std::string::npos);
}

TEST_F(OrthovaneCli, RenderedPngShowsTheHouseWhereTheViewPutsIt) {
    clsScene scene;
    ASSERT_TRUE(scene.LoadScene(house, false));
    const struct { const char* name; int type; std::vector<std::string> more; QSize size; bool grid; } cases[] = {
        {"Perspective", clsView::Perspective, {"--size", "640x480"}, {640, 480}, true},
        {"Top", clsView::Top, {}, {1200, 900}, true}, {"Front", clsView::Front, {"--no-grid"}, {1200, 900}, false}};
    for (const auto& [name, type, more, size, grid] : cases) {
        ASSERT_EQ(Render(name, Path("view.png"), more).status, 0);
        const QImage image(QString::fromStdString(Path("view.png")));
        ASSERT_EQ(image.size(), size) << name;
        Canvas canvas(image.width(), image.height());
        clsView view;
        view.SetView(type, &canvas, &scene);
        QRect box; // where the house's corners land in the same view port
        for (int i = 0; i < 8; ++i) {
            double x, y;
            if (view.ConvertPointToScreen({i & 1 ? 8. : 0., i & 2 ? 10. : 0., i & 4 ? 7. : 0.}, x, y))
                box |= QRect(int(x), int(y), 1, 1);
        }
        int lines = 0, out = 0, grey = 0; // elsewhere only the short blue arm of the axes and the eye-point marker
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                grey += image.pixel(x, y) == qRgb(192, 192, 192);
                if (image.pixel(x, y) == qRgb(0, 0, 255)) ++(box.adjusted(-2, -2, 2, 2).contains(x, y) ? lines : out);
            }
        EXPECT_GT(lines, std::max(100, 2 * out)) << name;
        EXPECT_EQ(grey > 100, grid) << name; // the grid, unless switched off
    }
}

TEST_F(OrthovaneCli, FailedRenderLeavesTheExistingFileAlone) {
    // The largest file this process may write is lowered, so writing fails as on a full disk, whatever the rights.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{64, old.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const std::string before(4096, 'o');
    for (const char* name : {"old.png", "old.svg", "old.pdf", "old.emf"}) {
        const std::string path = Write(name, before);
        setrlimit(RLIMIT_FSIZE, &full);
        const Result r = Render("Perspective", path);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_TRUE(r.status == 2 && Read(path) == before) << name;
        EXPECT_NE(r.err.find("Unable to export to file '" + path + "'"), std::string::npos) << r.err;
    }
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).join(' '), "house.ovp old.emf old.pdf old.png old.svg");
}

TEST_F(OrthovaneCli, DamagedProjectsNameTheirDamageAndRecoverReadsWhatComesBeforeIt) {
    const std::string text = Read(house), brace = "\r\n}\r\nPerspective = {";
    const std::string damaged = Write("damaged.ovp", text.substr(0, text.find(brace)) + text.substr(text.find(brace) + 3));
    const std::string png = Write("png.ovp", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), out = Path("out.ovp");
    const std::string damage = "line 1,098: '}' expected to close the record 'Tree' begun at line 2";
    const std::string failed = "Unable to load the project '" + damaged + "': " + damage + "\n--recover uses what could be read\n";
    const std::string warned = "warning: the project '" + damaged + "' is damaged: " + damage + "; using what could be read\n";
    using Args = std::vector<std::string>;
    const struct { Args args; int status; std::string err; } cases[] = {
        {{"info", damaged}, 2, failed},
        {{"info", "--recover", damaged}, 0, warned},
        {{"segments", damaged, "--view", "Top", "--recover"}, 0, warned},
        {{"render", damaged, "--view", "Top", "--out", Path("out.svg"), "--recover"}, 0, warned},
        {{"resave", damaged, out, "--recover"}, 0, warned},
        {{"info", png, "--recover"}, 2, "Unable to load the project '" + png + "': the file is a PNG picture, not text\n"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(std::pair(r.status, r.err), std::pair(c.status, c.err)) << c.args[0];
    }
    EXPECT_EQ(Read(out), text); // the new project's settings stand in for those after the damage: the same
    EXPECT_NE(Cli({"info", damaged, "--recover"}).out.find("Nodes: root 1, line 47, group 10"), std::string::npos);
    EXPECT_NE(Cli({"resave", "--help"}).out.find("[--recover]"), std::string::npos);
}
