// The SVG document builder behind the drawing-program interface: the structure of named groups,
// coordinates and the styles that matter, and what a real SVG reader (QtSvg) makes of the result.

#include "platform/svg/SvgDrawApp.h"

#include <QFileInfo>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <optional>

namespace {

using ov::SvgDrawApp;
using ov::draw::Shape;
using Labels = std::vector<std::string>;
const std::string kInkscape = "{http://www.inkscape.org/namespaces/inkscape}";
const double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

// The written document read back as a tree; attributes in a namespace are keyed "{namespace}name".
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<Element> children;
    std::string Attr(const std::string& a) const { return attributes.count(a) ? attributes.at(a) : std::string(); }
    // Stroke, its width and fill, and whether the stroke is dashed.
    std::string Style() const {
        const std::string dashed = Attr("stroke-dasharray").empty() ? "" : " dashed";
        return Attr("stroke") + " " + Attr("stroke-width") + " " + Attr("fill") + dashed;
    }
    const Element* Find(const std::string& id) const {
        const Element* found = Attr("id") == id ? this : nullptr;
        for (std::size_t i = 0; !found && i < children.size(); ++i) found = children[i].Find(id);
        return found;
    }
    std::string Tree() const { // the children's labels in document order, a group's members in brackets
        std::string tree;
        for (const auto& c : children) {
            const std::string members = c.children.empty() ? "" : "(" + c.Tree() + ")";
            tree += (tree.empty() ? "" : ",") + c.Attr(kInkscape + "label") + members;
        }
        return tree;
    }
    const Element& Layer() const { return children.at(1); } // after the named view
};

Element Parse(const SvgDrawApp& app) {
    QXmlStreamReader reader(QByteArray::fromStdString(app.ToSvgText()));
    Element root;
    std::vector<Element*> open;
    for (reader.readNext(); !reader.atEnd(); reader.readNext()) {
        if (reader.isEndElement()) open.pop_back();
        if (!reader.isStartElement()) continue;
        Element* e = open.empty() ? &root : &open.back()->children.emplace_back();
        e->name = reader.qualifiedName().toString().toStdString();
        for (const auto& a : reader.attributes()) {
            const QString ns = a.namespaceUri().toString();
            e->attributes[(ns.isEmpty() ? a.name().toString() : "{" + ns + "}" + a.name().toString()).toStdString()] =
                a.value().toString().toStdString();
        }
        open.push_back(e);
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n" << app.ToSvgText();
    return root;
}

std::shared_ptr<Shape> Named(std::shared_ptr<Shape> shape, const std::string& name) {
    shape->SetName(name);
    return shape;
}

class SvgDrawAppTest : public ::testing::Test {
protected:
    SvgDrawApp app;
    std::shared_ptr<ov::draw::Layer> layer = app.ActiveDocument()->ActiveLayer();

    std::shared_ptr<Shape> Group(std::initializer_list<std::shared_ptr<Shape>> shapes, const std::string& name = {}) {
        auto range = app.CreateShapeRange();
        for (const auto& s : shapes) range->Add(s);
        auto group = range->Group();
        if (group && !name.empty()) group->SetName(name);
        return group;
    }
    QSvgRenderer Renderer() const { return QSvgRenderer(QByteArray::fromStdString(app.ToSvgText())); }
};

TEST_F(SvgDrawAppTest, AnInkscapeLayerOnAPageInInchesWithCoordinatesFlippedIntoThePage) {
    EXPECT_EQ(app.ToSvgText().rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
    const Element doc = Parse(app);
    EXPECT_TRUE(doc.Layer().Attr(kInkscape + "groupmode") == "layer" && doc.Layer().children.empty());
    EXPECT_EQ(doc.Attr("width") + " " + doc.Attr("height") + " " + doc.Attr("viewBox"), "8.5in 11in 0 0 8.5 11");
    for (const auto& [w, h] : std::vector<std::pair<double, double>>{{0, 5}, {-1, 5}, {kNaN, 5}, {5, kInf}})
        EXPECT_FALSE(app.SetPageSize(w, h)) << w << " x " << h; // and the page stays as it was
    Named(layer->CreateLineSegment(0, 0, 1, 2), "Line");
    Named(layer->CreateEllipse(4, 3, 1, 2), "Ellipse"); // corners in either order
    Named(layer->CreateRectangle(4, 3, 1, 2), "Rect");
    const Element root = Parse(app);
    const std::map<std::string, std::map<std::string, double>> expected = {
        {"Line", {{"x1", 0}, {"y1", 11}, {"x2", 1}, {"y2", 9}}},
        {"Ellipse", {{"cx", 2.5}, {"cy", 8.5}, {"rx", 1.5}, {"ry", 0.5}}},
        {"Rect", {{"x", 1}, {"y", 8}, {"width", 3}, {"height", 1}}}};
    for (const auto& [id, attributes] : expected)
        for (const auto& [name, value] : attributes)
            EXPECT_DOUBLE_EQ(std::stod(root.Find(id)->Attr(name)), value) << id << name;
    EXPECT_LT((Renderer().boundsOnElement("Rect").topLeft() - QPointF(1, 8)).manhattanLength(), 0.02); // as read
    // The flip follows the page height in force when the document is written.
    ASSERT_TRUE(app.SetPageSize(5, 4) && app.PageHeight() == 4);
    EXPECT_EQ(Parse(app).Find("Line")->Attr("y2"), "2");
}

TEST_F(SvgDrawAppTest, NamedGroupsNestAndKeepTheStackingOrder) {
    std::map<std::string, std::shared_ptr<Shape>> s;
    for (const char* name : {"a", "b", "c", "d", "e"}) s[name] = Named(layer->CreateLineSegment(0, 0, 1, 1), name);
    const auto tree = [&] { return Parse(app).Layer().Tree(); };
    // Listed out of order: the shapes keep their stacking and the group takes the place of the lowest.
    auto g1 = Group({s["d"], s["b"]}, "G1");
    EXPECT_EQ(tree(), "a,G1(b,d),c,e");
    Group({g1, s["a"]}, "G2");
    EXPECT_EQ(tree(), "G2(a,G1(b,d)),c,e");
    // One shape out of a nested group with one from the layer: the group goes where the lower one was.
    Group({s["e"], s["b"]}, "G3");
    EXPECT_EQ(tree(), "G2(a,G1(G3(b,e),d)),c");
    // A group listed with a shape of its own: both move, no group ends up inside itself.
    Group({s["d"], g1}, "G4");
    EXPECT_EQ(tree(), "G2(a,G4(G1(G3(b,e)),d)),c");
    // A range of one shape is grouped anyway; an empty one has nothing to group and leaves the document alone.
    EXPECT_NE(Group({s["c"]}, "G5"), s["c"]);
    const std::string before = app.ToSvgText();
    EXPECT_EQ(app.CreateShapeRange()->Group(), nullptr);
    EXPECT_EQ(app.ToSvgText(), before);
    EXPECT_EQ(tree(), "G2(a,G4(G1(G3(b,e)),d)),G5(c)");
}

TEST_F(SvgDrawAppTest, RangesCollectDistinctShapesOfTheirOwnDocumentAndTheLastSelectionCounts) {
    SvgDrawApp other;
    auto a = layer->CreateLineSegment(0, 0, 1, 1), b = layer->CreateRectangle(0, 0, 1, 1);
    auto range = app.CreateShapeRange();
    for (const auto& shape : std::initializer_list<std::shared_ptr<Shape>>{
             a, nullptr, a, other.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1), b})
        range->Add(shape);
    EXPECT_TRUE(range->Count() == 2 && range->Item(2) == b);
    for (int outside : {0, 3, -1}) EXPECT_EQ(range->Item(outside), nullptr) << outside;
    EXPECT_TRUE(app.Selection().empty());
    auto group = range->Group();
    group->CreateSelection();
    const std::vector<std::shared_ptr<Shape>> first = app.Selection();
    a->CreateSelection();
    EXPECT_TRUE(first == std::vector{group} && app.Selection() == std::vector{a});
    EXPECT_EQ(Parse(other).Layer().children.size(), 1u); // the foreign shape stayed home
    EXPECT_EQ(Parse(app).Layer().children.at(0).children.size(), 2u);
}

TEST_F(SvgDrawAppTest, IdsAreValidAndUniqueAndLabelsKeepTheExactName) {
    const Labels names = {"House", "House", "a b<c>", "1st", "layer1", "Tab\there \"q\" & 'x'\nline2", "H\xC3\xA4user"};
    std::vector<std::shared_ptr<Shape>> shapes;
    for (const auto& name : names) shapes.push_back(Named(layer->CreateLineSegment(0, 0, 1, 1), name));
    auto group = Group({shapes[0], shapes[1]}, "House");
    Labels ids;
    for (const auto& shape : {shapes[0], shapes[1], shapes[2], shapes[3], shapes[4], group})
        ids.push_back(app.IdOf(*shape));
    EXPECT_EQ(ids, (Labels{"House", "House-2", "a_b_c_", "_1st", "layer1-2", "House-3"}));
    const Element root = Parse(app);
    for (std::size_t i = 0; i < shapes.size(); ++i)
        EXPECT_EQ(root.Find(app.IdOf(*shapes[i]))->Attr(kInkscape + "label"), names[i]);
    // Renaming gives up the old id; an empty name removes id and label.
    shapes[0]->SetName("Barn");
    EXPECT_EQ(app.IdOf(*Named(layer->CreateLineSegment(0, 0, 1, 1), "House")), "House");
    shapes[2]->SetName("");
    EXPECT_EQ(app.IdOf(*shapes[2]), "");
    EXPECT_EQ(Parse(app).Find("a_b_c_"), nullptr);
    for (const char* id : {"Barn", "House", "House-2", "House-3", "_1st", "layer1-2"})
        EXPECT_TRUE(Renderer().elementExists(id)) << id;
}

TEST_F(SvgDrawAppTest, OutlineAndFillOfShapesAndOfEveryShapeInAGroup) {
    const auto red = app.CreateRGBColor(255, 0, 0);
    const auto line = [&](const char* name, double width = 0, int style = -1) { // -1: the default outline
        auto shape = Named(layer->CreateLineSegment(0, 0, 1, 0), name);
        if (style >= 0) shape->SetOutlineProperties(width, app.OutlineStyles(style), red);
        return shape;
    };
    line("plain"), line("hair", 0, 0); // zero width still draws, as the thinnest line
    line("dashHair", 0, 12), line("dashWide", 0.2, 12);
    line("dashThenSolid", 0.01, 12)->SetOutlineProperties(0.01, app.OutlineStyles(0), red);
    auto none = Named(layer->CreateRectangle(0, 0, 1, 1), "none"), restored = line("restored");
    none->SetOutlineNone();
    none->SetFillColor(app.CreateRGBColor(0, 128, 255));
    restored->SetOutlineNone();
    restored->SetOutlineProperties(0.05, std::nullopt, red);
    auto group = Group({Named(layer->CreateEllipse(0, 0, 1, 1), "b"), Group({line("c")})}, "group");
    group->SetOutlineProperties(0.04, app.OutlineStyles(2), app.CreateRGBColor(0, 255, 0));
    group->SetFillColor(app.CreateRGBColor(1, 2, 3));
    const Element root = Parse(app);
    const std::pair<const char*, const char*> styles[] = {
        {"plain", "#000000 0.003 none"}, {"hair", "#ff0000 0.003 none"}, {"dashThenSolid", "#ff0000 0.01 none"},
        {"none", "none  #0080ff"}, {"restored", "#ff0000 0.05 none"}, {"group", "  "},
        {"b", "#00ff00 0.04 #010203 dashed"}, {"c", "#00ff00 0.04 #010203 dashed"}};
    for (const auto& [id, style] : styles) EXPECT_EQ(root.Find(id)->Style(), style) << id;
    // A dashed hairline still shows dashes one sees on paper; wide dashes grow with the width.
    const auto dash = [&](const char* id) { return std::stod(root.Find(id)->Attr("stroke-dasharray")); };
    EXPECT_TRUE(dash("dashHair") >= 0.02 && dash("dashWide") >= 2 * 0.2 && dash("c") < dash("dashHair"));
    group->SetOutlineNone();
    EXPECT_EQ(Parse(app).Find("c")->Attr("stroke"), "none");
}

TEST_F(SvgDrawAppTest, BadInputAndObjectsThatOutliveTheApplication) {
    std::shared_ptr<Shape> kept, orphan;
    std::shared_ptr<ov::draw::ShapeRange> range;
    std::shared_ptr<ov::draw::Layer> keptLayer;
    {
        SvgDrawApp gone, brief;
        keptLayer = gone.ActiveDocument()->ActiveLayer();
        Named(keptLayer->CreateLineSegment(kNaN, 0, 1, 1), "nanLine");
        Named(keptLayer->CreateEllipse(0, kInf, 1, 1), "infEllipse");
        kept = Named(keptLayer->CreateRectangle(0, 0, 1, 1), "ok");
        kept->SetOutlineProperties(kNaN, gone.OutlineStyles(99), gone.CreateRGBColor(-1, 999, 0));
        // Shapes that cannot be drawn are left out; the rest is a valid document.
        const Element root = Parse(gone);
        EXPECT_EQ(root.Layer().Tree(), "ok");
        EXPECT_EQ(root.Find("ok")->Style(), "#00ff00 0.003 none");
        (range = gone.CreateShapeRange())->Add(kept);
        orphan = brief.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1);
    }
    for (const auto& shape : {kept, orphan}) { // the applications are gone; their objects still answer
        shape->SetName("later");
        shape->CreateSelection();
        shape->SetOutlineProperties(0.1, std::nullopt, {1, 2, 3});
        shape->SetFillColor({1, 2, 3});
    }
    EXPECT_TRUE(kept->GetName() == "later" && orphan->GetName() == "later" && app.IdOf(*orphan).empty());
    EXPECT_TRUE(range->Count() == 1 && range->Group() && keptLayer->CreateLineSegment(0, 0, 1, 1));
}

TEST_F(SvgDrawAppTest, SaveWritesTheDocumentOrFailsLeavingTheOldFile) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("drawing.svg").toStdString(),
                      longName = dir.filePath(QString(250, 'n') + ".svg").toStdString();
    const auto read = [](const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::ofstream(file) << "old";
    std::ofstream(longName) << "old drawing";
    Named(layer->CreateLineSegment(0, 0, 1, 2), "Line");
    std::string error;
    ASSERT_TRUE(app.Save(file, error)) << error;
    EXPECT_EQ(read(file), app.ToSvgText());
    EXPECT_TRUE(!app.Save("", error) && error == "No file name given");
    // A path that cannot be written gives a reason. A name at the length limit is saved over
    // like any other, its temporary file beside it having a short name of its own.
    for (const std::string& bad : {dir.filePath("none/x.svg").toStdString(), dir.path().toStdString()}) {
        error.clear();
        EXPECT_FALSE(app.Save(bad, error) || error.empty()) << bad;
    }
    EXPECT_TRUE(app.Save(longName, error) && read(longName) == app.ToSvgText() && QFileInfo(dir.path()).isDir());
}

} // namespace
