#pragma once
// A string that carries a stamp, a number that is new whenever its text is set. Copies
// carry text and stamp together and a moved-from string is emptied with stamp 0, so two
// stamped strings with the same stamp hold the same text. A compiled formula keeps the
// stamps of the texts it was built from: comparing those before every evaluation costs a
// few instructions, where comparing the texts would cost as much as a short evaluation.
// It reads like a const std::string; only assignment changes it.

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace ov {

class StampedString {
public:
    StampedString() = default; // the empty text, stamp 0
    StampedString(std::string text) : text_(std::move(text)), stamp_(NewStamp()) {}
    StampedString(std::string_view text) : StampedString(std::string(text)) {}
    StampedString(const char* text) : StampedString(std::string(text)) {}
    StampedString(const StampedString&) = default;
    StampedString(StampedString&& other) noexcept : text_(std::move(other.text_)), stamp_(other.stamp_) {
        other.Reset();
    }
    StampedString& operator=(const StampedString&) = default;
    StampedString& operator=(StampedString&& other) noexcept {
        if (this != &other) {
            text_ = std::move(other.text_);
            stamp_ = other.stamp_;
            other.Reset();
        }
        return *this;
    }
    StampedString& operator=(std::string text) {
        text_ = std::move(text);
        stamp_ = NewStamp();
        return *this;
    }
    StampedString& operator=(std::string_view text) { return *this = std::string(text); }
    StampedString& operator=(const char* text) { return *this = std::string(text); }

    std::uint64_t Stamp() const { return stamp_; }
    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }
    operator std::string_view() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    const char* data() const { return text_.data(); }
    std::size_t size() const { return text_.size(); }
    std::size_t length() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    char operator[](std::size_t i) const { return text_[i]; }
    std::string::const_iterator begin() const { return text_.begin(); }
    std::string::const_iterator end() const { return text_.end(); }

    friend bool operator==(const StampedString& a, const StampedString& b) { return a.text_ == b.text_; }
    friend bool operator!=(const StampedString& a, const StampedString& b) { return a.text_ != b.text_; }
    friend bool operator==(const StampedString& a, std::string_view b) { return a.text_ == b; }
    friend bool operator!=(const StampedString& a, std::string_view b) { return a.text_ != b; }
    friend bool operator==(std::string_view a, const StampedString& b) { return a == b.text_; }
    friend bool operator!=(std::string_view a, const StampedString& b) { return a != b.text_; }
    friend bool operator==(const StampedString& a, const std::string& b) { return a.text_ == b; }
    friend bool operator!=(const StampedString& a, const std::string& b) { return a.text_ != b; }
    friend bool operator==(const std::string& a, const StampedString& b) { return a == b.text_; }
    friend bool operator!=(const std::string& a, const StampedString& b) { return a != b.text_; }
    friend bool operator==(const StampedString& a, const char* b) { return a.text_ == b; }
    friend bool operator!=(const StampedString& a, const char* b) { return a.text_ != b; }
    friend std::string operator+(const std::string& a, const StampedString& b) { return a + b.text_; }
    friend std::string operator+(const StampedString& a, const std::string& b) { return a.text_ + b; }
    friend std::string operator+(const char* a, const StampedString& b) { return a + b.text_; }
    friend std::string operator+(const StampedString& a, const char* b) { return a.text_ + b; }
    friend std::string operator+(char a, const StampedString& b) { return a + b.text_; }
    friend std::string operator+(const StampedString& a, char b) { return a.text_ + b; }
    friend std::ostream& operator<<(std::ostream& out, const StampedString& s) { return out << s.text_; }

private:
    static std::uint64_t NewStamp() {
        static std::atomic<std::uint64_t> last{0};
        return last.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    void Reset() {
        text_.clear();
        stamp_ = 0;
    }

    std::string text_;
    std::uint64_t stamp_ = 0;
};

} // namespace ov
