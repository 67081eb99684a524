#pragma once
// A full-text index of a few hundred documents (the help's pages), in a
// database of its own in memory: every word typed must begin a word of the
// document, whatever its case and marks ("taupo" finds "Taupō"); matches
// ranked with the title weighing more than the text. Whatever is typed is
// only text, never query syntax.

#include "register/database.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace reg {

struct TextMatch {
    int document = 0;
    QString title;
    QString excerpt;  // a few words around the first match, "..." where cut
};

class TextIndex {
public:
    TextIndex();
    // Adds a document; its number is given back by matches. Throws RegisterError.
    void add(int document, const QString& title, const QString& text);
    // The documents every typed word begins a word of, best first.
    std::vector<TextMatch> search(const QString& typed, int limit = 50) const;
    int size() const { return size_; }

private:
    Database db_;
    int size_ = 0;
};

}  // namespace reg
