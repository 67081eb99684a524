#pragma once
// The words of the help's pages, for searching them and marking what was
// found: a page's title and its text without markup, and where the words
// someone typed begin words of a text (whatever the case and marks).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
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

}  // namespace help
