#include "io/clsStream.h"

#include <cstring>

#include "io/NumberText.h"
#include "io/StreamParser.h"

namespace ov {

namespace {

bool IsCloseLine(std::string_view line) { return TrimBlanks(line) == "}"; }

// Consumes lines from the front until one holds "key = value" with a non-empty key.
// Returns false, with nothing consumed past it, at a "}" line or at the end of the list.
bool NextKeyValue(LineList& lines, std::string_view& key, std::string_view& value) {
    while (!lines.empty()) {
        const std::string_view t = TrimBlanks(lines.front());
        if (t == "}") return false;
        const std::size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            key = TrimBlanks(t.substr(0, eq));
            value = TrimBlanks(t.substr(eq + 1));
            if (!key.empty()) {
                lines.pop_front(); // the views stay valid: popping never frees the line
                return true;
            }
        }
        lines.pop_front();
    }
    return false;
}

// Key equality for the linear key searches. Records can hold thousands of keys that share
// their length and prefix ("Object1" ... "Object9999"), so the last character is compared
// first: it rules out almost every non-matching key without a call to memcmp.
bool SameKey(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    if (n == 0) return true;
    return a[n - 1] == b[n - 1] && std::memcmp(a.data(), b.data(), n - 1) == 0;
}

std::string Indent(std::int32_t depth) { return std::string(static_cast<std::size_t>(depth > 0 ? depth : 0) * 2, ' '); }

} // namespace

// ---------------------------------------------------------------- clsStreamItem

clsStreamItem::clsStreamItem() = default;
clsStreamItem::~clsStreamItem() = default;
clsStreamItem::clsStreamItem(clsStreamItem&&) noexcept = default;
clsStreamItem& clsStreamItem::operator=(clsStreamItem&&) noexcept = default;

void clsStreamItem::ParseData(LineList& lines) {
    SetEmpty();
    std::string_view key, value;
    if (!NextKeyValue(lines, key, value)) return;
    if (value == "{") {
        auto sub = std::make_unique<clsStream>();
        sub->ParseData(lines);
        if (!lines.empty() && IsCloseLine(lines.front())) lines.pop_front();
        SetKey(key);
        SetSubStream(std::move(sub));
    } else {
        SetKey(key);
        SetValue(value);
    }
}

void clsStreamItem::WriteData(LineList& lines, std::int32_t depth) const {
    if (ItemType == SubStream_ && SubStream) {
        const std::string indent = Indent(depth);
        lines.push_back({indent, Key(), " = {"});
        SubStream->WriteData(lines, depth + 1);
        lines.push_back({indent, "}"});
    } else if (ItemType == Value_) {
        lines.push_back({Indent(depth), Key(), " = ", Value()});
    }
}

void clsStreamItem::SetKey(std::string_view key) {
    std::string text;
    text.reserve(key.size() + text_.size() - keySize_);
    text.append(key).append(Value());
    text_ = std::move(text);
    keySize_ = static_cast<std::uint32_t>(key.size());
}

void clsStreamItem::SetEmpty() {
    ItemType = Empty;
    text_.resize(keySize_);
    SubStream.reset();
}

void clsStreamItem::SetValue(std::string_view text) {
    SetEmpty();
    ItemType = Value_;
    text_.append(text);
}

void clsStreamItem::SetSubStream(std::unique_ptr<clsStream> stream) {
    SetEmpty();
    ItemType = SubStream_;
    SubStream = std::move(stream);
}

// ---------------------------------------------------------------- clsStream

clsStream::~clsStream() { ReleaseNested(); }

clsStream& clsStream::operator=(clsStream&& other) noexcept {
    if (this != &other) {
        ReleaseNested();
        Items = std::move(other.Items);
    }
    return *this;
}

void clsStream::ReleaseNested() {
    std::vector<std::unique_ptr<clsStream>> pending;
    auto harvest = [&pending](clsStream& s) {
        for (auto& item : s.Items)
            if (item.SubStream) pending.push_back(std::move(item.SubStream));
    };
    harvest(*this);
    while (!pending.empty()) {
        std::unique_ptr<clsStream> s = std::move(pending.back());
        pending.pop_back();
        harvest(*s);
    }
}

void clsStream::Reset() {
    ReleaseNested();
    Items.clear();
}

void clsStream::ParseData(LineList& lines, ParseReport* report) { StreamParser(*this, report).Parse(lines); }

namespace {

// Calls emit(indent, key, separator, value) for each line of the text form of root at the
// given depth, in order, without recursion.
template <typename Emit>
void ForEachLine(const clsStream& root, std::int32_t depth, Emit&& emit) {
    struct Frame {
        const clsStream* stream;
        std::size_t next;
    };
    std::vector<Frame> open{{&root, 0}};
    std::string indent = Indent(depth);
    while (!open.empty()) {
        Frame& f = open.back();
        if (f.next == f.stream->Items.size()) {
            open.pop_back();
            if (!open.empty()) {
                indent.resize(indent.size() - 2);
                emit(indent, "}", "", "");
            }
            continue;
        }
        const clsStreamItem& item = f.stream->Items[f.next++];
        if (item.ItemType == clsStreamItem::Value_) {
            emit(indent, item.Key(), " = ", item.Value());
        } else if (item.ItemType == clsStreamItem::SubStream_ && item.SubStream) {
            emit(indent, item.Key(), " = {", "");
            indent += "  ";
            open.push_back({item.SubStream.get(), 0}); // invalidates f, which is not used again
        }
    }
}

} // namespace

void clsStream::WriteData(LineList& lines, std::int32_t depth) const {
    // The text is measured first so that its buffer is allocated once: growing a buffer of
    // hundreds of megabytes by doubling would hold the old and the new one at a time.
    std::size_t bytes = 0, count = 0;
    ForEachLine(*this, depth, [&](std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
        bytes += a.size() + b.size() + c.size() + d.size();
        ++count;
    });
    lines.reserve(bytes, count);
    ForEachLine(*this, depth, [&](std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
        lines.push_back({a, b, c, d});
    });
}

const clsStreamItem* clsStream::FindItem(std::string_view key) const {
    for (const auto& item : Items)
        if (SameKey(item.Key(), key)) return &item;
    return nullptr;
}

clsStreamItem& clsStream::FindOrAppendItem(std::string_view key) {
    for (auto& item : Items)
        if (SameKey(item.Key(), key)) return item;
    Items.emplace_back();
    Items.back().SetKey(key);
    return Items.back();
}

std::string clsStream::GetVal(std::string_view key, bool zeroIfEmpty, std::string_view defaultValue) const {
    std::string result(defaultValue);
    const clsStreamItem* item = FindItem(key);
    if (item && item->ItemType == clsStreamItem::Value_) result = item->Value();
    if (result.empty() && zeroIfEmpty) result = "0";
    return result;
}

const clsStream& clsStream::GetSubStream(std::string_view key) const {
    static const clsStream empty;
    const clsStreamItem* item = FindItem(key);
    if (item && item->ItemType == clsStreamItem::SubStream_ && item->SubStream) return *item->SubStream;
    return empty;
}

double clsStream::GetDouble(std::string_view key, bool clamp, double minimum, double maximum,
                            double defaultValue) const {
    const double value = ReadNumber(GetVal(key, true, EncodeDouble(defaultValue)));
    return clamp ? ClampValue(value, minimum, maximum) : value;
}

std::int32_t clsStream::GetLong(std::string_view key, std::int32_t minimum, std::int32_t maximum,
                                std::int32_t defaultValue) const {
    return ReadLongClamped(GetVal(key, true, EncodeLong(defaultValue)), minimum, maximum);
}

bool clsStream::GetBool(std::string_view key, bool defaultValue) const {
    return ReadNumber(GetVal(key, true, defaultValue ? "1" : "0")) != 0;
}

std::string clsStream::GetString(std::string_view key, std::string_view defaultValue) const {
    return UnescapeText(GetVal(key, false, defaultValue));
}

void clsStream::SetString(std::string_view key, std::string_view value) {
    FindOrAppendItem(key).SetValue(EscapeText(value));
}

void clsStream::AppendString(std::string_view key, std::string_view value) {
    clsStreamItem& item = Items.emplace_back();
    item.SetKey(key);
    item.SetValue(EscapeText(value));
}

clsStream& clsStream::CreateSubStream(std::string_view key) {
    clsStreamItem& item = FindOrAppendItem(key);
    item.SetSubStream(std::make_unique<clsStream>());
    return *item.SubStream;
}

// Number texts hold no character that needs an escape, so these store their text as it is
// (what SetString would store after escaping it).
void clsStream::SetBool(std::string_view key, bool value) {
    FindOrAppendItem(key).SetValue(value ? "1" : "0");
}
void clsStream::SetLong(std::string_view key, std::int32_t value) {
    FindOrAppendItem(key).SetValue(EncodeLong(value));
}
void clsStream::SetDouble(std::string_view key, double value) {
    FindOrAppendItem(key).SetValue(EncodeDouble(value));
}

std::string clsStream::EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string clsStream::UnescapeText(std::string_view text) {
    // One left-to-right scan gives the same result as the successive replacements:
    // "\\" first (so its second backslash never starts another escape), then \r, \n, \t.
    // A NUL stands for a backslash, as the placeholder of the successive replacements would.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char n = text[i + 1];
            const char mapped = n == '\\' ? '\\' : n == 'r' ? '\r' : n == 'n' ? '\n' : n == 't' ? '\t' : 0;
            if (mapped) {
                out.push_back(mapped);
                ++i;
                continue;
            }
        }
        out.push_back(c == '\0' ? '\\' : c);
    }
    return out;
}

} // namespace ov
