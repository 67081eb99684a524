#include "base/shown_text.h"

#include <QTextBoundaryFinder>

namespace base {

QString boundedText(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    // Cut between two characters as the reader sees them (never inside a
    // surrogate pair or between a letter and its accent).
    const QString head = text.left(max);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, head);
    graphemes.setPosition(max - 1);
    qsizetype cut = max - 1;
    if (!graphemes.isAtBoundary())
        cut = std::max<qsizetype>(0, graphemes.toPreviousBoundary());
    return head.left(cut) + QChar(0x2026);
}

}  // namespace base
