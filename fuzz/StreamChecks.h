#pragma once
// Properties of the record readers and writers that must hold for every input text.
// The fuzzer runs them on generated inputs; the io tests replay the inputs the fuzzer
// once failed on. CheckInput returns "" when every property holds and otherwise a
// description of the first one that broke.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "io/LineList.h"
#include "io/NumberText.h"
#include "io/clsOldStream.h"
#include "io/clsStream.h"

namespace ov::checks {

inline std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

inline std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (const unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out + "\"";
}

// The unescaping rule written as the successive whole-text replacements it is defined
// by, to compare the single-pass implementation against.
inline std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}

inline std::string ReferenceUnescape(std::string_view text) {
    std::string s(text);
    s = ReplaceAll(s, "\\\\", std::string(1, '\0'));
    s = ReplaceAll(s, "\\r", "\r");
    s = ReplaceAll(s, "\\n", "\n");
    s = ReplaceAll(s, "\\t", "\t");
    return ReplaceAll(s, std::string(1, '\0'), "\\");
}

// Strict numeric text: [sign] digits [. digits] or [sign] . digits, then an optional
// exponent [EeDd] [sign] digits. Everything in it is part of the number.
inline bool IsStrictNumber(std::string_view s) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        return i - start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t n = digits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        n += digits();
    }
    if (n == 0) return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == s.size();
}

// strtod in the "C" locale, with the D exponent letter and saturation at the largest double.
inline double ReferenceNumber(std::string_view strict) {
    std::string s(strict);
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'e';
    double v = std::strtod(s.c_str(), nullptr);
    if (std::isinf(v)) v = v > 0 ? DBL_MAX : -DBL_MAX;
    return v;
}

// Shape of every parsed item: what the line syntax allows to come out of a text.
inline std::string CheckParsedShape(const clsStream& root) {
    std::vector<const clsStream*> pending{&root};
    while (!pending.empty()) {
        const clsStream* s = pending.back();
        pending.pop_back();
        for (const clsStreamItem& item : s->Items) {
            if (item.Key().empty() || item.Key().find('=') != std::string::npos || TrimBlanks(item.Key()) != item.Key())
                return "parsed key " + Quote(item.Key()) + " is not a trimmed non-empty key without '='";
            if (item.Key().find('\r') != std::string::npos || item.Value().find('\r') != std::string::npos)
                return "parsed item " + Quote(item.Key()) + " holds a CR, which ends a line";
            if (item.ItemType == clsStreamItem::Value_) {
                if (TrimBlanks(item.Value()) != item.Value() || item.Value() == "{" || item.SubStream)
                    return "parsed value " + Quote(item.Value()) + " of " + Quote(item.Key()) + " is malformed";
            } else if (item.ItemType == clsStreamItem::SubStream_) {
                if (!item.SubStream || !item.Value().empty())
                    return "sub-stream item " + Quote(item.Key()) + " has no stream or has a value";
                pending.push_back(item.SubStream.get());
            } else {
                return "parsing stored an item of type " + std::to_string(item.ItemType);
            }
        }
    }
    return "";
}

// Structural equality without recursion.
inline bool SameTree(const clsStream& a, const clsStream& b) {
    std::vector<std::pair<const clsStream*, const clsStream*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->Items.size() != y->Items.size()) return false;
        for (std::size_t i = 0; i < x->Items.size(); ++i) {
            const clsStreamItem& p = x->Items[i];
            const clsStreamItem& q = y->Items[i];
            if (p.ItemType != q.ItemType || p.Key() != q.Key() || p.Value() != q.Value()) return false;
            if (p.ItemType == clsStreamItem::SubStream_) pending.emplace_back(p.SubStream.get(), q.SubStream.get());
        }
    }
    return true;
}

// Number of lines the written form of a parsed tree has: one per value, two per sub-stream.
inline std::size_t WrittenLineCount(const clsStream& root) {
    std::size_t n = 0;
    std::vector<const clsStream*> pending{&root};
    while (!pending.empty()) {
        const clsStream* s = pending.back();
        pending.pop_back();
        for (const clsStreamItem& item : s->Items) {
            n += item.ItemType == clsStreamItem::SubStream_ ? 2 : 1;
            if (item.SubStream) pending.push_back(item.SubStream.get());
        }
    }
    return n;
}

// The typed getters on the keys of a parsed stream agree with the raw item they find.
inline std::string CheckGetters(const clsStream& s, int levels, int& budget) {
    for (const clsStreamItem& item : s.Items) {
        if (--budget < 0) return "";
        const std::string key(item.Key());
        const clsStreamItem* first = nullptr; // getters see the first item of a key
        for (const clsStreamItem& it : s.Items)
            if (it.Key() == key) {
                first = &it;
                break;
            }
        if (first != &item) continue;

        const double d = s.GetDouble(key, false, 0, 0, 12.5);
        const double dc = s.GetDouble(key, true, -10, 10, 12.5);
        const std::int32_t l = s.GetLong(key, -1000, 1000, 5);
        const std::int32_t lr = s.GetLong(key, 10, -10, 5); // reversed bounds end at the maximum
        const bool b = s.GetBool(key, true);
        const std::string str = s.GetString(key, "dflt");
        if (!std::isfinite(d)) return "GetDouble of " + Quote(key) + " is not finite";
        if (!(dc >= -10 && dc <= 10)) return "clamped GetDouble of " + Quote(key) + " is out of range";
        if (l < -1000 || l > 1000) return "GetLong of " + Quote(key) + " is out of range";
        if (lr != -10) return "GetLong with reversed bounds did not give the maximum";

        if (item.ItemType == clsStreamItem::Value_) {
            const double n = ReadNumber(item.Value().empty() ? std::string_view("0") : std::string_view(item.Value()));
            if (d != n) return "GetDouble of " + Quote(key) + " differs from reading its value";
            if (std::fabs(static_cast<double>(l) - ClampValue(n, -1000, 1000)) > 0.5)
                return "GetLong of " + Quote(key) + " is not the nearest integer";
            if (b != (n != 0)) return "GetBool of " + Quote(key) + " disagrees with its number";
            if (str != ReferenceUnescape(item.Value())) return "GetString of " + Quote(key) + " is not the unescaped value";
            if (&s.GetSubStream(key) == item.SubStream.get() || !s.GetSubStream(key).Items.empty())
                return "GetSubStream of value " + Quote(key) + " is not empty";
        } else {
            if (d != 12.5 || l != 5 || !b || str != "dflt")
                return "getters on sub-stream " + Quote(key) + " did not give the defaults";
            if (&s.GetSubStream(key) != item.SubStream.get())
                return "GetSubStream of " + Quote(key) + " is not the parsed stream";
            if (levels > 0) {
                const std::string r = CheckGetters(*item.SubStream, levels - 1, budget);
                if (!r.empty()) return r;
            }
        }
    }
    const std::string_view missing("\x01missing", 8);
    bool present = false;
    for (const clsStreamItem& item : s.Items) present = present || item.Key() == missing;
    if (!present && s.GetString(missing, "a\\\\b") != "a\\b") return "default of GetString not unescaped";
    return "";
}

inline std::string CheckStructuredStream(std::string_view data) {
    LineList lines = LineList::FromText(data);
    clsStream s;
    s.ParseData(lines);
    if (!lines.empty() && TrimBlanks(lines.front()) != "}")
        return "parsing stopped before " + Quote(lines.front()) + ", which is not a closing line";
    if (std::string r = CheckParsedShape(s); !r.empty()) return r;

    int budget = 200;
    if (std::string r = CheckGetters(s, 4, budget); !r.empty()) return r;

    // Written text of a parsed stream reads back as the same tree and writes the same text.
    LineList out;
    s.WriteData(out, 0);
    if (out.size() != WrittenLineCount(s)) return "written line count is wrong";
    const std::string text1 = out.ToText();
    for (const char* end : {"\r\n", "\n", "\r"}) {
        LineList again = LineList::FromText(out.ToText(end));
        clsStream s2;
        ParseReport report;
        s2.ParseData(again, &report);
        if (!again.empty()) return "re-parsing the written text left " + Quote(again.front()) + " unread";
        // Only a key holding bytes that no text holds makes a written text look damaged.
        if (report.DamageLine != 0 && !report.NotText) return "the written text reads as damaged: " + report.Damage;
        if (!SameTree(s, s2)) return "re-parsed tree differs from the written one";
        LineList out2;
        s2.WriteData(out2, 0);
        if (out2.ToText() != text1) return "re-parsed stream writes a different text";
    }

    // Parsing the same lines item by item gives the items of the stream, in order.
    LineList byItem = LineList::FromText(data);
    for (std::size_t i = 0;; ++i) {
        clsStreamItem item;
        item.ParseData(byItem);
        if (item.IsEmpty()) {
            if (i != s.Items.size()) return "item-wise parsing found a different number of items";
            break;
        }
        if (i >= s.Items.size() || item.Key() != s.Items[i].Key() || item.ItemType != s.Items[i].ItemType ||
            item.Value() != s.Items[i].Value())
            return "item-wise parsing differs from stream parsing";
    }
    if (byItem.size() != lines.size()) return "item-wise parsing stopped elsewhere";
    return "";
}

// Storing a text under a key and reading the written text back gives the text again,
// whenever key and value can be represented at all.
inline std::string CheckSetters(std::string_view data) {
    const std::size_t cut = data.find('\0');
    const std::string key(cut == std::string_view::npos ? std::string_view("Key") : data.substr(0, cut));
    const std::string value(cut == std::string_view::npos ? data : data.substr(cut + 1));
    const std::string escaped = clsStream::EscapeText(value);
    if (escaped.find_first_of("\r\n\t") != std::string::npos) return "escaped text still holds a line break or tab";

    double d = 0;
    std::int32_t l = 0;
    if (data.size() >= sizeof d) std::memcpy(&d, data.data(), sizeof d);
    if (data.size() >= sizeof l) std::memcpy(&l, data.data() + data.size() - sizeof l, sizeof l);

    clsStream t;
    t.SetDouble("D", d);
    t.SetLong("L", l);
    t.SetString(key, value);
    t.CreateSubStream("S").SetString(key, value);
    LineList out;
    t.WriteData(out, 0);
    LineList in = LineList::FromText(out.ToText());
    clsStream u;
    u.ParseData(in);

    const bool keyOk = !key.empty() && key.find_first_of("=\r\n") == std::string::npos && TrimBlanks(key) == key &&
                       key != "D" && key != "L" && key != "S";
    const bool valueOk = value.find('\0') == std::string::npos && TrimBlanks(escaped) == escaped && escaped != "{";
    if (keyOk && valueOk) {
        if (u.GetString(key, "") != value) return "text " + Quote(value) + " under " + Quote(key) + " did not survive";
        if (u.GetSubStream("S").GetString(key, "") != value) return "text in a sub-stream did not survive";
    }
    // "D" and "L" are written first, so only a key of the same name can disturb them.
    if (key != "D" && std::isfinite(d)) {
        const double back = u.GetDouble("D", false, 0, 0, -1);
        const double tolerance = std::fabs(d) * 5.12e-15;
        if (!(std::fabs(back - d) <= tolerance || std::fabs(back - d) <= std::numeric_limits<double>::denorm_min()))
            return "double " + EncodeDouble(d) + " read back as " + EncodeDouble(back);
        if (EncodeDouble(back) != EncodeDouble(d)) return "double encoding is not stable";
    }
    if (key != "L" && u.GetLong("L", INT32_MIN, INT32_MAX, 0) != l)
        return "integer " + std::to_string(l) + " did not survive";

    std::string withoutNul = value;
    for (char& c : withoutNul)
        if (c == '\0') c = '\\';
    if (clsStream::UnescapeText(escaped) != withoutNul) return "escaping and unescaping changed " + Quote(value);
    if (clsStream::UnescapeText(data) != ReferenceUnescape(data)) return "unescaping differs from the replacement rule";
    return "";
}

inline std::string CheckNumbers(std::string_view data) {
    const double r = ReadNumber(data);
    if (!std::isfinite(r)) return "ReadNumber gave a non-finite value";
    std::string stripped;
    for (const char c : data)
        if (c != ' ' && c != '\t' && c != '\n') stripped.push_back(c);
    if (ReadNumber(stripped) != r) return "blanks changed the number read from " + Quote(data);
    if (IsStrictNumber(stripped) && ReadNumber(stripped) != ReferenceNumber(stripped))
        return "ReadNumber of " + Quote(stripped) + " differs from strtod";
    const std::int32_t lo = data.empty() ? 0 : static_cast<signed char>(data[0]);
    const std::int32_t hi = lo + (data.size() > 1 ? static_cast<unsigned char>(data[1]) : 0);
    const std::int32_t v = ReadLongClamped(data, lo, hi);
    if (v < lo || v > hi) return "ReadLongClamped left its range";
    if (ReadLongClamped(data, INT32_MIN, INT32_MAX) != static_cast<std::int32_t>(RoundHalfEven(ClampValue(r, INT32_MIN, INT32_MAX))))
        return "ReadLongClamped is not the rounded clamped number";
    return "";
}

inline std::string CheckOldStream(std::string_view data) {
    clsOldStream o;
    o.ParseString(data);
    std::size_t separators = 0;
    for (const char c : data) separators += c == ';';
    const std::size_t expected = data.empty() ? 0 : separators + 1;
    if (o.Values.size() != expected) return "flat stream has the wrong number of values";
    if (o.BuildString() != data) return "flat stream does not rebuild its text";
    for (std::size_t i = 0; i < o.Values.size(); ++i) {
        const std::string raw = o.Values[i];
        switch (i % 4) {
        case 0:
            if (o.GetString() != raw) return "flat GetString changed a value";
            break;
        case 1:
            if (!std::isfinite(o.GetDouble(i % 8 == 1, -1, 1))) return "flat GetDouble is not finite";
            break;
        case 2: {
            const std::int32_t v = o.GetLong(-5, 5);
            if (v < -5 || v > 5) return "flat GetLong left its range";
            break;
        }
        default:
            if (o.GetBool() != (ReadNumber(raw.empty() ? "0" : raw) != 0)) return "flat GetBool disagrees with its number";
        }
        if (o.ReadPosition != static_cast<std::int32_t>(i + 1)) return "flat read position did not advance";
    }
    if (!o.GetString().empty() || o.GetLong(1, 10) != 1 || o.GetDouble(false, 0, 0) != 0 || o.GetBool())
        return "reading past the end did not give the empty values";
    if (o.ReadPosition != static_cast<std::int32_t>(o.Values.size())) return "reading past the end moved the position";
    o.ParseString(data); // a second record appended without Reset
    if (!data.empty() && o.BuildString() != std::string(data) + ";" + std::string(data))
        return "appending a second text did not add its values";
    if (!data.empty() && o.GetString() != o.Values[expected]) return "second text is not read where the first ended";
    return "";
}

inline std::string CheckInput(std::string_view data) {
    for (auto check : {CheckStructuredStream, CheckSetters, CheckNumbers, CheckOldStream}) {
        std::string r = check(data);
        if (!r.empty()) return r;
    }
    return "";
}

} // namespace ov::checks
