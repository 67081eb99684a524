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

namespace {

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':';
}

// Elements that hold nothing, or whose end the next of their kind implies:
// they never nest deeper.
// The elements of HTML 4 and those browsers commonly read.
bool isElement(const QByteArray& name)
{
    static const QByteArrayList names{
        "a", "abbr", "acronym", "address", "area", "b", "base", "basefont", "bdo", "big", "blockquote", "body", "br",
        "button", "caption", "center", "cite", "code", "col", "colgroup", "dd", "del", "dfn", "dir", "div", "dl",
        "dt", "em", "embed", "fieldset", "font", "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6",
        "head", "hr", "html", "i", "iframe", "img", "input", "ins", "kbd", "label", "legend", "li", "link", "map",
        "menu", "meta", "nobr", "noframes", "noscript", "object", "ol", "optgroup", "option", "p", "param", "pre",
        "q", "s", "samp", "script", "select", "small", "source", "span", "strike", "strong", "style", "sub", "sup",
        "table", "tbody", "td", "textarea", "tfoot", "th", "thead", "title", "tr", "track", "tt", "u", "ul", "var",
        "wbr", "article", "aside", "figure", "figcaption", "footer", "header", "main", "mark", "nav", "section",
        "small", "time"};
    return names.contains(name);
}

bool doesNotNest(const QByteArray& name)
{
    static const QByteArrayList names{"area", "base", "br", "col", "embed", "hr", "img", "input", "link",
                                      "meta", "param", "source", "track", "wbr", "p", "li", "dt", "dd",
                                      "tr", "td", "th", "option", "thead", "tbody", "tfoot", "colgroup"};
    return names.contains(name);
}

}  // namespace

PageShape pageShape(const QByteArray& html, int stopAt)
{
    PageShape shape;
    // The elements open, as a parser keeps them: an end tag closes the
    // innermost open element of its name and those inside it; one that
    // matches none is ignored.
    std::vector<QByteArray> open;
    int tables = 0;
    const qsizetype n = html.size();
    const QByteArray lower = html.toLower();
    for (qsizetype i = 0; i < n && shape.depth < stopAt && shape.tableDepth < stopAt; ++i) {
        if (html[i] != '<' || i + 1 >= n)
            continue;
        const char next = html[i + 1];
        if (html.mid(i, 4) == "<!--") {
            const qsizetype end = html.indexOf("-->", i + 4);
            if (end < 0)
                break;
            i = end + 2;
            continue;
        }
        const bool closing = next == '/';
        qsizetype at = i + (closing ? 2 : 1);
        if (at >= n || !((html[at] >= 'a' && html[at] <= 'z') || (html[at] >= 'A' && html[at] <= 'Z')))
            continue;  // not a tag: "<!DOCTYPE", "< 3", "<?xml"
        qsizetype end = at;
        while (end < n && isNameChar(html[end]))
            ++end;
        const QByteArray name = html.mid(at, end - at).toLower();
        const qsizetype close = html.indexOf('>', end);
        if (close < 0)
            break;
        ++shape.tags;
        i = close;
        auto flaw = [&](const QByteArray& why) {
            if (shape.flaw.isEmpty())
                shape.flaw = QString::fromLatin1(why);
        };
        // Markup damaged: a tag holding the start of another, or a name
        // that is no element's.
        if (html.indexOf('<', end) < close && html.indexOf('<', end) >= 0)
            flaw("a tag <" + html.mid(at, std::min<qsizetype>(end - at, 20)) + " is not closed");
        else if (!isElement(name))
            flaw("<" + (closing ? "/" + name : name).left(20) + "> is no element");
        if (doesNotNest(name))
            continue;
        if (closing) {
            bool matched = false;
            for (qsizetype k = qsizetype(open.size()) - 1; k >= 0 && !matched; --k)
                if (open[size_t(k)] == name) {
                    for (qsizetype j = k; j < qsizetype(open.size()); ++j)
                        tables -= open[size_t(j)] == "table";
                    open.resize(size_t(k));
                    matched = true;
                }
            if (!matched)
                flaw("</" + name.left(20) + "> ends no element");
            continue;
        }
        if (html[close - 1] == '/')
            continue;  // <x/>
        if (name == "script" || name == "style") {
            // Their text is not markup: on past their end tag.
            const qsizetype over = lower.indexOf("</" + name, close);
            const qsizetype endTag = over < 0 ? -1 : html.indexOf('>', over);
            if (endTag < 0)
                break;
            i = endTag;
            continue;
        }
        open.push_back(name);
        tables += name == "table";
        shape.depth = std::max(shape.depth, int(open.size()));
        shape.tableDepth = std::max(shape.tableDepth, tables);
    }
    return shape;
}

QString pageTooCostly(const QByteArray& html)
{
    if (html.size() > kMaxPageBytes)
        return QStringLiteral("it is %1 KB long, more than the %2 KB a page may be")
            .arg((html.size() + 1023) / 1024)
            .arg(kMaxPageBytes / 1024);
    const PageShape shape = pageShape(html, kMaxPageNesting + 1);
    if (shape.tableDepth > kMaxTableNesting)
        return QStringLiteral("its tables nest more than %1 deep").arg(kMaxTableNesting);
    if (shape.depth > kMaxPageNesting)
        return QStringLiteral("its elements nest more than %1 deep").arg(kMaxPageNesting);
    if (shape.tags > kMaxPageTags)
        return QStringLiteral("it has more than %1 tags").arg(kMaxPageTags);
    if (!shape.flaw.isEmpty())
        return QStringLiteral("its markup is damaged: %1").arg(shape.flaw);
    if (html.contains("<!ENTITY") || html.contains("<!entity"))
        return QStringLiteral("it declares entities of its own");
    return QString();
}

// Contents and index files

namespace {

QString attribute(const QString& tag, const QString& name)
{
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return QString();
    for (int g : {2, 3, 4})
        if (m.capturedStart(g) >= 0)
            return decodeEntities(m.captured(g));
    return QString();
}

}  // namespace

std::vector<HelpTopic> parseSitemap(const QByteArray& html)
{
    std::vector<HelpTopic> root;
    std::vector<std::vector<HelpTopic>*> lists{&root};
    int depth = 0, entries = 0;
    bool inObject = false;
    HelpTopic topic;
    static const QRegularExpression tagRe(QStringLiteral("<[^>]*>"));
    const QString text = QString::fromUtf8(html.left(kMaxSitemapBytes));
    for (auto it = tagRe.globalMatch(text); it.hasNext();) {
        const QString tag = it.next().captured(0);
        const QString lower = tag.toLower();
        if (lower.startsWith(QLatin1String("<ul"))) {
            // A list after an entry holds the entries under it; past the
            // deepest level shown, its entries join those of the level above.
            if (++depth > 1 && !lists.back()->empty() && int(lists.size()) < kMaxSitemapDepth)
                lists.push_back(&lists.back()->back().children);
            else if (depth > 1)
                lists.push_back(lists.back());
        } else if (lower.startsWith(QLatin1String("</ul"))) {
            if (depth > 1 && lists.size() > 1)
                lists.pop_back();
            depth = std::max(0, depth - 1);
        } else if (lower.startsWith(QLatin1String("<object")) && lower.contains(QLatin1String("text/sitemap"))) {
            inObject = true;
            topic = HelpTopic();
        } else if (inObject && lower.startsWith(QLatin1String("<param"))) {
            const QString name = attribute(tag, QStringLiteral("name")).toLower();
            const QString value = attribute(tag, QStringLiteral("value"));
            if (name == QLatin1String("name") && topic.name.isEmpty())
                topic.name = value;
            else if (name == QLatin1String("local") && topic.page.isEmpty())
                topic.page = value;
        } else if (inObject && lower.startsWith(QLatin1String("</object"))) {
            inObject = false;
            if (!topic.name.isEmpty() && ++entries > kMaxSitemapEntries)
                break;
            if (!topic.name.isEmpty())
                lists.back()->push_back(topic);
        }
    }
    return root;
}

QByteArray systemEntry(const QByteArray& sys, int wanted)
{
    qsizetype at = 4;
    while (at + 4 <= sys.size()) {
        const int code = uchar(sys[at]) | (uchar(sys[at + 1]) << 8);
        const int len = uchar(sys[at + 2]) | (uchar(sys[at + 3]) << 8);
        at += 4;
        if (at + len > sys.size())
            break;
        if (code == wanted) {
            QByteArray value = sys.mid(at, len);
            const qsizetype zero = value.indexOf('\0');
            if (zero >= 0)
                value.truncate(zero);
            return value.left(1024);
        }
        at += len;
    }
    return {};
}

}  // namespace help
