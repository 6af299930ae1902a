#include "platform/Desktop.h"

namespace ov {

namespace {

class NeverPressed : public IEscapeKey {
public:
    bool ReadEscape() override { return false; }
};

class AlwaysCancelled : public IFileDialog {
public:
    std::string Show(const std::string&, const std::string&, const std::string&, const std::string&, bool) override {
        return {};
    }
};

IEscapeKey*& InstalledKey() {
    static IEscapeKey* key = nullptr;
    return key;
}

IFileDialog*& InstalledDialog() {
    static IFileDialog* dialog = nullptr;
    return dialog;
}

} // namespace

IEscapeKey& EscapeKey() {
    static NeverPressed fallback;
    return InstalledKey() ? *InstalledKey() : fallback;
}

void SetEscapeKey(IEscapeKey* key) { InstalledKey() = key; }

IFileDialog& FileDialog() {
    static AlwaysCancelled fallback;
    return InstalledDialog() ? *InstalledDialog() : fallback;
}

void SetFileDialog(IFileDialog* dialog) { InstalledDialog() = dialog; }

} // namespace ov
