#pragma once
// Finding licences by licensee, licence number or location. Names and
// places are matched by SQLite's full-text search (FTS5: words folded to
// lower case without macrons or other marks, prefixes), each distinct
// licensee name and location indexed once in a database of the index's own
// in memory; licence numbers are matched from their start in a sorted list.
// A licence matches when every word the user typed begins a word of one of
// its fields. Whatever the user typed is only text, never query syntax.

#include "register/database.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace reg {

class Connection;

enum class FindField { Everything, Licensee, LicenceNumber, Location };

// One licence and frequency range.
struct FindRow {
    qint64 licenceId = 0;
    QString licenceNumber;
    QString licensee;  // the legal name
    double lowMHz = 0, highMHz = 0;
    QString location;       // the names of its locations, "; " between them
    QString district;       // their districts' codes, "; " between them
    double districtId = 0;  // the first of its districts (0: none)
    int status = 0;
};

struct FindResult {
    std::vector<FindRow> rows;  // at most the limit asked for, by licensee, number and frequency
    qint64 total = 0;           // all the matches
};

// The words of what the user typed, as the index compares them: runs of
// letters, digits and the marks on them, at most kMaxFindWords of them,
// each at most kMaxFindWordLength characters.
constexpr int kMaxFindWords = 16;
constexpr int kMaxFindWordLength = 64;
QStringList findWords(const QString& typed);
// The full-text tokenizer: words of those characters, folded to lower case
// without their marks.
extern const char* const kFindTokenizer;
// The full-text query of one word: a prefix, as a quoted string (never syntax).
QString findTerm(const QString& word);

class FindIndex {
public:
    static constexpr int kMaxShown = 1000;

    // Reads every listed licence (statuses 1 and 5, management rights
    // excepted) of the register, with its licensee and locations. Throws
    // RegisterError (the statements run under the caller's budget).
    static std::unique_ptr<FindIndex> build(const Connection& c);
    ~FindIndex();

    FindResult find(const QString& typed, FindField field, int limit = kMaxShown) const;
    // The licences and ranges indexed.
    size_t size() const { return rows_.size(); }

private:
    FindIndex() = default;
    struct Licence {
        qint64 id = 0;
        QString number;
        int client = -1;
        std::vector<int> locations;
    };
    struct Location {
        QString name;
        double districtId = 0;
        QString district;
    };
    struct Row {
        int licence;
        double low, high;
        int status;
    };
    // Marks the licences one word finds in the field.
    void mark(const QString& word, FindField field, std::vector<char>& hit) const;
    std::vector<qint64> ftsMatches(const char* table, const QString& word) const;
    FindRow rowOf(const Row& r) const;

    Database fts_;  // find_clients (licensees) and find_places (locations), rowids our indexes
    std::vector<QString> clients_;
    std::vector<std::vector<int>> licencesOfClient_, licencesOfLocation_;
    std::vector<Location> locations_;
    std::vector<Licence> licences_;
    std::vector<std::pair<QString, int>> numbers_;  // case-folded number text, licence; sorted
    std::vector<Row> rows_;                          // in the order results are given
};

}  // namespace reg
