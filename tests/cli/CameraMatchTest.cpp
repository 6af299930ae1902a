#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>

#include "camera/CameraMatch.h"
#include "cli/CliCommands.h"
#include "io/NumberText.h"
#include "scene/clsScene.h"

using namespace ov;

namespace {

constexpr double kW = 6000, kH = 4500, kDeg = 180 / M_PI;

double Angle(clsPoint3D a, clsPoint3D b) {
    a.Normalize(), b.Normalize();
    return std::acos(std::clamp(a.DotProduct(b), -1.0, 1.0)) * kDeg;
}

double Distance(clsPoint3D a, const clsPoint3D& b) { return a.Subtract(b), a.GetLength(); }
double At(const clsPoint3D& p, int k) { return k == 0 ? p.x : k == 1 ? p.y : p.z; }

// The model house photographed by a known camera: the camera the views draw with, its
// 4:3 window filling a kW x kH picture. The "user's" lines are the house's own edges.
struct Photo {
    clsScene scene; // a new project: the model house
    clsPerspective& camera = scene.GetPerspective();
    std::vector<clsLine3D> edges[3]; // the house's edges parallel to X, Y, Z
    Photo() {
        camera.EyePoint = {30, -25, 12}, camera.Normal = {4 - 30, 3 + 25, 2 - 12}, camera.ViewUp = {0, 0, 1};
        camera.Distance = 0.5, camera.UMax = 0.12, camera.UMin = -0.12, camera.VMax = 0.09, camera.VMin = -0.09;
        for (const clsNode* n = scene.GetRootNode(); n; n = Next(n))
            for (const clsLine3D& e : n->IsObject() ? n->BreakApart() : SegmentList()) {
                clsPoint3D d = e.EndPoint;
                d.Subtract(e.StartPoint);
                for (int k = 0; k < 3; ++k)
                    if (std::fabs(At(d, k)) == d.GetLength() && d.GetLength() > 0) edges[k].push_back(e);
            }
    }
    static const clsNode* Next(const clsNode* n) {
        if (n->FirstChild()) return n->FirstChild();
        for (; n; n = n->Parent())
            if (n->NextSibling()) return n->NextSibling();
        return nullptr;
    }
    PicturePoint Pixel(const clsPoint3D& p) const {
        double u = 0, v = 0;
        camera.ConvertPoint(p, u, v);
        return {kW / 2 * (1 + u / camera.UMax), kH / 2 * (1 - v / camera.VMax)};
    }
    // The two edges along the axis that fix their vanishing point best, as a user would
    // choose them: long, and far from parallel in the picture.
    AxisPair Pair(int axis, const std::function<PicturePoint(PicturePoint)>& noise) const {
        const std::vector<clsLine3D>& e = edges[axis];
        auto image = [&](const clsLine3D& l) {
            const PicturePoint a = Pixel(l.StartPoint), b = Pixel(l.EndPoint);
            return std::pair{b.x - a.x, b.y - a.y};
        };
        double best = -1;
        std::size_t first = 0, second = 0;
        for (std::size_t i = 0; i < e.size(); ++i)
            for (std::size_t j = i + 1; j < e.size(); ++j) {
                const auto [ax, ay] = image(e[i]);
                const auto [bx, by] = image(e[j]);
                const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
                const double merit = std::min(la, lb) * std::fabs(ax * by - ay * bx) / (la * lb);
                if (merit > best) best = merit, first = i, second = j;
            }
        auto segment = [&](const clsLine3D& l) { return PictureSegment{noise(Pixel(l.StartPoint)), noise(Pixel(l.EndPoint))}; };
        return {segment(e[first]), segment(e[second])};
    }
    CameraMatchInput Input(const std::string& axes, bool scale, const std::function<PicturePoint(PicturePoint)>& noise) const {
        CameraMatchInput in;
        in.Width = kW, in.Height = kH, in.Origin = noise(Pixel({0, 0, 0}));
        for (char a : axes) in.Axes[a - 'X'] = Pair(a - 'X', noise);
        if (scale) in.ScalePoint = noise(Pixel({8, 0, 0})), in.ScaleLength = 8;
        return in;
    }
};

PicturePoint Exact(PicturePoint p) { return p; }

// Without a scale point +X is taken to run away from the eye; this camera looks against
// +X, so it is found turned half round the Z axis.
clsPoint3D Turned(const clsPoint3D& p, bool turned) { return turned ? clsPoint3D{-p.x, -p.y, p.z} : p; }

} // namespace

TEST(CameraMatch, RecoversTheCameraOfTheModelHouseFromNoisyEdges) {
    const Photo photo;
    ASSERT_TRUE(photo.edges[0].size() >= 2 && photo.edges[1].size() >= 2 && photo.edges[2].size() >= 2);
    std::mt19937 random(18);
    std::uniform_real_distribution<double> unit(0, 1);
    auto noise = [&](PicturePoint p) { // up to one pixel in any direction
        const double r = unit(random), a = 2 * M_PI * unit(random);
        return PicturePoint{p.x + r * std::cos(a), p.y + r * std::sin(a)};
    };
    const double trueFov = 2 * std::atan(photo.camera.UMax / photo.camera.Distance) * kDeg;
    const double eyeRange = photo.camera.EyePoint.GetLength();
    // A pixel of noise on a 27-megapixel photo. The directions and the field of view are held to the
    // required limits in every solve where the lines fix the camera well: the ground's X and Y edges, and
    // all three axes. So is the eye point with three axes; with two, the focal length, which scales the
    // distance, varies by up to one and a half per cent between noisy solves, so their mean is held to the
    // limit and each solve to twice it. The house's vertical edges are short and, seen by a nearly level
    // camera, meet some four focal lengths below the centre, so one pixel moves that vanishing point far:
    // X or Y with Z alone get wider limits.
    const struct { const char* axes; double degrees, eyeMean, eyeEach; } cases[] = {
        {"XY", 0.5, 0.01, 0.02}, {"XYZ", 0.5, 0.01, 0.01}, {"XZ", 1, 0.015, 0.03}, {"YZ", 1, 0.015, 0.04}};
    constexpr int trials = 10;
    for (const auto& [axes, degrees, eyeMean, eyeEach] : cases)
        for (bool scale : {true, false}) {
            double eyeErrors = 0;
            for (int trial = 0; trial < trials; ++trial) {
                const CameraMatchResult r = MatchCamera(photo.Input(axes, scale, noise));
                const std::string name = std::string(axes) + (scale ? " scaled #" : " #") + std::to_string(trial);
                ASSERT_TRUE(r.Ok()) << name << ": " << r.Error;
                const CameraMatch& m = r.Camera;
                EXPECT_LT(Angle(m.Normal, Turned(photo.camera.Normal, !scale)), degrees) << name;
                EXPECT_LT(Angle(m.ViewUp, Turned(photo.camera.GetViewUpVector(), !scale)), degrees) << name;
                EXPECT_NEAR(m.FieldOfView, trueFov, degrees) << name;
                const double eyeError = Distance(m.EyePoint, photo.camera.EyePoint) / eyeRange;
                if (scale) {
                    EXPECT_LT(eyeError, eyeEach) << name;
                } else {
                    EXPECT_NEAR(m.EyePoint.GetLength(), 20, 1e-9) << name;
                }
                EXPECT_LT(m.AxisAngleError, std::string(axes).size() == 3 ? 1.5 : 1e-9) << name;
                eyeErrors += eyeError;
            }
            if (scale) {
                EXPECT_LT(eyeErrors / trials, eyeMean) << axes;
            }
        }
}

TEST(CameraMatch, ExactEdgesGiveTheCameraAndTheWindowOfThePicture) {
    Photo photo;
    const CameraMatchResult r = MatchCamera(photo.Input("XYZ", true, Exact));
    ASSERT_TRUE(r.Ok()) << r.Error;
    clsPerspective found;
    found.Distance = 2;
    ApplyCameraMatch(r.Camera, found);
    EXPECT_LT(Distance(found.EyePoint, photo.camera.EyePoint), 1e-9);
    EXPECT_LT(Angle(found.Normal, photo.camera.Normal) + Angle(found.ViewUp, photo.camera.GetViewUpVector()), 1e-6);
    EXPECT_NEAR(r.Camera.FocalLength, 0.5 * (kW / 2) / 0.12, 1e-6); // the known camera's, in pixels
    const double window[] = {found.UMin, found.VMin, found.UMax, found.VMax, found.Distance, found.UVRatio};
    const double want[] = {-0.48, -0.36, 0.48, 0.36, 2, 4 / 3.}; // the same window at distance 2
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(window[i], want[i], 1e-10) << i;
    EXPECT_EQ(found.Field, 0);
}

TEST(CameraMatch, ALevelCameraSeesUprightEdgesParallelAndIsFoundAllTheSame) {
    Photo photo;
    photo.camera.Normal.z = 0; // looking level: the house's upright edges stay upright in the picture
    const CameraMatchResult r = MatchCamera(photo.Input("XYZ", true, Exact));
    ASSERT_TRUE(r.Ok()) << r.Error;
    EXPECT_LT(Distance(r.Camera.EyePoint, photo.camera.EyePoint), 1e-6);
    EXPECT_LT(Angle(r.Camera.Normal, photo.camera.Normal), 1e-6);
    // Without the X or Y pair, the focal length has nothing to come from.
    EXPECT_EQ(MatchCamera(photo.Input("XZ", true, Exact)).Error.rfind("The two Z lines are parallel in the picture", 0), 0u);
}

TEST(CameraMatch, DegenerateInputIsRefusedWithItsReason) {
    const Photo photo;
    const CameraMatchInput good = photo.Input("XY", true, Exact);
    const PictureSegment flatA{{100, 100}, {300, 100}}, flatB{{100, 200}, {300, 200}}, flatC{{400, 100}, {500, 100}};
    auto sameSide = [](CameraMatchInput& in) { // both vanishing points far to the right
        in.Axes[0] = AxisPair{PictureSegment{{0, 0}, {100, 50}}, {{0, 900}, {100, 850}}};
        in.Axes[1] = AxisPair{PictureSegment{{0, 100}, {100, 125}}, {{0, 800}, {100, 775}}};
    };
    const struct { const char* reason; std::function<void(CameraMatchInput&)> change; } cases[] = {
        {"picture size must be two positive numbers", [](auto& in) { in.Height = 0; }},
        {"picture size", [](auto& in) { in.Width = NAN; }},
        {"X lines hold a number that is not finite", [](auto& in) { in.Axes[0]->at(1).End.y = NAN; }},
        {"Y lines hold a number", [](auto& in) { in.Axes[1]->at(0).Start.x = INFINITY; }},
        {"origin's position is not finite", [](auto& in) { in.Origin.x = -INFINITY; }},
        {"positive length", [](auto& in) { in.ScaleLength = 0; }},
        {"needs a position up to", [](auto& in) { in.ScalePoint->y = NAN; }},
        {"At least two of the X, Y and Z", [](auto& in) { in.Axes[1].reset(); }},
        {"second Y segment", [](auto& in) { in.Axes[1]->at(1).End = in.Axes[1]->at(1).Start; }},
        {"two X lines are parallel", [&](auto& in) { in.Axes[0] = AxisPair{flatA, flatB}; }},
        {"two Y segments lie on one line", [&](auto& in) { in.Axes[1] = AxisPair{flatA, flatC}; }},
        {"X and Y lines give no real focal length", sameSide},
        {"lies on the horizon", [&](auto& in) { in.Origin = photo.Pixel({-40, 60, 12}); }},
        {"coincides with the origin", [](auto& in) { in.ScalePoint = in.Origin; }},
        {"does not lie along the X axis", [&](auto& in) { in.ScalePoint = photo.Pixel({0, 0, -1}); }},
        {"from right angles", [](auto& in) { in.Axes[2] = AxisPair{PictureSegment{{0, 0}, {100, 50}}, {{0, 900}, {100, 850}}}; }},
        {"origin's position is not finite or beyond", [](auto& in) { in.Origin = {1e300, 1}; }},
    };
    for (const auto& c : cases) {
        CameraMatchInput in = good;
        c.change(in);
        const CameraMatchResult r = MatchCamera(in);
        EXPECT_NE(r.Error.find(c.reason), std::string::npos) << c.reason << ": " << r.Error;
    }
    EXPECT_TRUE(MatchCamera(good).Ok());
}

TEST(CameraMatchCli, PrintsTheCameraWritesItIntoAProjectAndRefusesBadInput) {
    const Photo photo;
    auto run = [](std::vector<std::string> args) {
        std::ostringstream out, err;
        args.insert(args.begin(), "match-camera");
        const int status = cli::RunMain(args, out, err);
        return std::tuple{status, out.str(), err.str()};
    };
    auto text = [](std::initializer_list<PicturePoint> points) {
        std::ostringstream s;
        s.precision(12);
        for (const PicturePoint& p : points) s << p.x << ' ' << p.y << ' ';
        return s.str();
    };
    const CameraMatchInput in = photo.Input("XYZ", true, Exact);
    std::vector<std::string> args{"--size", "6000x4500", "--origin", text({in.Origin}), "--scale", text({*in.ScalePoint}) + "8"};
    for (int k = 0; k < 3; ++k) {
        const AxisPair& p = *in.Axes[k];
        args.insert(args.end(), {std::string("--") + char('x' + k), text({p[0].Start, p[0].End}) + ";" + text({p[1].Start, p[1].End})});
    }
    QTemporaryDir dir;
    const std::string house = dir.filePath("house.ovp").toStdString(), out = dir.filePath("out.ovp").toStdString();
    ASSERT_EQ(cli::RunMain({"new", house}, std::cout, std::cerr), 0);
    auto [status, printed, errors] = run(args);
    const char* keys[] = {"EyeX", "EyeY", "EyeZ", "NormalX", "NormalY", "NormalZ", "ViewUpX", "ViewUpY", "ViewUpZ",
                          "Distance", "UMin", "VMin", "UMax", "VMax", "FieldOfView", "AxisAngleError"};
    std::istringstream lines(printed);
    std::vector<double> values;
    for (std::string key, equals, value; lines >> key >> equals >> value && values.size() < 16;) {
        EXPECT_TRUE(key == keys[values.size()] && equals == "=") << key;
        values.push_back(ReadNumber(value));
    }
    ASSERT_TRUE(status == 0 && values.size() == 16 && errors.empty()) << printed << errors;
    const double n = std::sqrt(26 * 26 + 28 * 28 + 10 * 10), want[] = {30, -25, 12, -26 / n, 28 / n, -10 / n, 0.5, -0.12, -0.09, 0.12, 0.09};
    const int at[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13};
    for (int i = 0; i < 11; ++i) EXPECT_NEAR(values[at[i]], want[i], 1e-4) << keys[at[i]];
    // Written into a copy of the project: info reports the printed camera.
    args.insert(args.end(), {"--project", house, "--out", out});
    EXPECT_EQ(std::get<1>(run(args)), printed);
    std::ostringstream info;
    ASSERT_EQ(cli::RunMain({"info", out}, info, std::cerr), 0);
    EXPECT_NE(info.str().find("Eye point: (" + GeneralNumberText(values[0]).substr(0, 8)), std::string::npos) << info.str();
    EXPECT_NE(info.str().find("Window: u -0.12"), std::string::npos) << info.str();
    // Unsolvable input: a message and status 1; arguments that make no sense: the usage and status 2.
    args[args.size() - 5] = args[args.size() - 7] = "0 0 100 0; 0 50 100 50"; // the Y and Z lines parallel
    std::tie(status, printed, errors) = run(args);
    EXPECT_TRUE(status == 1 && printed.empty() && errors.rfind("error: The two Y lines are parallel", 0) == 0) << errors;
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--x", "1 2 3 4; 5 6 7 8", "--y", "1 2 3 4; 5 6 7 8", "--origin", "1 2"}, "no picture size given"},
        {{"--size", "40x30", "--x", "1 2 3 4; 5 6 7 8", "--origin", "1 2"}, "at least two of --x, --y and --z"},
        {{"--size", "40x0", "--x", "1 2 3 4; 5 6 7 8", "--origin", "1 2"}, "invalid size '40x0'"},
        {{"--size", "40x30", "--x", "1 2 3; 5 6 7 8", "--y", "1 2 3 4; 5 6 7 8"}, "no origin given"},
        {{"--size", "40x30", "--x", "1 2 3; 5 6 7 8", "--y", "1 2 3 4; 5 6 7 8", "--origin", "1 2"}, "invalid --x '1 2 3;"},
        {{"--size", "40x30", "--x", "1 2 3 4; 5 6 7 8", "--z", "nan 2 3 4; 5 6 7 8", "--origin", "1 2"}, "invalid --z"},
        {{"--size", "40x30", "--x", "1 2 3 4; 5 6 7 8", "--y", "1 2 3 4; 5 6 7 8", "--origin", "1 inf"}, "invalid --origin"},
        {{"--size", "40x30", "--x", "1 2 3 4; 5 6 7 8", "--y", "1 2 3 4; 5 6 7 8", "--origin", "1 2", "--scale", "1 2"}, "invalid --scale"},
        {{"--size", "40x30", "--x", "1 2 3 4; 5 6 7 8", "--y", "a; b", "--origin", "1 2", "--project", house}, "go together"},
        {{"--size", "40x30", "--size", "40x30"}, "option --size is given twice"},
        {{"--size", "40x30", "stray"}, "unexpected argument 'stray'"}, {{"--origin"}, "option --origin needs a value"},
        {{"--size", "40x30", "--w", "1"}, "unknown option '--w' for 'match-camera'"}};
    for (const auto& [bad, reason] : refused) {
        std::tie(status, printed, errors) = run(bad);
        EXPECT_TRUE(status == 2 && printed.empty() && errors.find(reason) != std::string::npos &&
                    errors.find("usage: orthovane-cli match-camera") != std::string::npos) << reason << ": " << errors;
    }
    std::tie(status, printed, errors) = run({"--size", "40x30", "--help"});
    EXPECT_TRUE(status == 0 && printed.rfind("usage: orthovane-cli match-camera", 0) == 0);
}
