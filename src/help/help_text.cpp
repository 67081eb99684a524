#include "help/help_text.h"

#include <QRegularExpression>

#include <algorithm>

namespace help {

QString decodeEntities(QString s)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]{1,8});"));
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = numeric.match(s, from)).hasMatch()) {
        const uint code = m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16);
        const bool valid = code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        const QString ch = valid ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1) : QString();
        s.replace(m.capturedStart(), m.capturedLength(), ch);
        from = m.capturedStart() + ch.size();
    }
    s.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    s.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return s;
}

QString pageTitle(const QByteArray& html)
{
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(QString::fromUtf8(html));
    return m.hasMatch() ? decodeEntities(m.captured(1)).simplified() : QString();
}

QString pageText(const QByteArray& html)
{
    static const QRegularExpression hidden(QStringLiteral("<(script|style|title)\\b[^>]*>.*?</\\1\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    // Blocks part words; inline markup (<b>, <a>, <span>) does not.
    static const QRegularExpression block(
        QStringLiteral("</?(p|br|div|li|ul|ol|dl|dt|dd|h[1-6]|table|tr|td|th|pre|blockquote|hr|img|body|head|html)\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString s = QString::fromUtf8(html);
    s.remove(comment);
    s.remove(hidden);
    s.replace(block, QStringLiteral(" "));
    s.remove(tag);
    return decodeEntities(s).simplified();
}

namespace {

// A text folded for comparing: each character of `text` in lower case
// without its marks, and for each folded character the position in `text`
// it came from.
struct Folded {
    QString text;
    std::vector<int> from;
};

Folded fold(const QString& text)
{
    Folded f;
    f.text.reserve(text.size());
    f.from.reserve(size_t(text.size()));
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSurrogate()) {  // outside the Basic Multilingual Plane: kept as it is
            f.text += c;
            f.from.push_back(i);
            continue;
        }
        const QString parts = QString(c).normalized(QString::NormalizationForm_D);
        for (const QChar p : parts) {
            if (p.category() == QChar::Mark_NonSpacing || p.category() == QChar::Mark_SpacingCombining)
                continue;
            for (const QChar l : QString(p).toCaseFolded()) {
                f.text += l;
                f.from.push_back(i);
            }
        }
    }
    return f;
}

bool beginsWord(const QString& s, int at)
{
    return at == 0 || !(s[at - 1].isLetterOrNumber() || s[at - 1].isMark());
}

}  // namespace

std::vector<std::pair<int, int>> wordSpans(const QString& text, const QStringList& words)
{
    std::vector<std::pair<int, int>> spans;
    const Folded t = fold(text);
    for (const QString& word : words) {
        const QString w = fold(word).text;
        if (w.isEmpty())
            continue;
        for (qsizetype at = t.text.indexOf(w); at >= 0; at = t.text.indexOf(w, at + 1)) {
            if (!beginsWord(t.text, int(at)))
                continue;
            const int start = t.from[size_t(at)];
            // The word found is marked whole, to its end.
            int end = t.from[size_t(at + w.size() - 1)] + 1;
            while (end < text.size() && (text[end].isLetterOrNumber() || text[end].isMark()))
                ++end;
            spans.push_back({start, end - start});
        }
    }
    std::sort(spans.begin(), spans.end());
    spans.erase(std::unique(spans.begin(), spans.end()), spans.end());
    return spans;
}

}  // namespace help
