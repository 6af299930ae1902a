#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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
#include "shapes/clsEllipse.h"

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

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> values;
    std::istringstream in(line);
    for (double v; in >> v;) values.push_back(v);
    return values;
}

// The model house of a new project as polylines, in tree order, the numbers as the program prints them.
std::vector<std::vector<std::string>> House() {
    const char* text = "0 0 0;8 0 0;8 10 0;0 10 0;0 0 0,0 0 0;0 0 3;4 0 6;8 0 3;8 0 0,8 10 0;8 10 3;4 10 6;0 10 3;0 10 0,"
                       "0 0 3;0 10 3,8 0 3;8 10 3,4 10 6;4 0 6,8 1.5 1;8 1.5 2.5;8 3 2.5;8 3 1;8 1.5 1,"
                       "8 7 1;8 7 2.5;8 8.5 2.5;8 8.5 1;8 7 1,8 4.4 0;8 4.4 2.5;8 5.6 2.5;8 5.6 0;8 4.4 0,"
                       "1 10 1;1 10 2.5;3 10 2.5;3 10 1;1 10 1,5 10 1;5 10 2.5;7 10 2.5;7 10 1;5 10 1,"
                       "5 7 7;6 7 7;6 7 4.5;5 7 5.25;5 7 7,5 8 7;6 8 7;6 8 4.5;5 8 5.25;5 8 7,5 7 7;5 8 7,"
                       "6 7 7;6 8 7,6 7 4.5;6 8 4.5,5 7 5.25;5 8 5.25";
    std::vector<std::vector<std::string>> house; // x1 y1 z1 x2 y2 z2
    std::istringstream in(text);
    for (std::string polyline, point; std::getline(in, polyline, ',');) {
        std::istringstream points(polyline);
        for (std::vector<std::string> last; std::getline(points, point, ';');) {
            std::istringstream xyz(point);
            std::vector<std::string> p(3);
            xyz >> p[0] >> p[1] >> p[2];
            if (!last.empty()) house.push_back({last[0], last[1], last[2], p[0], p[1], p[2]});
            last = p;
        }
    }
    return house;
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

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << what << " [" << i << "]";
}

// Lowers the largest file this process may write, so that writing fails as on a full disk, whatever the rights.
struct FileSizeLimit {
    rlimit old{};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, previous); }
};

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
    const std::vector<std::string> top{"render", house, "--view", "Top", "--out"};
    auto render = [&](std::vector<std::string> more) { return more.insert(more.begin(), top.begin(), top.end()), more; };
    auto load = [](const std::string& path) { return "Unable to load the project '" + path + "':"; };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"eval", "2+3*4", "1/2", "1E15*1", "1/100000", "0-1/8", "100"}, 0, "14\n0.5\n1E+15\n1E-05\n-0.125\n100\n", ""},
        {{"eval", "--", "-1"}, 0, "-1\n", ""},
        {{"eval", "--name", "Curve", "1/0", "sqrt(4)"}, 1, "error: Division By Zero in 'Curve'\n2\n", ""},
        {{}, 2, "", "usage: orthovane-cli COMMAND"},
        {{"eval"}, 2, "", ""},
        {{"eval", "--name"}, 2, "", "--name needs a value"},
        {{"eval", "--name", "2bad", "1"}, 2, "", "Invalid function name '2bad'"},
        {{"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
        {{"eval", "--functions", "/nonexistent/x.fnl", "1"}, 2, "", "Unable to open file '/nonexistent/x.fnl'\n"},
        {{"eval", "--functions", bad, "1"}, 2, "", "Invalid function list file\n"},
        {{"info", "/nonexistent/p.ovp"}, 2, "", load("/nonexistent/p.ovp")},
        {{"segments", house}, 2, "", ""},
        {{"segments", house, "--view"}, 2, "", ""},
        {{"segments", "--view", "Top"}, 2, "", ""},
        {{"segments", house, "--view", "Top", "--view", "Left"}, 2, "", ""},
        {{"segments", house, house, "--view", "Top"}, 2, "", ""},
        {{"segments", house, "--view", "Topp"}, 2, "", "unknown view 'Topp' (use Left, Top, Right"},
        {{"segments", "/nonexistent/house.ovp", "--view", "Top"}, 2, "", load("/nonexistent/house.ovp")},
        {{"segments", cut, "--view", "Top"}, 2, "", load(cut)},
        {{"segments", junk, "--view", "Top"}, 2, "", load(junk)},
        {{"render"}, 2, "", "no project file given"},
        {{"render", house, "--out", out}, 2, "", "no view given"},
        {{"render", house, "--view", "Top"}, 2, "", "no output file given"},
        {render({out, "--zoom"}), 2, "", "unknown option '--zoom'"},
        {{"render", house, "--view", "Top", "--out"}, 2, "", "option --out needs a value"},
        {{"render", house, house, "--view", "Top", "--out", out}, 2, "", "unexpected argument"},
        {{"render", house, "--view", "Sideways", "--out", out}, 2, "", "unknown view 'Sideways'"},
        {render({Path("out.jpg")}), 2, "", "unknown output format"},
        {render({Path("out.pdf"), "--page", "A7"}), 2, "", "unknown page size 'A7'"},
        {render({out, "--size", "0x10"}), 2, "", "invalid size '0x10'"},
        {render({out, "--size", "99999x10"}), 2, "", "invalid size"},
        {render({Path("out.pdf"), "--size", "10x10"}), 2, "", "--size does not apply"},
        {render({out, "--page", "A3"}), 2, "", "--page does not apply"},
        {render({Path("out.emf"), "--no-grid"}), 2, "", "--no-grid does not apply"},
        {{"render", Path("missing.ovp"), "--view", "Top", "--out", out}, 2, "", load(Path("missing.ovp"))},
        {render({"/nonexistent/folder/x.png"}), 2, "", "Unable to export to file '/nonexistent/folder/x.png'"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        const std::string name = c.args.empty() ? "" : c.args[0] + " " + c.args.back();
        EXPECT_EQ(r.status, c.status) << name;
        EXPECT_EQ(r.out, c.out) << name;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << name << ": " << r.err;
        EXPECT_EQ(r.err.empty(), c.status != 2) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"bad.fnl", "cut.ovp", "house.ovp", "junk.ovp"}));
}

TEST_F(OrthovaneCli, FunctionsAreSearchedProjectFirstThenFilesInOrder) {
    const std::string a = Write("a.fnl", "--FNL 1.0--\r\n1\r\nSq;1;X;X*X;\r\n");
    const std::string b = Write("b.fnl", "--FNL 1.0--\r\n2\r\nSq;1;X;0;\r\nCube;1;X;X*Sq(X);\r\n");
    EXPECT_EQ(Cli({"eval", "--functions", a, "--functions", b, "sq(3)", "cube(2)"}).out, "9\n8\n");
    const std::string p = Write("f.ovp", "Name = A\xff\x01\"B\r\nViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\n"
                                         "ViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\n"
                                         "FncCount = 1\r\nFnc1 = Sq;1;X;X*X+1;\r\n");
    EXPECT_EQ(Cli({"eval", "--functions", a, "--project", p, "sq(3)"}).out, "10\n");
    // A stray byte becomes U+FFFD and a control character an escape: the JSON stays valid.
    const Result named = Cli({"info", p, "--json"});
    EXPECT_NE(named.out.find("\"name\": \"A\xEF\xBF\xBD\\u0001\\\"B\","), std::string::npos) << named.out;
}

TEST_F(OrthovaneCli, NewResaveAndInfo) {
    EXPECT_EQ(Cli({"resave", house, Path("b.ovp")}).status, 0);
    EXPECT_EQ(Read(house), Read(Path("b.ovp")));
    EXPECT_EQ(Read(house).substr(0, 17), "Name = Document\r\n");
    const std::string info = Cli({"info", house}).out;
    EXPECT_NE(info.find("Nodes: root 1, line 47, group 10, ellipse 0, curve 0, function 0"), std::string::npos);
    EXPECT_NE(info.find("Bounding box: (0, 0, 0) - (8, 10, 7)"), std::string::npos);
    const std::string json = Cli({"info", house, "--json"}).out;
    EXPECT_NE(json.find("\"bbox\": {\"min\": [0, 0, 0], \"max\": [8, 10, 7]}"), std::string::npos);
}

TEST(CliViewArg, NamesInAnyCaseAndCodes) {
    std::int32_t type = -1;
    for (const auto& [arg, want] : {std::pair{"perspective", clsView::Perspective},
                                    {"bOTTOM", clsView::Bottom}, {"0", clsView::Left}, {"5", clsView::Back}})
        EXPECT_TRUE(cli::ParseViewArg(arg, type) && type == want) << arg;
    for (const char* bad : {"", "7", "-1", "06", "1.0", " Top", "Top ", "Persp", "Perspectives"}) {
        type = 42;
        EXPECT_FALSE(cli::ParseViewArg(bad, type) || type != 42) << bad;
    }
}

TEST_F(OrthovaneCli, SegmentsOfTheModelHouseInEveryView) {
    const auto model = House();
    // Each orthographic view's (u, v) are two document axes, never negated, mirrored views included.
    for (const auto& [view, u, v] : {std::tuple{"Left", 1, 2}, {"top", 0, 1}, {"RIGHT", 1, 2}, {"3", 0, 1},
                                     {"Front", 0, 2}, {"back", 0, 2}}) {
        const Result r = Cli({"segments", house, "--view", view});
        std::string expected;
        for (const auto& s : model) expected += s[u] + " " + s[v] + " " + s[3 + u] + " " + s[3 + v] + "\n";
        EXPECT_EQ(r.status, 0) << view;
        EXPECT_EQ(r.out, expected) << view << r.err;
    }
    EXPECT_EQ(Cli({"segments", "--view", "1", house}).out, Cli({"segments", house, "--view", "Top"}).out);
    // In perspective the whole house lies inside the view window: nothing is cut or left out.
    const std::vector<std::string> lines = Lines(Cli({"segments", house, "--view", "perspective"}).out);
    ASSERT_EQ(lines.size(), model.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<double> p;
        for (const auto& n : model[i]) p.push_back(std::stod(n));
        ExpectNear(Numbers(lines[i]), Project(p), 1e-13, lines[i]);
    }
    EXPECT_EQ(lines[0].substr(0, 4), "0 0 "); // the origin is the centre of view
}

TEST(CliSegments, ClippedHiddenAndCurvedObjects) {
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    while (tm.Root->FirstChild()) tm.Root->FirstChild()->Delete();
    tm.AddNode(tm.CreateLineNode(30, 30, 15, 40, 40, 20, "Behind")); // wholly behind the eye
    tm.AddNode(tm.CreateLineNode(1, 2, 3, 4, 5, 6, "Hidden"))->Hidden = true;
    auto node = std::make_unique<clsNode>();
    node->NodeType = clsNode::Ellipse;
    node->Object = clsNode::MakeObject(clsNode::Ellipse);
    node->Object->BindToScene(&scene);
    static_cast<clsEllipse*>(node->Object.get())->SetProps(2, 2, 0, 0, 8, nullptr);
    node->Object->Translate(5, 5, 0);
    tm.AddNode(std::move(node));
    const std::string path = testing::TempDir() + "/segments-objects.ovp";
    ASSERT_TRUE(scene.SaveScene(path));

    const std::vector<std::string> persp = Lines(Cli({"segments", path, "--view", "Perspective"}).out);
    const std::vector<std::string> top = Lines(Cli({"segments", path, "--view", "Top"}).out);
    // Top: the line behind the eye stays, the hidden one does not; the ellipse's eight pieces close a circle
    // of radius 2 about (5, 5) from angle 0. Perspective: only the ellipse, each end projected.
    ASSERT_EQ(top.size(), 1u + 8u);
    ASSERT_EQ(persp.size(), 8u);
    EXPECT_EQ(top[0], "30 30 40 40");
    EXPECT_EQ(top[1].substr(0, 4), "7 5 ");
    for (std::size_t i = 1; i < top.size(); ++i) {
        const std::vector<double> s = Numbers(top[i]);
        ASSERT_EQ(s.size(), 4u);
        EXPECT_NEAR(std::hypot(s[0] - 5, s[1] - 5) + std::hypot(s[2] - 5, s[3] - 5), 4, 1e-12) << top[i];
        EXPECT_TRUE(i + 1 == top.size() || Numbers(top[i + 1])[0] == s[2]) << top[i]; // the pieces join up
        ExpectNear(Numbers(persp[i - 1]), Project({s[0], s[1], 0, s[2], s[3], 0}), 1e-13, persp[i - 1]);
    }
}

TEST_F(OrthovaneCli, RenderWritesPdfSvgAndEmfPages) {
    const struct {
        std::string view, file;
        std::vector<std::string> more, has;
    } cases[] = {
        {"perspective", "a4.pdf", {"--frame", "--fit"}, {"%PDF-", "/MediaBox [0 0 595.000000 842.000000]", "%%EOF"}},
        {"Front", "letter.PDF", {"--page", "letter", "--landscape"}, {"/MediaBox [0 0 792.000000 612.000000]"}},
        {"top", "top.svg", {}, {"width=\"8.267717in\" height=\"11.692913in\"", "<g id=\"Grid\" inkscape:label=\"Grid\">",
                                "<g id=\"House\" inkscape:label=\"House\">"}},
        {"6", "wide.svg", {"--page", "A3", "--landscape", "--no-grid"}, {"width=\"16.535433in\" height=\"11.692913in\""}},
        {"Left", "left.emf", {}, {" EMF"}},
    };
    for (const auto& c : cases) {
        const Result r = Render(c.view, Path(c.file.c_str()), c.more);
        const std::string bytes = Read(Path(c.file.c_str()));
        EXPECT_EQ(r.status, 0) << c.file << r.err;
        for (const auto& text : c.has) EXPECT_NE(bytes.find(text), std::string::npos) << c.file << ": " << text;
        EXPECT_EQ(bytes.find("/MediaBox", bytes.find("/MediaBox") + 1), std::string::npos) << c.file; // one page
        QXmlStreamReader xml(QByteArray::fromStdString(bytes));
        while (c.file.back() == 'g' && !xml.atEnd()) xml.readNext();
        EXPECT_FALSE(xml.hasError()) << c.file;
    }
    EXPECT_NE(Read(Path("a4.pdf")).find("%%EOF", Read(Path("a4.pdf")).size() - 8), std::string::npos);
    EXPECT_EQ(Read(Path("wide.svg")).find("id=\"Grid\""), std::string::npos);
    const std::string emf = Read(Path("left.emf")); // the header record, type 1, and its signature
    ASSERT_GT(emf.size(), 88u);
    EXPECT_TRUE(emf.compare(0, 4, std::string("\x01\0\0\0", 4)) == 0 && emf.compare(40, 4, " EMF") == 0);
}

TEST_F(OrthovaneCli, RenderedPngShowsTheHouseWhereTheViewPutsIt) {
    clsScene scene;
    ASSERT_TRUE(scene.LoadScene(house, false));
    for (const char* name : {"Perspective", "Top", "Front"}) {
        ASSERT_EQ(Render(name, Path("view.png"), {"--size", "640x480"}).status, 0);
        const QImage image(QString::fromStdString(Path("view.png")));
        ASSERT_EQ(image.size(), QSize(640, 480)) << name;
        Canvas canvas(640, 480);
        clsView view;
        std::int32_t type;
        ASSERT_TRUE(cli::ParseViewArg(name, type));
        view.SetView(type, &canvas, &scene);
        QRect box; // where the house's corners land in the same view port
        for (int i = 0; i < 8; ++i) {
            double x, y;
            if (view.ConvertPointToScreen({i & 1 ? 8. : 0., i & 2 ? 10. : 0., i & 4 ? 7. : 0.}, x, y))
                box |= QRect(int(x), int(y), 1, 1);
        }
        int lines = 0, outside = 0; // elsewhere only the short blue arm of the axes and the eye-point marker
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 255)) ++(box.adjusted(-2, -2, 2, 2).contains(x, y) ? lines : outside);
        EXPECT_GT(lines, std::max(100, 2 * outside)) << name;
    }
    auto grey = [&](std::vector<std::string> more) { // at the default size
        EXPECT_EQ(Render("Top", Path("grid.png"), more).status, 0);
        const QImage image(QString::fromStdString(Path("grid.png")));
        EXPECT_EQ(image.size(), QSize(1200, 900));
        int n = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == qRgb(192, 192, 192);
        return n;
    };
    EXPECT_GT(grey({}), 100);
    EXPECT_EQ(grey({"--no-grid"}), 0);
}

TEST_F(OrthovaneCli, FailedRenderLeavesTheExistingFileAlone) {
    const std::string old(4096, 'o');
    for (const char* name : {"old.png", "old.svg", "old.pdf", "old.emf"}) {
        const std::string path = Write(name, old);
        Result r;
        {
            const FileSizeLimit full(64);
            r = Render("Perspective", path);
        }
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find("Unable to export to file '" + path + "'"), std::string::npos) << r.err;
        EXPECT_EQ(Read(path), old) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"house.ovp", "old.emf", "old.pdf", "old.png", "old.svg"}));
}
