// The SVG document builder behind the drawing-program interface: structure of the groups,
// ids and labels, coordinates, outline and fill, stacking order, and what a real SVG reader
// (QtSvg) makes of the result.

#include "platform/svg/SvgDrawApp.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using ov::SvgDrawApp;
using ov::draw::Color;
using ov::draw::Shape;
using ov::draw::ShapeRange;

const char* const kSvgNs = "http://www.w3.org/2000/svg";
const char* const kInkscapeNs = "http://www.inkscape.org/namespaces/inkscape";

// The written document read back into a small element tree.
struct Element {
    std::string name; // qualified name, e.g. "g" or "sodipodi:namedview"
    std::string namespaceUri;
    std::map<std::string, std::string> attributes;          // by qualified name
    std::map<std::string, std::string> attributeNamespaces; // qualified name -> namespace
    std::vector<Element> children;

    bool Has(const std::string& attribute) const { return attributes.count(attribute) != 0; }
    std::string Attr(const std::string& attribute) const {
        const auto it = attributes.find(attribute);
        return it == attributes.end() ? std::string() : it->second;
    }
    double Num(const std::string& attribute) const {
        bool ok = false;
        const double value = QString::fromStdString(Attr(attribute)).toDouble(&ok);
        return ok ? value : std::numeric_limits<double>::quiet_NaN();
    }
};

bool ParseXml(const std::string& text, Element& root, std::string& error) {
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    std::vector<Element*> open;
    bool haveRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            Element element;
            element.name = reader.qualifiedName().toString().toStdString();
            element.namespaceUri = reader.namespaceUri().toString().toStdString();
            for (const auto& a : reader.attributes()) {
                const std::string name = a.qualifiedName().toString().toStdString();
                element.attributes[name] = a.value().toString().toStdString();
                element.attributeNamespaces[name] = a.namespaceUri().toString().toStdString();
            }
            if (open.empty()) {
                root = std::move(element);
                haveRoot = true;
                open.push_back(&root);
            } else {
                open.back()->children.push_back(std::move(element));
                open.push_back(&open.back()->children.back());
            }
        } else if (reader.isEndElement()) {
            open.pop_back();
        }
    }
    if (reader.hasError()) {
        error = reader.errorString().toStdString();
        return false;
    }
    return haveRoot;
}

Element Parse(const SvgDrawApp& app) {
    Element root;
    std::string error;
    EXPECT_TRUE(ParseXml(app.ToSvgText(), root, error)) << error << "\n" << app.ToSvgText();
    return root;
}

const Element* FindById(const Element& element, const std::string& id) {
    if (element.Attr("id") == id) return &element;
    for (const auto& child : element.children)
        if (const Element* found = FindById(child, id)) return found;
    return nullptr;
}

// The drawing layer: the group that Inkscape treats as a layer.
const Element& LayerOf(const Element& root) {
    for (const auto& child : root.children)
        if (child.name == "g" && child.Attr("inkscape:groupmode") == "layer") return child;
    ADD_FAILURE() << "no layer";
    static const Element none;
    return none;
}

void CollectIds(const Element& element, std::vector<std::string>& ids) {
    if (element.Has("id")) ids.push_back(element.Attr("id"));
    for (const auto& child : element.children)
        CollectIds(child, ids);
}

// The children's labels (or element names for unnamed ones), in document order.
std::vector<std::string> ChildLabels(const Element& element) {
    std::vector<std::string> labels;
    for (const auto& child : element.children)
        labels.push_back(child.Has("inkscape:label") ? child.Attr("inkscape:label")
                                                     : "<" + child.name + ">");
    return labels;
}

std::shared_ptr<ShapeRange> RangeOf(SvgDrawApp& app,
                                    std::initializer_list<std::shared_ptr<Shape>> shapes) {
    auto range = app.CreateShapeRange();
    for (const auto& shape : shapes)
        range->Add(shape);
    return range;
}

std::shared_ptr<Shape> Named(std::shared_ptr<Shape> shape, const std::string& name) {
    shape->SetName(name);
    return shape;
}

// QtSvg needs a GUI application object; the test executable's main comes from GoogleTest,
// so the fixture creates one on first use, on the offscreen platform.
class SvgDrawAppTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "test_platform";
            static char* argv[] = {name, nullptr};
            static QGuiApplication* application = new QGuiApplication(argc, argv);
            (void)application;
        }
    }

    // The document drawn at pixelsPerInch on white.
    static QImage Render(const SvgDrawApp& app, double pixelsPerInch) {
        QSvgRenderer renderer(QByteArray::fromStdString(app.ToSvgText()));
        EXPECT_TRUE(renderer.isValid());
        QImage image(static_cast<int>(std::lround(app.PageWidth() * pixelsPerInch)),
                     static_cast<int>(std::lround(app.PageHeight() * pixelsPerInch)),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, image.width(), image.height()));
        return image;
    }

    // The pixel at a point of the page given in inches with y pointing up.
    static QColor PageColor(const QImage& image, const SvgDrawApp& app, double x, double y) {
        const double scale = image.width() / app.PageWidth();
        return image.pixelColor(static_cast<int>(x * scale),
                                static_cast<int>((app.PageHeight() - y) * scale));
    }

    static bool IsDark(const QColor& c) {
        return c.red() < 100 && c.green() < 100 && c.blue() < 100;
    }
    static bool IsWhite(const QColor& c) {
        return c.red() > 240 && c.green() > 240 && c.blue() > 240;
    }
};

TEST_F(SvgDrawAppTest, DocumentDeclaresNamespacesAndPageInInches) {
    SvgDrawApp app;
    const std::string text = app.ToSvgText();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);

    Element root = Parse(app);
    EXPECT_EQ(root.name, "svg");
    EXPECT_EQ(root.namespaceUri, kSvgNs);
    EXPECT_EQ(root.Attr("width"), "8.5in");
    EXPECT_EQ(root.Attr("height"), "11in");
    EXPECT_EQ(root.Attr("viewBox"), "0 0 8.5 11");
    const Element& layer = LayerOf(root);
    EXPECT_EQ(layer.attributeNamespaces.at("inkscape:groupmode"), kInkscapeNs);
    EXPECT_TRUE(layer.children.empty());

    // A4 as the export computes it from metres.
    EXPECT_TRUE(app.SetPageSize(0.21 * 1000 / 25.4, 0.297 * 1000 / 25.4));
    root = Parse(app);
    EXPECT_EQ(root.Attr("width"), "8.267717in");
    EXPECT_EQ(root.Attr("height"), "11.692913in");
    EXPECT_EQ(root.Attr("viewBox"), "0 0 8.267717 11.692913");

    // Sizes no page can have leave the page as it was.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [w, h] :
         std::vector<std::pair<double, double>>{{0, 5}, {5, 0}, {-1, 5}, {nan, 5}, {5, inf}}) {
        EXPECT_FALSE(app.SetPageSize(w, h)) << w << " x " << h;
    }
    EXPECT_NEAR(app.PageWidth(), 8.267717, 1e-6);
    EXPECT_NEAR(app.PageHeight(), 11.692913, 1e-6);
}

TEST_F(SvgDrawAppTest, CoordinatesAreFlippedIntoThePage) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    Named(layer->CreateLineSegment(0, 0, 1, 2), "Line");
    Named(layer->CreateEllipse(4, 3, 1, 2), "Ellipse"); // corners in either order
    Named(layer->CreateRectangle(4, 3, 1, 2), "Rect");

    Element root = Parse(app);
    const Element* line = FindById(root, "Line");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->name, "line");
    EXPECT_DOUBLE_EQ(line->Num("x1"), 0);
    EXPECT_DOUBLE_EQ(line->Num("y1"), 11);
    EXPECT_DOUBLE_EQ(line->Num("x2"), 1);
    EXPECT_DOUBLE_EQ(line->Num("y2"), 9);

    const Element* ellipse = FindById(root, "Ellipse");
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->name, "ellipse");
    EXPECT_DOUBLE_EQ(ellipse->Num("cx"), 2.5);
    EXPECT_DOUBLE_EQ(ellipse->Num("cy"), 8.5);
    EXPECT_DOUBLE_EQ(ellipse->Num("rx"), 1.5);
    EXPECT_DOUBLE_EQ(ellipse->Num("ry"), 0.5);

    const Element* rect = FindById(root, "Rect");
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->name, "rect");
    EXPECT_DOUBLE_EQ(rect->Num("x"), 1);
    EXPECT_DOUBLE_EQ(rect->Num("y"), 8);
    EXPECT_DOUBLE_EQ(rect->Num("width"), 3);
    EXPECT_DOUBLE_EQ(rect->Num("height"), 1);

    // A reader places them where the page coordinates say, y measured from the top.
    QSvgRenderer renderer(QByteArray::fromStdString(app.ToSvgText()));
    ASSERT_TRUE(renderer.isValid());
    const QRectF lineBounds = renderer.boundsOnElement("Line");
    EXPECT_NEAR(lineBounds.left(), 0, 0.01);
    EXPECT_NEAR(lineBounds.top(), 9, 0.01);
    EXPECT_NEAR(lineBounds.right(), 1, 0.01);
    EXPECT_NEAR(lineBounds.bottom(), 11, 0.01);
    const QRectF rectBounds = renderer.boundsOnElement("Rect");
    EXPECT_NEAR(rectBounds.left(), 1, 0.01);
    EXPECT_NEAR(rectBounds.top(), 8, 0.01);
    EXPECT_NEAR(rectBounds.width(), 3, 0.01);
    EXPECT_NEAR(rectBounds.height(), 1, 0.01);

    // The flip follows the page height in force when the document is written.
    ASSERT_TRUE(app.SetPageSize(5, 4));
    root = Parse(app);
    EXPECT_DOUBLE_EQ(FindById(root, "Line")->Num("y1"), 4);
    EXPECT_DOUBLE_EQ(FindById(root, "Line")->Num("y2"), 2);
    EXPECT_DOUBLE_EQ(FindById(root, "Rect")->Num("y"), 1);
}

TEST_F(SvgDrawAppTest, LineDrawnNearTheBottomLeftCornerOfThePage) {
    SvgDrawApp app;
    auto line = app.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 2);
    line->SetOutlineProperties(0.1, std::nullopt, app.CreateRGBColor(0, 0, 0));
    const QImage image = Render(app, 20);
    ASSERT_EQ(image.size(), QSize(170, 220));
    EXPECT_TRUE(IsDark(PageColor(image, app, 0.5, 1.0)));   // on the line
    EXPECT_TRUE(IsWhite(PageColor(image, app, 0.5, 10.0))); // its mirror image at the top
    EXPECT_TRUE(IsWhite(PageColor(image, app, 1.0, 0.5)));  // beside it
}

TEST_F(SvgDrawAppTest, NestedNamedGroups) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    auto top = app.CreateShapeRange();

    // A group of groups.
    auto wall1 = layer->CreateLineSegment(0, 0, 0, 1);
    auto wall2 = layer->CreateLineSegment(1, 0, 1, 1);
    auto walls = RangeOf(app, {wall1, wall2})->Group();
    ASSERT_NE(walls, nullptr);
    walls->SetName("Walls");
    auto window = layer->CreateEllipse(0.2, 0.2, 0.4, 0.4);
    auto door = layer->CreateRectangle(0.6, 0, 0.8, 0.5);
    auto openings = Named(RangeOf(app, {window, door})->Group(), "Openings");
    auto house = Named(RangeOf(app, {walls, openings})->Group(), "House");
    top->Add(house);

    // A range of one shape grouped anyway (a caller would normally use the shape itself).
    auto tree = Named(layer->CreateEllipse(2, 0, 3, 1), "Tree");
    auto single = RangeOf(app, {tree});
    auto treeGroup = single->Group();
    ASSERT_NE(treeGroup, nullptr);
    EXPECT_NE(treeGroup, tree);
    treeGroup->SetName("Garden");
    EXPECT_EQ(tree->GetName(), "Tree");
    EXPECT_EQ(single->Count(), 1);
    EXPECT_EQ(single->Item(1), tree);

    // An empty range has nothing to group and leaves the document alone.
    const std::string before = app.ToSvgText();
    auto empty = app.CreateShapeRange();
    EXPECT_EQ(empty->Count(), 0);
    EXPECT_EQ(empty->Item(1), nullptr);
    EXPECT_EQ(empty->Group(), nullptr);
    EXPECT_EQ(app.ToSvgText(), before);

    const Element root = Parse(app);
    const Element& layerElement = LayerOf(root);
    EXPECT_EQ(ChildLabels(layerElement), (std::vector<std::string>{"House", "Garden"}));
    const Element* houseElement = FindById(root, "House");
    ASSERT_NE(houseElement, nullptr);
    EXPECT_EQ(houseElement->name, "g");
    EXPECT_EQ(ChildLabels(*houseElement), (std::vector<std::string>{"Walls", "Openings"}));
    const Element* wallsElement = FindById(root, "Walls");
    ASSERT_NE(wallsElement, nullptr);
    EXPECT_EQ(ChildLabels(*wallsElement), (std::vector<std::string>{"<line>", "<line>"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "Openings")),
              (std::vector<std::string>{"<ellipse>", "<rect>"}));
    const Element* garden = FindById(root, "Garden");
    ASSERT_NE(garden, nullptr);
    ASSERT_EQ(garden->children.size(), 1u);
    EXPECT_EQ(garden->children[0].Attr("id"), "Tree");

    // A real reader finds every named group and the shapes under them.
    QSvgRenderer renderer(QByteArray::fromStdString(app.ToSvgText()));
    ASSERT_TRUE(renderer.isValid());
    for (const char* id : {"House", "Walls", "Openings", "Garden", "Tree"})
        EXPECT_TRUE(renderer.elementExists(id)) << id;
    const QRectF houseBounds = renderer.boundsOnElement("House");
    EXPECT_NEAR(houseBounds.left(), 0, 0.01);
    EXPECT_NEAR(houseBounds.right(), 1, 0.01);
    EXPECT_NEAR(houseBounds.top(), 10, 0.01);
    EXPECT_NEAR(houseBounds.bottom(), 11, 0.01);
}

TEST_F(SvgDrawAppTest, RangesCollectDistinctShapesOfTheirOwnDocument) {
    SvgDrawApp app, other;
    auto layer = app.ActiveDocument()->ActiveLayer();
    auto a = layer->CreateLineSegment(0, 0, 1, 1);
    auto b = layer->CreateRectangle(0, 0, 1, 1);
    auto foreign = other.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1);

    auto range = app.CreateShapeRange();
    range->Add(a);
    range->Add(nullptr);
    range->Add(a);
    range->Add(foreign);
    range->Add(b);
    EXPECT_EQ(range->Count(), 2);
    EXPECT_EQ(range->Item(1), a);
    EXPECT_EQ(range->Item(2), b);
    EXPECT_EQ(range->Item(0), nullptr);
    EXPECT_EQ(range->Item(3), nullptr);
    EXPECT_EQ(range->Item(-1), nullptr);

    range->Group();
    EXPECT_EQ(LayerOf(Parse(other)).children.size(), 1u); // the foreign shape stayed home
    const Element root = Parse(app);
    const Element& layerElement = LayerOf(root);
    ASSERT_EQ(layerElement.children.size(), 1u);
    EXPECT_EQ(layerElement.children[0].children.size(), 2u);
}

TEST_F(SvgDrawAppTest, IdsAreValidAndUniqueAndLabelsKeepTheExactName) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    const std::vector<std::string> names = {
        "House",        "House", "a b<c>", "1st", "layer1", "Tab\there \"q\" & 'x'\nline2",
        "H\xC3\xA4user"};
    std::vector<std::shared_ptr<Shape>> shapes;
    for (const auto& name : names)
        shapes.push_back(Named(layer->CreateLineSegment(0, 0, 1, 1), name));
    auto group = Named(RangeOf(app, {shapes[0], shapes[1]})->Group(), "House");

    EXPECT_EQ(app.IdOf(*shapes[0]), "House");
    EXPECT_EQ(app.IdOf(*shapes[1]), "House-2");
    EXPECT_EQ(app.IdOf(*shapes[2]), "a_b_c_");
    EXPECT_EQ(app.IdOf(*shapes[3]), "_1st");
    EXPECT_EQ(app.IdOf(*group), "House-3");

    const Element root = Parse(app);
    std::vector<std::string> ids;
    CollectIds(root, ids);
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size()) << "duplicate ids";
    const QRegularExpression validId("^[A-Za-z_][A-Za-z0-9._-]*$");
    for (const auto& id : ids)
        EXPECT_TRUE(validId.match(QString::fromStdString(id)).hasMatch()) << id;

    for (std::size_t i = 0; i < shapes.size(); ++i) {
        EXPECT_EQ(shapes[i]->GetName(), names[i]);
        const Element* element = FindById(root, app.IdOf(*shapes[i]));
        ASSERT_NE(element, nullptr) << names[i];
        EXPECT_EQ(element->Attr("inkscape:label"), names[i]);
        EXPECT_EQ(element->attributeNamespaces.at("inkscape:label"), kInkscapeNs);
    }
    EXPECT_EQ(FindById(root, "House-3")->Attr("inkscape:label"), "House");

    // Renaming gives up the old id; an empty name removes id and label.
    shapes[0]->SetName("Barn");
    EXPECT_EQ(app.IdOf(*shapes[0]), "Barn");
    auto again = Named(layer->CreateLineSegment(0, 0, 1, 1), "House");
    EXPECT_EQ(app.IdOf(*again), "House");
    shapes[2]->SetName("");
    EXPECT_EQ(shapes[2]->GetName(), "");
    EXPECT_EQ(app.IdOf(*shapes[2]), "");
    const Element after = Parse(app);
    EXPECT_EQ(FindById(after, "a_b_c_"), nullptr);
    const auto labelled = ChildLabels(LayerOf(after));
    EXPECT_EQ(std::count(labelled.begin(), labelled.end(), "a b<c>"), 0);

    QSvgRenderer renderer(QByteArray::fromStdString(app.ToSvgText()));
    ASSERT_TRUE(renderer.isValid());
    for (const char* id : {"Barn", "House", "House-2", "House-3", "_1st"})
        EXPECT_TRUE(renderer.elementExists(id)) << id;
}

TEST_F(SvgDrawAppTest, OutlineAndFill) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    const Color red = app.CreateRGBColor(255, 0, 0);
    auto plain = Named(layer->CreateLineSegment(0, 0, 1, 0), "plain");
    auto thick = Named(layer->CreateLineSegment(0, 0, 1, 0), "thick");
    thick->SetOutlineProperties(0.02, app.OutlineStyles(0), red);
    auto hair = Named(layer->CreateLineSegment(0, 0, 1, 0), "hair");
    hair->SetOutlineProperties(0, std::nullopt, app.CreateRGBColor(0, 0, 255));
    auto dashHair = Named(layer->CreateLineSegment(0, 0, 1, 0), "dashHair");
    dashHair->SetOutlineProperties(0, app.OutlineStyles(12), red);
    auto dashWide = Named(layer->CreateLineSegment(0, 0, 1, 0), "dashWide");
    dashWide->SetOutlineProperties(0.2, app.OutlineStyles(12), red);
    auto dotHair = Named(layer->CreateLineSegment(0, 0, 1, 0), "dotHair");
    dotHair->SetOutlineProperties(0.003, app.OutlineStyles(2), red);
    auto dashThenSolid = Named(layer->CreateLineSegment(0, 0, 1, 0), "dashThenSolid");
    dashThenSolid->SetOutlineProperties(0.01, app.OutlineStyles(12), red);
    dashThenSolid->SetOutlineProperties(0.01, app.OutlineStyles(0), red);
    auto none = Named(layer->CreateRectangle(0, 0, 1, 1), "none");
    none->SetOutlineNone();
    none->SetFillColor(app.CreateRGBColor(0, 128, 255));
    auto restored = Named(layer->CreateEllipse(0, 0, 1, 1), "restored");
    restored->SetOutlineNone();
    restored->SetOutlineProperties(0.05, std::nullopt, red);

    const Element root = Parse(app);
    const auto E = [&](const char* id) {
        const Element* e = FindById(root, id);
        EXPECT_NE(e, nullptr) << id;
        static const Element missing;
        return e ? *e : missing;
    };
    // A new shape: black hairline, no fill.
    EXPECT_EQ(E("plain").Attr("stroke"), "#000000");
    EXPECT_EQ(E("plain").Num("stroke-width"), 0.003);
    EXPECT_EQ(E("plain").Attr("fill"), "none");
    EXPECT_FALSE(E("plain").Has("stroke-dasharray"));

    EXPECT_EQ(E("thick").Attr("stroke"), "#ff0000");
    EXPECT_EQ(E("thick").Num("stroke-width"), 0.02);
    EXPECT_FALSE(E("thick").Has("stroke-dasharray"));
    // Zero width still draws, as the thinnest line.
    EXPECT_EQ(E("hair").Attr("stroke"), "#0000ff");
    EXPECT_EQ(E("hair").Num("stroke-width"), 0.003);

    const auto dashes = [](const Element& e) {
        std::vector<double> values;
        std::istringstream in(e.Attr("stroke-dasharray"));
        std::string item;
        while (std::getline(in, item, ','))
            values.push_back(std::stod(item));
        return values;
    };
    const auto hairDash = dashes(E("dashHair")), wideDash = dashes(E("dashWide")),
               dot = dashes(E("dotHair"));
    ASSERT_EQ(hairDash.size(), 2u);
    ASSERT_EQ(wideDash.size(), 2u);
    ASSERT_EQ(dot.size(), 2u);
    EXPECT_EQ(E("dashHair").Num("stroke-width"), 0.003);
    // A dashed hairline still shows dashes and gaps of a size one sees on paper.
    EXPECT_GE(hairDash[0], 0.02);
    EXPECT_GE(hairDash[1], 0.01);
    // Wide dashes are longer than the line is wide, and grow with it.
    EXPECT_GE(wideDash[0], 2 * 0.2);
    EXPECT_GT(wideDash[0], hairDash[0]);
    EXPECT_GT(wideDash[1], hairDash[1]);
    // Dots are shorter than dashes.
    EXPECT_LT(dot[0], hairDash[0]);
    EXPECT_FALSE(E("dashThenSolid").Has("stroke-dasharray"));

    EXPECT_EQ(E("none").Attr("stroke"), "none");
    EXPECT_FALSE(E("none").Has("stroke-width"));
    EXPECT_EQ(E("none").Attr("fill"), "#0080ff");
    EXPECT_EQ(E("restored").Attr("stroke"), "#ff0000");
    EXPECT_EQ(E("restored").Num("stroke-width"), 0.05);
}

TEST_F(SvgDrawAppTest, OutlineAndFillOfAGroupReachEveryShapeInside) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    auto a = Named(layer->CreateRectangle(0, 0, 1, 1), "a");
    auto b = Named(layer->CreateEllipse(0, 0, 1, 1), "b");
    auto c = Named(layer->CreateLineSegment(0, 0, 1, 1), "c");
    auto inner = RangeOf(app, {b, c})->Group();
    auto outer = Named(RangeOf(app, {a, inner})->Group(), "outer");
    outer->SetOutlineProperties(0.04, app.OutlineStyles(2), app.CreateRGBColor(0, 255, 0));
    outer->SetFillColor(app.CreateRGBColor(1, 2, 3));

    Element root = Parse(app);
    for (const char* id : {"a", "b", "c"}) {
        const Element* e = FindById(root, id);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Attr("stroke"), "#00ff00") << id;
        EXPECT_EQ(e->Num("stroke-width"), 0.04) << id;
        EXPECT_TRUE(e->Has("stroke-dasharray")) << id;
        EXPECT_EQ(e->Attr("fill"), "#010203") << id;
    }
    EXPECT_FALSE(FindById(root, "outer")->Has("stroke"));

    outer->SetOutlineNone();
    root = Parse(app);
    for (const char* id : {"a", "b", "c"})
        EXPECT_EQ(FindById(root, id)->Attr("stroke"), "none") << id;
}

TEST_F(SvgDrawAppTest, GroupingKeepsTheStackingOrder) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    auto a = Named(layer->CreateLineSegment(0, 0, 1, 1), "a");
    auto b = Named(layer->CreateLineSegment(0, 0, 1, 1), "b");
    auto c = Named(layer->CreateLineSegment(0, 0, 1, 1), "c");
    auto d = Named(layer->CreateLineSegment(0, 0, 1, 1), "d");
    auto e = Named(layer->CreateLineSegment(0, 0, 1, 1), "e");

    // Listed out of order: the shapes keep their stacking and the group takes the place of
    // the lowest.
    auto g1 = Named(RangeOf(app, {d, b})->Group(), "G1");
    Element root = Parse(app);
    EXPECT_EQ(ChildLabels(LayerOf(root)), (std::vector<std::string>{"a", "G1", "c", "e"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G1")), (std::vector<std::string>{"b", "d"}));

    auto g2 = Named(RangeOf(app, {g1, a})->Group(), "G2");
    root = Parse(app);
    EXPECT_EQ(ChildLabels(LayerOf(root)), (std::vector<std::string>{"G2", "c", "e"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G2")), (std::vector<std::string>{"a", "G1"}));

    // A shape taken out of a nested group together with one from the layer: the new group
    // sits where the lower one, inside the nested group, was.
    Named(RangeOf(app, {e, b})->Group(), "G3");
    root = Parse(app);
    EXPECT_EQ(ChildLabels(LayerOf(root)), (std::vector<std::string>{"G2", "c"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G1")), (std::vector<std::string>{"G3", "d"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G3")), (std::vector<std::string>{"b", "e"}));

    // A group listed with a shape of its own: both move, no group ends up inside itself.
    Named(RangeOf(app, {d, g1})->Group(), "G4");
    root = Parse(app);
    EXPECT_EQ(ChildLabels(*FindById(root, "G2")), (std::vector<std::string>{"a", "G4"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G4")), (std::vector<std::string>{"G1", "d"}));
    EXPECT_EQ(ChildLabels(*FindById(root, "G1")), (std::vector<std::string>{"G3"}));
    EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(app.ToSvgText())).isValid());

    // Seen on the page: of two overlapping squares the later one stays on top.
    SvgDrawApp paint;
    auto paintLayer = paint.ActiveDocument()->ActiveLayer();
    auto under = paintLayer->CreateRectangle(1, 1, 3, 3);
    under->SetFillColor(paint.CreateRGBColor(255, 0, 0));
    auto over = paintLayer->CreateRectangle(2, 2, 4, 4);
    over->SetFillColor(paint.CreateRGBColor(0, 0, 255));
    RangeOf(paint, {over, under})->Group();
    const QColor middle = PageColor(Render(paint, 20), paint, 2.5, 2.5);
    EXPECT_EQ(middle, QColor(0, 0, 255));
}

TEST_F(SvgDrawAppTest, RenderedStrokes) {
    SvgDrawApp app;
    ASSERT_TRUE(app.SetPageSize(4, 3));
    auto layer = app.ActiveDocument()->ActiveLayer();
    const Color black = app.CreateRGBColor(0, 0, 0);
    auto solid = layer->CreateLineSegment(0.5, 2.5, 3.5, 2.5);
    solid->SetOutlineProperties(0.05, app.OutlineStyles(0), black);
    auto dashed = layer->CreateLineSegment(0.5, 1.5, 3.5, 1.5);
    dashed->SetOutlineProperties(0.05, app.OutlineStyles(12), black);
    auto hidden = layer->CreateLineSegment(0.5, 0.5, 3.5, 0.5);
    hidden->SetOutlineProperties(0.05, app.OutlineStyles(0), black);
    hidden->SetOutlineNone();

    const QImage image = Render(app, 50);
    int solidDark = 0, dashedDark = 0, hiddenDark = 0, samples = 0;
    for (double x = 0.6; x < 3.4; x += 0.02, ++samples) {
        solidDark += IsDark(PageColor(image, app, x, 2.5));
        dashedDark += IsDark(PageColor(image, app, x, 1.5));
        hiddenDark += IsDark(PageColor(image, app, x, 0.5));
    }
    EXPECT_EQ(solidDark, samples);
    EXPECT_GT(dashedDark, samples / 4);      // dashes ...
    EXPECT_LT(dashedDark, samples * 9 / 10); // ... and gaps
    EXPECT_EQ(hiddenDark, 0);
}

TEST_F(SvgDrawAppTest, SelectionIsTheLastShapeSelected) {
    SvgDrawApp app;
    auto layer = app.ActiveDocument()->ActiveLayer();
    EXPECT_TRUE(app.Selection().empty());
    auto a = layer->CreateLineSegment(0, 0, 1, 1);
    auto b = layer->CreateLineSegment(0, 0, 1, 1);
    auto group = RangeOf(app, {a, b})->Group();
    group->CreateSelection();
    EXPECT_EQ(app.Selection(), (std::vector<std::shared_ptr<Shape>>{group}));
    a->CreateSelection();
    EXPECT_EQ(app.Selection(), (std::vector<std::shared_ptr<Shape>>{a}));
}

TEST_F(SvgDrawAppTest, BadInputAndObjectsThatOutliveTheApplication) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::shared_ptr<Shape> kept;
    std::shared_ptr<ShapeRange> range;
    std::shared_ptr<ov::draw::Layer> layer;
    {
        SvgDrawApp app;
        layer = app.ActiveDocument()->ActiveLayer();
        EXPECT_EQ(layer, app.ActiveDocument()->ActiveLayer());
        Named(layer->CreateLineSegment(nan, 0, 1, 1), "nanLine");
        Named(layer->CreateEllipse(0, inf, 1, 1), "infEllipse");
        auto ok = Named(layer->CreateRectangle(0, 0, 1, 1), "ok");
        ok->SetOutlineProperties(nan, app.OutlineStyles(99), app.CreateRGBColor(-1, 999, 0));
        // Shapes that cannot be drawn are left out; the rest is a valid document.
        const Element root = Parse(app);
        EXPECT_EQ(FindById(root, "nanLine"), nullptr);
        EXPECT_EQ(FindById(root, "infEllipse"), nullptr);
        ASSERT_NE(FindById(root, "ok"), nullptr);
        EXPECT_EQ(FindById(root, "ok")->Attr("stroke"), "#00ff00");
        EXPECT_EQ(FindById(root, "ok")->Num("stroke-width"), 0.003);
        EXPECT_FALSE(FindById(root, "ok")->Has("stroke-dasharray"));
        EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(app.ToSvgText())).isValid());

        kept = ok;
        range = RangeOf(app, {ok});
    }
    // The application is gone; its objects still answer without harm.
    kept->SetName("later");
    EXPECT_EQ(kept->GetName(), "later");
    kept->CreateSelection();
    kept->SetOutlineNone();
    EXPECT_EQ(range->Count(), 1);
    EXPECT_NE(range->Group(), nullptr);
    EXPECT_NE(layer->CreateLineSegment(0, 0, 1, 1), nullptr);

    // A shape whose whole document is gone.
    std::shared_ptr<Shape> orphan;
    {
        SvgDrawApp app;
        orphan = app.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1);
    }
    orphan->SetName("orphan");
    orphan->CreateSelection();
    orphan->SetOutlineProperties(0.1, std::nullopt, {1, 2, 3});
    orphan->SetFillColor({1, 2, 3});
    EXPECT_EQ(orphan->GetName(), "orphan");
    SvgDrawApp fresh;
    auto freshRange = fresh.CreateShapeRange();
    freshRange->Add(orphan);
    EXPECT_EQ(freshRange->Count(), 0);
}

// A scratch directory removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/svgdrawXXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "";
    }
    ~ScratchDir() {
        if (path_.empty()) return;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            if (entry.is_directory(ignored))
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST_F(SvgDrawAppTest, SaveWritesTheDocumentOrFailsLeavingTheOldFile) {
    ScratchDir dir;
    ASSERT_FALSE(dir.Path().empty());
    SvgDrawApp app;
    Named(app.ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 2), "Line");

    std::string error;
    const std::string good = dir.Path() + "/drawing.svg";
    WriteAll(good, "old");
    ASSERT_TRUE(app.Save(good, error)) << error;
    EXPECT_EQ(ReadAll(good), app.ToSvgText());
    QSvgRenderer renderer(QString::fromStdString(good));
    EXPECT_TRUE(renderer.isValid());
    EXPECT_TRUE(renderer.elementExists("Line"));

    // Paths that cannot be written: each gives a reason.
    const std::string plainFile = dir.Path() + "/plain";
    WriteAll(plainFile, "x");
    for (const std::string& bad : {std::string(), dir.Path() + "/missing/drawing.svg",
                                   plainFile + "/drawing.svg", dir.Path()}) {
        error.clear();
        EXPECT_FALSE(app.Save(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    struct stat st {};
    EXPECT_EQ(::stat(dir.Path().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    // An existing file whose replacement cannot be created keeps its content. A name at the
    // length limit leaves no room for a temporary name beside it, even for the superuser.
    const std::string longName = dir.Path() + "/" + std::string(250, 'n') + ".svg";
    WriteAll(longName, "old drawing");
    ASSERT_EQ(ReadAll(longName), "old drawing");
    error.clear();
    EXPECT_FALSE(app.Save(longName, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(longName), "old drawing");

    if (::geteuid() != 0) { // a read-only folder stops only ordinary users
        const std::string locked = dir.Path() + "/locked";
        ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
        WriteAll(locked + "/drawing.svg", "old drawing");
        ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
        error.clear();
        EXPECT_FALSE(app.Save(locked + "/drawing.svg", error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadAll(locked + "/drawing.svg"), "old drawing");
    }
}

} // namespace
