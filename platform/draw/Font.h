// A font by family name, em size in points (96 dots per inch: 72 pt is 96 px)
// and style. A family counts as found only when the face actually chosen is that
// family or a metric-compatible stand-in for it; otherwise the generic bold
// sans-serif family is used, never whatever last-resort face the system offers.
#pragma once

#include "platform/Status.h"

#include <memory>
#include <string>

namespace platform {

enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1 };
enum Unit { UnitPoint = 3 };

class Font {
public:
    Font(const char16_t* familyName, float emSize, FontStyle style, Unit unit);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // False when not even the generic family gave a usable font.
    bool isAvailable() const;
    // The family the font was made from, after any fallback (UTF-8).
    const std::string& familyName() const;
    Status getLastStatus() const { return lastStatus; }

    // Fonts alive in the process, for leak checks.
    static int liveCount();

    // What the drawing library holds inside; only that library's code and its
    // Graphics see it.
    struct Impl;

private:
    friend class Graphics;
    const Impl* impl() const { return implementation.get(); }
    std::unique_ptr<Impl> implementation;
    Status lastStatus = Status::Ok;
};

} // namespace platform
