// What a broker needs from the window that owns it: the window's handle and
// caption for dialogs, its code pages and conversion for message texts, its
// user rights for the lookup window, and the hook run after every message.
// The program window implements it; tests may implement it directly.
#pragma once

#include <cstdint>
#include <string>

class IBrokerOwner {
public:
    virtual ~IBrokerOwner() = default;

    virtual intptr_t OwnerHandle() = 0;                  // native window handle, 0 when none
    virtual std::string OwnerCaption() const = 0;
    virtual std::string UICodePage() const = 0;          // "437", "936" or "950"
    virtual std::string DBCodePage() const = 0;
    virtual int UIConversionMode() const = 0;            // 0..4, the interface conversion mode
    // Text to the window's display script (identity when no conversion applies).
    virtual std::string ToDisplayText(const std::string& text) const = 0;
    virtual bool HasUserRight(int element) const = 0;    // element 0..63 of the user rights
    virtual void AfterMessage() = 0;                     // empty in the base window
};
