#pragma once
// The words of the help's pages, for searching them and marking what was
// found: a page's title and its text without markup, and where the words
// someone typed begin words of a text (whatever the case and marks).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <QtGlobal>
#include <vector>

namespace help {

// The text inside a page's <title>; empty when it has none.
QString pageTitle(const QByteArray& html);
// The words of a page: its markup, scripts and styles dropped, entities
// decoded, white space folded.
QString pageText(const QByteArray& html);
// The words of `text` that one of `words` begins (each word's start and
// length in `text`), case and marks (macrons and others) ignored, in text
// order.
std::vector<std::pair<int, int>> wordSpans(const QString& text, const QStringList& words);
// Entities (&amp; &#257; &#x101;) decoded.
QString decodeEntities(QString s);

// What a page of the help may hold, so that laying it out stays quick
// whatever the file: its size, how deeply its elements nest (tables, whose
// layout costs most, less deeply), how many tags.
constexpr qsizetype kMaxPageBytes = 2 * 1024 * 1024;
constexpr int kMaxPageNesting = 64;
constexpr int kMaxTableNesting = 8;
constexpr int kMaxPageTags = 50000;
// Why a page is not laid out (its size, nesting or tags past those limits,
// its markup damaged, or entities of its own declared); empty when it may
// be. Damaged markup is refused because the layout's cost on it can grow
// with every tag.
QString pageTooCostly(const QByteArray& html);

// How a page's elements nest, read as a parser reads them (an end tag closes
// the innermost element of its name; one that matches none is ignored):
// elements that close themselves or are closed by their neighbours (p, li,
// td...) do not count, nor do comments, scripts and styles. Counting stops
// once either depth reaches `stopAt`.
struct PageShape {
    int depth = 0;       // the deepest nesting of elements
    int tableDepth = 0;  // the deepest nesting of tables
    int tags = 0;        // the tags read
    QString flaw;        // the first damage seen in the markup: a tag not
                         // closed, a name that is no element's, an end tag
                         // that ends none (empty when none is seen)
};
PageShape pageShape(const QByteArray& html, int stopAt);

// An entry of a help contents or index file (an HTML "sitemap"): its name,
// the page it opens (may be empty) and the entries under it.
struct HelpTopic {
    QString name;
    QString page;
    std::vector<HelpTopic> children;
};
// The entries of a sitemap, nested as its lists nest: up to
// kMaxSitemapDepth levels (deeper entries join the deepest level) and
// kMaxSitemapEntries entries, read from its first kMaxSitemapBytes.
constexpr int kMaxSitemapDepth = 16;
constexpr int kMaxSitemapEntries = 5000;
constexpr qsizetype kMaxSitemapBytes = 4 * 1024 * 1024;
std::vector<HelpTopic> parseSitemap(const QByteArray& html);

// An entry of a help file's system data (#SYSTEM: a version word, then
// entries of a code, a length and data) by its code, up to its first zero
// byte and at most 1024 bytes; empty when it has none.
QByteArray systemEntry(const QByteArray& system, int code);

}  // namespace help
