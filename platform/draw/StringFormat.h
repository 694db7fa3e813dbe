// How a string is laid out in its rectangle: alignment across (Alignment) and
// down (LineAlignment). Lines that do not fit the width wrap at word breaks.
#pragma once

#include "platform/Status.h"

namespace platform {

enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };

class StringFormat {
public:
    StringFormat(int formatFlags, int language) : flags(formatFlags), languageId(language) {}

    Status setAlignment(StringAlignment value)
    {
        alignment = value;
        return Status::Ok;
    }
    Status setLineAlignment(StringAlignment value)
    {
        lineAlignment = value;
        return Status::Ok;
    }
    StringAlignment getAlignment() const { return alignment; }
    StringAlignment getLineAlignment() const { return lineAlignment; }
    int getFormatFlags() const { return flags; }
    int getLanguage() const { return languageId; }
    Status getLastStatus() const { return Status::Ok; }

private:
    int flags;
    int languageId;
    StringAlignment alignment = StringAlignmentNear;
    StringAlignment lineAlignment = StringAlignmentNear;
};

} // namespace platform
