#include "base/shown_text.h"

namespace base {

QString boundedText(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    return text.left(max - 1) + QChar(0x2026);
}

}  // namespace base
