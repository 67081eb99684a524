#include "register/find_index.h"

#include "base/log.h"
#include "register/connection.h"
#include "register/schema.h"

#include <QElapsedTimer>
#include <QHash>

#include <algorithm>

namespace reg {

const char* const kFindTokenizer = "unicode61 remove_diacritics 2 categories 'L* N* Co Mn Mc'";

namespace {

// Letters, digits and the marks on them, and private-use characters: the
// characters the full-text tokenizer keeps in its words (the rest part them).
bool wordCharacter(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Other_PrivateUse: return true;
    default: return QChar::isLetterOrNumber(c);
    }
}

// Contentless, with prefixes of one and two characters indexed as well.
const QString kFtsOptions =
    QStringLiteral("content='', tokenize=\"%1\", prefix='1 2'").arg(QLatin1String(kFindTokenizer));

// The longest name of a licensee or location indexed (longer ones are the
// register's fault; the rest of such a name is not searched).
constexpr int kIndexedTextMax = 4096;

}  // namespace

QStringList findWords(const QString& typed)
{
    // In composed form, so that a macron typed as a mark after its letter
    // makes one character with it.
    const QString text = typed.left(kMaxFindWords * (kMaxFindWordLength + 1) * 4)
                             .normalized(QString::NormalizationForm_C);
    QStringList words;
    QString word;
    auto finish = [&] {
        if (!word.isEmpty() && words.size() < kMaxFindWords)
            words << word;
        word.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        if (!wordCharacter(c))
            finish();
        else if (word.size() < kMaxFindWordLength)
            word += QString::fromUcs4(&c, 1);
    }
    finish();
    return words;
}

QString findTerm(const QString& word)
{
    return QLatin1Char('"') + QString(word).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QStringLiteral("\"*");
}

std::unique_ptr<FindIndex> FindIndex::build(const Connection& c)
{
    QElapsedTimer clock;
    clock.start();
    const Database& db = c.database();
    std::unique_ptr<FindIndex> index(new FindIndex);
    FindIndex& x = *index;

    QHash<qint64, int> clientIndex, locationIndex, licenceIndex;
    QHash<qint64, QString> offices;
    {
        Statement st = db.prepare(QStringLiteral("SELECT clientid, name FROM clientname WHERE legal_order = %1")
                                      .arg(kLegalName));
        while (st.next()) {
            if (st.isNull(0) || clientIndex.contains(st.integer(0)))
                continue;
            clientIndex.insert(st.integer(0), int(x.clients_.size()));
            x.clients_.push_back(st.shownText(1).left(kIndexedTextMax));
        }
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT officeid, officecode FROM issuingoffice"));
        while (st.next())
            offices.insert(st.integer(0), st.shownText(1));
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT locationid, locationname, districtid FROM location"));
        while (st.next()) {
            if (st.isNull(0) || locationIndex.contains(st.integer(0)))
                continue;
            locationIndex.insert(st.integer(0), int(x.locations_.size()));
            const double district = st.number(2).value_or(0);
            x.locations_.push_back({st.shownText(1).left(kIndexedTextMax), district > 0 ? district : 0,
                                    offices.value(st.code(2).value_or(0))});
        }
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT licenceid, licencenumber, clientid FROM licence"));
        while (st.next()) {
            if (st.isNull(0) || licenceIndex.contains(st.integer(0)))
                continue;
            licenceIndex.insert(st.integer(0), int(x.licences_.size()));
            Licence l;
            l.id = st.integer(0);
            l.number = st.shownText(1).left(kIndexedTextMax);
            l.client = st.isNull(2) ? -1 : clientIndex.value(st.integer(2), -1);
            x.licences_.push_back(l);
        }
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT licenceid, locationid FROM transmitconfiguration"));
        while (st.next()) {
            const int l = licenceIndex.value(st.integer(0), -1), p = locationIndex.value(st.integer(1), -1);
            if (l < 0 || p < 0 || st.isNull(0) || st.isNull(1))
                continue;
            std::vector<int>& at = x.licences_[size_t(l)].locations;
            if (std::find(at.begin(), at.end(), p) == at.end())
                at.push_back(p);
        }
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT licenceid, spectrumlow, spectrumhigh, spectrumstatusid FROM "
                                                 "spectrum WHERE spectrumlow > 0 AND spectrumtypeid <> %1 AND "
                                                 "spectrumstatusid IN (%2, %3) AND licenceid IS NOT NULL")
                                      .arg(kTypeManagementRight)
                                      .arg(kStatusLicensed)
                                      .arg(kStatusLicensed5));
        while (st.next()) {
            const int l = licenceIndex.value(st.integer(0), -1);
            const std::optional<double> low = st.number(1), high = st.number(2);
            if (l < 0 || !low || !high)
                continue;
            x.rows_.push_back({l, *low, *high, int(st.code(3).value_or(0))});
        }
    }
    const qint64 readMs = clock.elapsed();

    // One row a licence and range (the lowest status of its records), by
    // licensee, licence number and frequency: licensees ranked by name, then
    // licences by licensee and number, then the rows.
    std::vector<int> byName(x.clients_.size()), clientRank(x.clients_.size());
    for (size_t i = 0; i < byName.size(); ++i)
        byName[i] = int(i);
    std::sort(byName.begin(), byName.end(), [&x](int a, int b) {
        return QString::compare(x.clients_[size_t(a)], x.clients_[size_t(b)], Qt::CaseInsensitive) < 0;
    });
    // Licensees of one name (many a register holds) share their rank.
    for (size_t i = 0; i < byName.size(); ++i)
        clientRank[size_t(byName[i])] =
            i > 0 && QString::compare(x.clients_[size_t(byName[i])], x.clients_[size_t(byName[i - 1])],
                                      Qt::CaseInsensitive) == 0
                ? clientRank[size_t(byName[i - 1])]
                : int(i);
    std::vector<int> byLicence(x.licences_.size()), licenceRank(x.licences_.size());
    for (size_t i = 0; i < byLicence.size(); ++i)
        byLicence[i] = int(i);
    auto rankOf = [&](int l) {
        const int holder = x.licences_[size_t(l)].client;
        return holder >= 0 ? clientRank[size_t(holder)] : int(clientRank.size());
    };
    std::sort(byLicence.begin(), byLicence.end(), [&](int a, int b) {
        const Licence &la = x.licences_[size_t(a)], &lb = x.licences_[size_t(b)];
        if (rankOf(a) != rankOf(b))
            return rankOf(a) < rankOf(b);
        if (la.number.size() != lb.number.size())
            return la.number.size() < lb.number.size();  // numbers by value
        return la.number != lb.number ? la.number < lb.number : a < b;
    });
    for (size_t i = 0; i < byLicence.size(); ++i)
        licenceRank[size_t(byLicence[i])] = int(i);
    std::sort(x.rows_.begin(), x.rows_.end(), [&](const Row& a, const Row& b) {
        if (a.licence != b.licence)
            return licenceRank[size_t(a.licence)] < licenceRank[size_t(b.licence)];
        if (a.low != b.low)
            return a.low < b.low;
        if (a.high != b.high)
            return a.high < b.high;
        return a.status < b.status;
    });
    x.rows_.erase(std::unique(x.rows_.begin(), x.rows_.end(),
                              [](const Row& a, const Row& b) {
                                  return a.licence == b.licence && a.low == b.low && a.high == b.high;
                              }),
                  x.rows_.end());

    // Who holds what, and where: the licences of each licensee and location.
    x.licencesOfClient_.resize(x.clients_.size());
    x.licencesOfLocation_.resize(x.locations_.size());
    for (size_t l = 0; l < x.licences_.size(); ++l) {
        const Licence& lic = x.licences_[l];
        if (lic.client >= 0)
            x.licencesOfClient_[size_t(lic.client)].push_back(int(l));
        for (int p : lic.locations)
            x.licencesOfLocation_[size_t(p)].push_back(int(l));
        x.numbers_.push_back({lic.number.toCaseFolded(), int(l)});
    }
    std::sort(x.numbers_.begin(), x.numbers_.end());

    // The names and places, each indexed once, under the same budget as the
    // reading (a hostile register's millions of names stop there).
    x.fts_ = Database::openMemory();
    x.fts_.watchStatements();
    const Budget budget(&x.fts_, kActionBudgetMs);
    for (const char* table : {"find_clients", "find_places"})
        x.fts_.exec(QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(name, %2)").arg(QLatin1String(table),
                                                                                       kFtsOptions));
    x.fts_.exec(QStringLiteral("BEGIN"));
    auto fill = [&x](const char* table, const auto& names, auto nameOf) {
        Statement ins = x.fts_.prepare(QStringLiteral("INSERT INTO %1 (rowid, name) VALUES (?1, ?2)")
                                           .arg(QLatin1String(table)));
        for (size_t i = 0; i < names.size(); ++i) {
            ins.bind(1, qint64(i));
            ins.bind(2, nameOf(names[i]));
            ins.next();
            ins.reset();
        }
    };
    fill("find_clients", x.clients_, [](const QString& n) { return n; });
    fill("find_places", x.locations_, [](const Location& p) { return p.name; });
    x.fts_.exec(QStringLiteral("COMMIT"));
    qCInfo(base::lcFind) << "index of" << x.rows_.size() << "licence ranges," << x.clients_.size() << "licensees and"
                         << x.locations_.size() << "locations made in" << clock.elapsed() << "ms (" << readMs
                         << "ms reading the register)";
    return index;
}

FindIndex::~FindIndex() = default;

std::vector<qint64> FindIndex::ftsMatches(const char* table, const QString& word) const
{
    Statement st = fts_.prepare(QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?1").arg(QLatin1String(table)));
    st.bind(1, findTerm(word));
    std::vector<qint64> ids;
    while (st.next())
        ids.push_back(st.integer(0));
    return ids;
}

void FindIndex::mark(const QString& word, FindField field, std::vector<char>& hit) const
{
    if (field == FindField::Everything || field == FindField::Licensee)
        for (qint64 c : ftsMatches("find_clients", word))
            for (int l : licencesOfClient_[size_t(c)])
                hit[size_t(l)] = 1;
    if (field == FindField::Everything || field == FindField::Location)
        for (qint64 p : ftsMatches("find_places", word))
            for (int l : licencesOfLocation_[size_t(p)])
                hit[size_t(l)] = 1;
    if (field == FindField::Everything || field == FindField::LicenceNumber) {
        // Numbers from their start: the sorted numbers that begin with the word.
        const QString prefix = word.toCaseFolded();
        auto it = std::lower_bound(numbers_.begin(), numbers_.end(), std::pair<QString, int>{prefix, -1});
        for (; it != numbers_.end() && it->first.startsWith(prefix); ++it)
            hit[size_t(it->second)] = 1;
    }
}

FindRow FindIndex::rowOf(const Row& r) const
{
    const Licence& lic = licences_[size_t(r.licence)];
    FindRow out;
    out.licenceId = lic.id;
    out.licenceNumber = lic.number;
    out.licensee = lic.client >= 0 ? clients_[size_t(lic.client)] : QString();
    out.lowMHz = r.low;
    out.highMHz = r.high;
    out.status = r.status;
    QStringList names, districts;
    for (int p : lic.locations) {
        const Location& at = locations_[size_t(p)];
        if (!names.contains(at.name))
            names << at.name;
        if (!at.district.isEmpty() && !districts.contains(at.district))
            districts << at.district;
        if (at.districtId > 0 && (out.districtId == 0 || at.districtId < out.districtId))
            out.districtId = at.districtId;
    }
    out.location = names.join(QStringLiteral("; "));
    out.district = districts.join(QStringLiteral("; "));
    return out;
}

FindResult FindIndex::find(const QString& typed, FindField field, int limit) const
{
    FindResult out;
    const QStringList words = findWords(typed);
    if (words.isEmpty())
        return out;
    // Every word must find the licence.
    std::vector<char> all(licences_.size(), 1), hit(licences_.size());
    for (const QString& w : words) {
        std::fill(hit.begin(), hit.end(), 0);
        mark(w, field, hit);
        for (size_t l = 0; l < all.size(); ++l)
            all[l] &= hit[l];
    }
    for (const Row& r : rows_) {
        if (!all[size_t(r.licence)])
            continue;
        if (out.total++ < limit)
            out.rows.push_back(rowOf(r));
    }
    return out;
}

}  // namespace reg
