#pragma once
// The structured text record: an ordered list of keyed items, each holding a text value
// or a nested record. Every persistent object reads and writes itself through one.
//
// Text form, at nesting depth d: "<2d blanks>Key = Value" for a value, and
// "<2d blanks>Key = {", the nested items at depth d + 1, "<2d blanks>}" for a sub-record.
// Reading is lenient and never fails; missing keys give the caller's default. Damage that
// the reading passes over can be reported (StreamParser).
//
// Parsing, writing and destruction work without recursion, so any nesting depth that
// fits in memory is safe.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/LineList.h"
#include "io/ParseReport.h"

namespace ov {

class clsStream;

class clsStreamItem {
public:
    enum : std::int32_t { Empty = 0, Value_ = 1, SubStream_ = 2 };

    clsStreamItem();
    ~clsStreamItem();
    clsStreamItem(clsStreamItem&&) noexcept;
    clsStreamItem& operator=(clsStreamItem&&) noexcept;

    std::int32_t ItemType = Empty;
    std::uint32_t Line = 0; // the file's line it was read from; 0 when made otherwise
    std::unique_ptr<clsStream> SubStream; // only when ItemType is 2

    std::string_view Key() const { return std::string_view(text_).substr(0, keySize_); }
    // The value as written in the file (escaped); empty for a nested record.
    std::string_view Value() const { return std::string_view(text_).substr(keySize_); }
    void SetKey(std::string_view key);

    // Reads one item from the front of the list, skipping lines that hold none. Stops
    // without consuming at a "}" line; the item stays empty when none was found.
    void ParseData(LineList& lines);
    void WriteData(LineList& lines, std::int32_t depth) const;
    void SetEmpty();
    bool IsEmpty() const { return ItemType == Empty; }
    void SetValue(std::string_view text);
    void SetSubStream(std::unique_ptr<clsStream> stream);

private:
    // Key and value in one string: a record of millions of short items then costs one
    // string an item, which mostly fits in the string itself without an allocation.
    std::string text_;
    std::uint32_t keySize_ = 0;
};

class clsStream {
public:
    clsStream() = default;
    ~clsStream();
    clsStream(clsStream&&) noexcept = default;
    clsStream& operator=(clsStream&& other) noexcept;
    clsStream(const clsStream&) = delete;
    clsStream& operator=(const clsStream&) = delete;

    std::vector<clsStreamItem> Items;

    void Reset();
    // Appends the items read from the front of the list and removes the lines it used.
    // A "}" line at this level ends the reading and stays in the list. With a report, what
    // the reading skipped or closed is noted there (see StreamParser).
    void ParseData(LineList& lines, ParseReport* report = nullptr);
    void WriteData(LineList& lines, std::int32_t depth) const;

    std::string GetVal(std::string_view key, bool zeroIfEmpty, std::string_view defaultValue) const;
    // The nested record of the key, or an empty record when the key is missing or holds
    // a value.
    const clsStream& GetSubStream(std::string_view key) const;
    double GetDouble(std::string_view key, bool clamp, double minimum, double maximum, double defaultValue) const;
    std::int32_t GetLong(std::string_view key, std::int32_t minimum, std::int32_t maximum,
                         std::int32_t defaultValue) const;
    bool GetBool(std::string_view key, bool defaultValue) const;
    std::string GetString(std::string_view key, std::string_view defaultValue) const;

    void SetString(std::string_view key, std::string_view value);
    // SetString for a key the record does not hold yet, without looking for it: a writer of
    // numbered items (a few hundred thousand of them) would otherwise take quadratic time.
    void AppendString(std::string_view key, std::string_view value);
    clsStream& CreateSubStream(std::string_view key);
    void SetBool(std::string_view key, bool value);
    void SetLong(std::string_view key, std::int32_t value);
    void SetDouble(std::string_view key, double value);

    static std::string EscapeText(std::string_view text);
    static std::string UnescapeText(std::string_view text);

private:
    const clsStreamItem* FindItem(std::string_view key) const;
    clsStreamItem& FindOrAppendItem(std::string_view key);
    // Moves every nested record out of the tree below this one and frees them one by
    // one, so that deep nesting never recurses.
    void ReleaseNested();
};

} // namespace ov
