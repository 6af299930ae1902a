#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <sstream>

#include "cli/CliCommands.h"
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

// The model house as a new project draws it, segment by segment in tree order, with the
// coordinates written as the program prints them.
struct Seg {
    const char* p[6]; // x1 y1 z1 x2 y2 z2
};
const std::vector<Seg>& House() {
    static const std::vector<Seg> house = {
        // Bottom
        {{"0", "0", "0", "8", "0", "0"}}, {{"8", "0", "0", "8", "10", "0"}},
        {{"8", "10", "0", "0", "10", "0"}}, {{"0", "10", "0", "0", "0", "0"}},
        // End 1
        {{"0", "0", "0", "0", "0", "3"}}, {{"0", "0", "3", "4", "0", "6"}},
        {{"4", "0", "6", "8", "0", "3"}}, {{"8", "0", "3", "8", "0", "0"}},
        // End 2
        {{"8", "10", "0", "8", "10", "3"}}, {{"8", "10", "3", "4", "10", "6"}},
        {{"4", "10", "6", "0", "10", "3"}}, {{"0", "10", "3", "0", "10", "0"}},
        // Bar 1, Bar 2, Roof Ridge
        {{"0", "0", "3", "0", "10", "3"}}, {{"8", "0", "3", "8", "10", "3"}}, {{"4", "10", "6", "4", "0", "6"}},
        // Window 1
        {{"8", "1.5", "1", "8", "1.5", "2.5"}}, {{"8", "1.5", "2.5", "8", "3", "2.5"}},
        {{"8", "3", "2.5", "8", "3", "1"}}, {{"8", "3", "1", "8", "1.5", "1"}},
        // Window 2
        {{"8", "7", "1", "8", "7", "2.5"}}, {{"8", "7", "2.5", "8", "8.5", "2.5"}},
        {{"8", "8.5", "2.5", "8", "8.5", "1"}}, {{"8", "8.5", "1", "8", "7", "1"}},
        // Door
        {{"8", "4.4", "0", "8", "4.4", "2.5"}}, {{"8", "4.4", "2.5", "8", "5.6", "2.5"}},
        {{"8", "5.6", "2.5", "8", "5.6", "0"}}, {{"8", "5.6", "0", "8", "4.4", "0"}},
        // Window 3
        {{"1", "10", "1", "1", "10", "2.5"}}, {{"1", "10", "2.5", "3", "10", "2.5"}},
        {{"3", "10", "2.5", "3", "10", "1"}}, {{"3", "10", "1", "1", "10", "1"}},
        // Window 4
        {{"5", "10", "1", "5", "10", "2.5"}}, {{"5", "10", "2.5", "7", "10", "2.5"}},
        {{"7", "10", "2.5", "7", "10", "1"}}, {{"7", "10", "1", "5", "10", "1"}},
        // Chimney
        {{"5", "7", "7", "6", "7", "7"}}, {{"6", "7", "7", "6", "7", "4.5"}},
        {{"6", "7", "4.5", "5", "7", "5.25"}}, {{"5", "7", "5.25", "5", "7", "7"}},
        {{"5", "8", "7", "6", "8", "7"}}, {{"6", "8", "7", "6", "8", "4.5"}},
        {{"6", "8", "4.5", "5", "8", "5.25"}}, {{"5", "8", "5.25", "5", "8", "7"}},
        {{"5", "7", "7", "5", "8", "7"}}, {{"6", "7", "7", "6", "8", "7"}},
        {{"6", "7", "4.5", "6", "8", "4.5"}}, {{"5", "7", "5.25", "5", "8", "5.25"}},
    };
    return house;
}

std::string NewHouse(const std::string& name) {
    const std::string path = testing::TempDir() + "/" + name;
    EXPECT_EQ(Cli({"new", path}).status, 0);
    return path;
}

// The default camera by its definition: the eye at (20, 20, 10) looking at the origin,
// z up, the picture plane 0.5 in front of the eye.
struct Camera {
    double U[3], V[3], W[3];
    double eye[3] = {20, 20, 10};
    double distance = 0.5;
    Camera() {
        const double n = std::sqrt(20.0 * 20 + 20 * 20 + 10 * 10);
        W[0] = 20 / n, W[1] = 20 / n, W[2] = 10 / n;            // back towards the viewer
        const double s = std::sqrt(W[0] * W[0] + W[1] * W[1]); // |(0, 0, 1) x W|
        U[0] = -W[1] / s, U[1] = W[0] / s, U[2] = 0;
        V[0] = W[1] * U[2] - W[2] * U[1], V[1] = W[2] * U[0] - W[0] * U[2], V[2] = W[0] * U[1] - W[1] * U[0];
    }
    void Project(const double p[3], double& u, double& v) const {
        double c[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            const double d = p[i] - eye[i];
            c[0] += d * U[i];
            c[1] += d * V[i];
            c[2] += d * W[i];
        }
        u = -distance * c[0] / c[2];
        v = -distance * c[1] / c[2];
    }
};

} // namespace

TEST(CliSegments, ModelHouseInTheOrthographicViews) {
    const std::string path = NewHouse("segments-house.ovp");
    // Each view's (u, v) are two document axes, never negated, mirrored views included.
    const struct {
        std::string name;
        int u, v;
    } views[] = {{"Left", 1, 2}, {"top", 0, 1}, {"RIGHT", 1, 2}, {"3", 0, 1}, {"Front", 0, 2}, {"back", 0, 2}};
    for (const auto& view : views) {
        const Result r = Cli({"segments", path, "--view", view.name});
        ASSERT_EQ(r.status, 0) << view.name << ": " << r.err;
        EXPECT_EQ(r.err, "");
        std::string expected;
        for (const Seg& s : House())
            expected += std::string(s.p[view.u]) + " " + s.p[view.v] + " " + s.p[3 + view.u] + " " + s.p[3 + view.v] + "\n";
        EXPECT_EQ(r.out, expected) << view.name;
    }
    // The code of a view is the same view as its name.
    EXPECT_EQ(Cli({"segments", "--view", "1", path}).out, Cli({"segments", path, "--view", "Top"}).out);
}

TEST(CliSegments, ModelHouseInThePerspectiveView) {
    const std::string path = NewHouse("segments-house-perspective.ovp");
    const Result r = Cli({"segments", path, "--view", "perspective"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    // The whole house lies inside the view window: nothing is cut or left out.
    ASSERT_EQ(lines.size(), House().size());
    const Camera camera;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<double> got = Numbers(lines[i]);
        ASSERT_EQ(got.size(), 4u) << lines[i];
        double p1[3], p2[3];
        for (int k = 0; k < 3; ++k) {
            p1[k] = std::atof(House()[i].p[k]);
            p2[k] = std::atof(House()[i].p[3 + k]);
        }
        double u1, v1, u2, v2;
        camera.Project(p1, u1, v1);
        camera.Project(p2, u2, v2);
        EXPECT_NEAR(got[0], u1, 1e-13) << i;
        EXPECT_NEAR(got[1], v1, 1e-13) << i;
        EXPECT_NEAR(got[2], u2, 1e-13) << i;
        EXPECT_NEAR(got[3], v2, 1e-13) << i;
    }
    // The origin is where the camera looks: the centre of view. The ridge end (4, 0, 6)
    // lies at D = (-16, -20, -4) from the eye: along U (16 - 20) / sqrt 2 = -2 sqrt 2, along
    // W -76 / 3, so u = -0.5 * (-2 sqrt 2) / (-76 / 3) = -3 sqrt 2 / 76.
    EXPECT_EQ(lines[0].substr(0, 4), "0 0 ");
    EXPECT_NEAR(Numbers(lines[14])[2], -3 * std::sqrt(2.0) / 76, 1e-15);
    // The code 6 is the perspective view.
    EXPECT_EQ(Cli({"segments", path, "--view", "6"}).out, r.out);
}

TEST(CliSegments, ClippedHiddenAndCurvedObjects) {
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    while (tm.Root->FirstChild()) tm.Root->FirstChild()->Delete();
    const Camera camera;
    // A line parallel to the viewing axis, 0.1 to the right of it, from 30 in front of the
    // eye to 30 behind it. The front plane (0.5 in front) cuts it: its near end is seen at
    // u = 0.5 * 0.1 / 0.5 = 0.1 and its far end at 0.5 * 0.1 / 30.
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = camera.eye[k] + 0.1 * camera.U[k] - 30 * camera.W[k];
        b[k] = camera.eye[k] + 0.1 * camera.U[k] + 30 * camera.W[k];
    }
    tm.AddNode(tm.CreateLineNode(a[0], a[1], a[2], b[0], b[1], b[2], "Axis"));
    // Wholly behind the eye: nothing to see.
    tm.AddNode(tm.CreateLineNode(30, 30, 15, 40, 40, 20, "Behind"));
    clsNode* hidden = tm.AddNode(tm.CreateLineNode(1, 2, 3, 4, 5, 6, "Hidden"));
    hidden->Hidden = true;
    auto node = std::make_unique<clsNode>();
    node->NodeType = clsNode::Ellipse;
    node->Object = clsNode::MakeObject(clsNode::Ellipse);
    node->Object->BindToScene(&scene);
    auto* ellipse = static_cast<clsEllipse*>(node->Object.get());
    ellipse->SetProps(2, 2, 0, 0, 8, nullptr);
    ellipse->Translate(5, 5, 0);
    tm.AddNode(std::move(node));
    const std::string path = testing::TempDir() + "/segments-objects.ovp";
    ASSERT_TRUE(scene.SaveScene(path));

    const Result persp = Cli({"segments", path, "--view", "Perspective"});
    ASSERT_EQ(persp.status, 0) << persp.err;
    const std::vector<std::string> lines = Lines(persp.out);
    ASSERT_GE(lines.size(), 1u);
    const std::vector<double> axis = Numbers(lines[0]);
    ASSERT_EQ(axis.size(), 4u);
    EXPECT_NEAR(axis[0], 0.5 * 0.1 / 30, 1e-12);
    EXPECT_NEAR(axis[1], 0, 1e-12);
    EXPECT_NEAR(axis[2], 0.1, 1e-12);
    EXPECT_NEAR(axis[3], 0, 1e-12);

    // In the top view the ellipse's eight pieces close a circle of radius 2 about (5, 5),
    // starting at angle 0; the hidden line is left out, the line behind the eye is not.
    const Result top = Cli({"segments", path, "--view", "Top"});
    ASSERT_EQ(top.status, 0) << top.err;
    const std::vector<std::string> topLines = Lines(top.out);
    ASSERT_EQ(topLines.size(), 2u + 8u);
    EXPECT_EQ(topLines[1], "30 30 40 40");
    const std::vector<double> first = Numbers(topLines[2]);
    EXPECT_NEAR(first[0], 7, 1e-12);
    EXPECT_NEAR(first[1], 5, 1e-12);
    for (std::size_t i = 2; i < topLines.size(); ++i) {
        const std::vector<double> s = Numbers(topLines[i]);
        ASSERT_EQ(s.size(), 4u);
        EXPECT_NEAR(std::hypot(s[0] - 5, s[1] - 5), 2, 1e-12) << topLines[i];
        EXPECT_NEAR(std::hypot(s[2] - 5, s[3] - 5), 2, 1e-12) << topLines[i];
        if (i + 1 < topLines.size()) {
            EXPECT_EQ(Numbers(topLines[i + 1])[0], s[2]); // the pieces join up
        }
    }
    // In perspective the line behind the eye and the hidden line are gone; the ellipse, in
    // full view, shows the same pieces as seen from the top, each end projected.
    ASSERT_EQ(lines.size(), 1u + 8u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<double> flat = Numbers(topLines[i + 1]), seen = Numbers(lines[i]);
        ASSERT_EQ(seen.size(), 4u);
        const double p1[3] = {flat[0], flat[1], 0}, p2[3] = {flat[2], flat[3], 0};
        double u1, v1, u2, v2;
        camera.Project(p1, u1, v1);
        camera.Project(p2, u2, v2);
        EXPECT_NEAR(seen[0], u1, 1e-13);
        EXPECT_NEAR(seen[1], v1, 1e-13);
        EXPECT_NEAR(seen[2], u2, 1e-13);
        EXPECT_NEAR(seen[3], v2, 1e-13);
    }
}

TEST(CliSegments, BadArgumentsAndFiles) {
    const std::string path = NewHouse("segments-args.ovp");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"segments"},
             {"segments", path},
             {"segments", path, "--view"},
             {"segments", "--view", "Top"},
             {"segments", path, "--view", "Top", "--view", "Left"},
             {"segments", path, path, "--view", "Top"},
             {"segments", path, "--view", "Sideways"},
             {"segments", path, "--view", "7"},
             {"segments", path, "--view", "-1"},
             {"segments", path, "--view", ""},
             {"segments", path, "--view", "Topp"},
         }) {
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }

    const Result missing = Cli({"segments", "/nonexistent/house.ovp", "--view", "Top"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("Unable to load the project '/nonexistent/house.ovp':", 0), 0u) << missing.err;

    // A file cut off in the middle of a record is refused with the program's message.
    std::ifstream in(path, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string damaged = testing::TempDir() + "/segments-damaged.ovp";
    std::ofstream(damaged, std::ios::binary) << whole.substr(0, whole.size() / 2);
    const Result cut = Cli({"segments", damaged, "--view", "Top"});
    EXPECT_EQ(cut.status, 2);
    EXPECT_EQ(cut.out, "");
    EXPECT_EQ(cut.err.rfind("Unable to load the project '" + damaged + "':", 0), 0u) << cut.err;

    const std::string garbage = testing::TempDir() + "/segments-garbage.ovp";
    std::ofstream(garbage, std::ios::binary) << std::string("\0\xff{{{\r\n", 7);
    const Result junk = Cli({"segments", garbage, "--view", "Top"});
    EXPECT_EQ(junk.status, 2);
    EXPECT_EQ(junk.out, "");
    EXPECT_EQ(junk.err.rfind("Unable to load the project '" + garbage + "':", 0), 0u) << junk.err;
}
