#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Prompt.h"
#include "scene/clsScene.h"

using namespace ov;

namespace {

std::string TempPath(const std::string& name) { return testing::TempDir() + "/" + name; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The model house file, as lines without their CR LF.
std::vector<std::string> HouseLines() {
    const std::string path = TempPath("house.ovp");
    clsScene().SaveScene(path);
    std::vector<std::string> lines;
    const std::string text = ReadFile(path);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// Line objects and groups below the root.
std::pair<int, int> Objects(const clsNode& node) {
    std::pair<int, int> n{node.NodeType == clsNode::Line, node.NodeType == clsNode::Group};
    for (const clsNode* c = node.FirstChild(); c; c = c->NextSibling()) {
        const auto [lines, groups] = Objects(*c);
        n.first += lines, n.second += groups;
    }
    return n;
}

std::string Utf16(const std::string& text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "";
    for (const char c : text) out += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
}

} // namespace

// Damaged forms of the model house (1,206 lines: the tree from line 2 to 1,098, then the
// settings, "ViewVolumeMin" at 1,140): each fails with its own message, and where objects
// come before the damage, the question offers them.
TEST(DamagedProject, EachDamageIsNamedAndWhatComesBeforeItCanBeOpened) {
    const std::vector<std::string> house = HouseLines();
    ASSERT_EQ(house.size(), 1206u);
    auto without = [&](std::size_t line) { auto l = house; return l.erase(l.begin() + long(line) - 1), Joined(l); };
    auto after = [&](std::size_t line, const std::string& text) {
        auto l = house;
        return l.insert(l.begin() + long(line), text), Joined(l);
    };
    auto first = [&](std::size_t count) { return Joined({house.begin(), house.begin() + long(count)}); };
    auto changed = [&](std::size_t line, const std::string& text) { auto l = house; return l[line - 1] = text, Joined(l); };
    const std::string all = Joined(house), cutBrace = "'}' expected to close the record ";
    const std::string noVolume = "the records 'ViewVolumeMin' and 'ViewVolumeMax' are missing: the grid spacing is "
                                 "derived from the view volume";
    const struct {
        std::string text, detail;
        int lines, groups; // what a recovery gives; -1: nothing is offered
    } cases[] = {
        {"", "the file is empty", -1, 0},
        {"\r\n  \r\n\r\n", "the file holds only blank lines", -1, 0},
        {"\xEF\xBB\xBF", "the file is empty", -1, 0},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20), "the file is a PNG picture, not text", -1, 0},
        {Utf16(all, true), "the file holds UTF-16 text, not 8-bit text", 47, 10},
        {Utf16(all, false), "the file holds UTF-16 text, not 8-bit text", 47, 10},
        {Utf16(first(113), true), "line 114: " + cutBrace + "'Child1' begun at line 11", 4, 2},
        {all + std::string(512, '\0'), "line 1,207: binary data where text was expected", 47, 10},
        {first(1098), noVolume, 47, 10},
        {first(1), noVolume, -1, 0},
        {first(40), "line 41: " + cutBrace + "'StartPoint' begun at line 38", 0, 2},
        {first(113) + "    Chi", "line 114: the file ends in the middle of the line", 4, 2},
        {without(1098), "line 1,098: " + cutBrace + "'Tree' begun at line 2", 47, 10},
        {without(49), "line 49: " + cutBrace + "'Child1' begun at line 29", 1, 2}, // a line lacking only its "}"
        {changed(11, "  Child1 = "), "line 11: '{' expected after 'Child1 ='", -1, 0},
        {after(40, "            }"), "line 41: unexpected '}' in the record 'StartPoint' begun at line 38", 0, 2},
        {all + "}\r\n", "line 1,207: '}' found where no record is open", 47, 10},
        {after(5, "  oops"), "line 6: 'Key = value' or 'Key = {' expected", -1, 0},
        {changed(1146, "  x = -20"), "line 1,140: the view volume from (-20, -20, -20) to (-20, 20, 20) has no extent "
                                     "along x: the grid spacing is derived from it", -1, 0},
        {Joined(house, "\r"), "", 47, 10}, // old Macintosh line ends read as line ends
        {Joined(house, "\n"), "", 47, 10},
        {"\xEF\xBB\xBF" + all, "", 47, 10},
    };
    const std::string path = TempPath("damaged.ovp");
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        RecordingPrompt prompt;
        ScopedPrompt installed(prompt);
        EXPECT_EQ(clsScene().LoadScene(path, false), c.detail.empty()) << c.detail;
        EXPECT_EQ(prompt.Messages.empty() ? "" : prompt.LastText(),
                  c.detail.empty() ? "" : "Unable to load the project '" + path + "':\r" + c.detail);
        std::vector<std::string> asked;
        clsScene scene;
        const bool opened = scene.LoadScene(path, false, [&](const std::string& damage) {
            asked.push_back(damage);
            return true;
        });
        EXPECT_EQ(asked, c.lines < 0 || c.detail.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.detail});
        if (c.lines < 0) continue;
        const bool whole = c.detail.empty();
        EXPECT_EQ(std::tuple(opened, Objects(*scene.GetRootNode()), scene.Modified, scene.FileName),
                  std::tuple(true, std::pair(c.lines, c.groups), !whole, whole ? path : "")) << c.detail;
    }
}

TEST(DamagedProject, WhatWasNotTakenLeavesTheSceneAloneAndAnImportTakesTheObjectsBeforeTheDamage) {
    const std::vector<std::string> house = HouseLines();
    const std::string path = TempPath("cut.ovp");
    std::ofstream(path, std::ios::binary) << Joined({house.begin(), house.begin() + 113});
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene declined, importing;
    EXPECT_FALSE(declined.LoadScene(path, false, [](const std::string&) { return false; }));
    EXPECT_EQ(Objects(*declined.GetRootNode()), std::pair(47, 10)); // the house it started with
    EXPECT_TRUE(importing.LoadScene(path, true, [](const std::string&) { return true; }));
    EXPECT_EQ(Objects(*importing.GetRootNode()), std::pair(47 + 4, 10 + 2));
    EXPECT_EQ(prompt.Messages.size(), 0u);
}
