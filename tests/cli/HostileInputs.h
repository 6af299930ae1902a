#pragma once
// Project files of the kinds that once exhausted memory or time: curves with absurd
// flatness, functions of very many points or over huge ranges, formulas of very many terms,
// plain files of very many lines. The tests write them small; the benchmark writes them at
// full size (bench/hostile_inputs.cpp).

#include <cstdio>
#include <fstream>
#include <string>

namespace ov::hostile {

inline std::string Node(const std::string& record) {
    return "  Child{N} = {\r\n    Name = \r\n" + record + "  }\r\n";
}

inline std::string IdentityMatrix() {
    return "      Matrix = {\r\n        RefPoint = {\r\n          x = 0\r\n          y = 0\r\n          z = 0\r\n        }\r\n"
           "        d11 = 1\r\n        d12 = 0\r\n        d13 = 0\r\n        d21 = 0\r\n        d22 = 1\r\n"
           "        d23 = 0\r\n        d31 = 0\r\n        d32 = 0\r\n        d33 = 1\r\n      }\r\n";
}

inline std::string Ellipse(long flatness) {
    return "    NodeType = 3\r\n    Ellipse = {\r\n" + IdentityMatrix() +
           "      RadiusX = 2\r\n      RadiusY = 1\r\n      StartAngle = 0\r\n      EndAngle = 0\r\n"
           "      Flatness = " + std::to_string(flatness) + "\r\n    }\r\n";
}

inline std::string Bezier(long flatness) {
    auto point = [](const char* name, int x, int y) {
        return std::string("      ") + name + " = {\r\n        x = " + std::to_string(x) + "\r\n        y = " +
               std::to_string(y) + "\r\n        z = 0\r\n      }\r\n";
    };
    return "    NodeType = 4\r\n    Bezier = {\r\n" + point("Point1", 0, 0) + point("Point2", 1, 2) +
           point("Point3", 3, 2) + point("Point4", 4, 0) + "      Flatness = " + std::to_string(flatness) +
           "\r\n    }\r\n";
}

// A function object from t = from to t = to in steps of step, x(t) given by xBody.
inline std::string Function(double from, double to, double step, const std::string& xBody = "t") {
    auto number = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", v);
        return std::string(text);
    };
    return "    NodeType = 5\r\n    Function = {\r\n" + IdentityMatrix() + "      TFrom = " + number(from) +
           "\r\n      TTo = " + number(to) + "\r\n      TStep = " + number(step) +
           "\r\n      FncCount = 3\r\n      Fnc1 = x;1;t;" + xBody + ";\r\n      Fnc2 = y;1;t;SIN(t);\r\n"
           "      Fnc3 = z;1;t;0;\r\n    }\r\n";
}

inline std::string Line(long i) {
    const std::string a = std::to_string(i % 1000), b = std::to_string(i / 1000);
    return "    NodeType = 1\r\n    Line = {\r\n      StartPoint = {\r\n        x = " + a + "\r\n        y = " + b +
           "\r\n        z = 0\r\n      }\r\n      EndPoint = {\r\n        x = " + b + "\r\n        y = " + a +
           "\r\n        z = 1\r\n      }\r\n    }\r\n";
}

// The view volume of a new project (the camera is left unset: these inputs are drawn in the
// orthographic views).
inline const char* Settings() {
    return "ViewVolumeMin = {\r\n  x = -20\r\n  y = -20\r\n  z = -20\r\n}\r\n"
           "ViewVolumeMax = {\r\n  x = 20\r\n  y = 20\r\n  z = 20\r\n}\r\n";
}

// A project of count nodes, the i-th made by record(i), written straight to path so that
// files of hundreds of megabytes never sit in memory.
template <typename Record>
bool WriteProject(const std::string& path, long count, Record record) {
    std::ofstream out(path, std::ios::binary);
    out << "Name = Hostile\r\nTree = {\r\n  Name = Hostile\r\n  NodeType = 0\r\n  ChildCount = " << count << "\r\n";
    for (long i = 1; i <= count; ++i) {
        std::string node = Node(record(i));
        node.replace(node.find("{N}"), 3, std::to_string(i));
        out << node;
    }
    out << "}\r\n" << Settings();
    return static_cast<bool>(out);
}

// "1+1+...+1": a formula of terms terms, which no macro loop paces.
inline std::string ManyTerms(long terms) {
    std::string body = "1";
    body.reserve(static_cast<std::size_t>(terms) * 2 + 1);
    for (long i = 1; i < terms; ++i) body += "+1";
    return body;
}

} // namespace ov::hostile
