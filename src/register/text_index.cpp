#include "register/text_index.h"

#include "register/find_index.h"

namespace reg {

TextIndex::TextIndex() : db_(Database::openMemory())
{
    db_.exec(QStringLiteral("CREATE VIRTUAL TABLE pages USING fts5(document UNINDEXED, title, body, "
                            "tokenize=\"%1\", prefix='1 2')")
                 .arg(QLatin1String(kFindTokenizer)));
}

void TextIndex::add(int document, const QString& title, const QString& text)
{
    Statement st = db_.prepare(QStringLiteral("INSERT INTO pages (document, title, body) VALUES (?1, ?2, ?3)"));
    st.bind(1, qint64(document));
    st.bind(2, title);
    st.bind(3, text);
    st.next();
    ++size_;
}

std::vector<TextMatch> TextIndex::search(const QString& typed, int limit) const
{
    std::vector<TextMatch> out;
    const QStringList words = findWords(typed);
    if (words.isEmpty())
        return out;
    QStringList terms;
    for (const QString& w : words)
        terms << findTerm(w);
    // bm25 is smaller for better matches; a word in the title counts five times.
    Statement st = db_.prepare(
        QStringLiteral("SELECT document, title, snippet(pages, 2, '', '', '...', 16) FROM pages WHERE pages MATCH ?1 "
                       "ORDER BY bm25(pages, 0.0, 5.0, 1.0), document LIMIT ?2"));
    st.bind(1, terms.join(QLatin1Char(' ')));
    st.bind(2, qint64(limit));
    while (st.next())
        out.push_back({int(st.integer(0)), st.text(1), st.text(2).simplified()});
    return out;
}

}  // namespace reg
