#pragma once
// What a scene asks of the document window that shows it.

#include <cstdint>
#include <string>

namespace ov {

class IDocumentWindow {
public:
    virtual ~IDocumentWindow() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void UpdateViews() = 0;
    virtual void ResetZoom() = 0;
    virtual void OnPerspectiveChange() = 0;
    virtual void OnToolChange(std::int32_t newTool) = 0;
};

} // namespace ov
