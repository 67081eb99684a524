// The fuzz target of the readers' own decoding. Its input's first byte
// chooses what the rest is read as:
//   even: an Access file, read as the register's readers read it (the
//         catalogue, then up to four tables' pages, rows, texts and long
//         values, and their row counts);
//   odd:  a page, contents file or system data of the help file, read as
//         the help window reads it (the page's shape and cost, its title and
//         text, the contents tree, the system entries).
// Damage must end in a ReaderError or a message, never in a fault.

#include "help/help_text.h"
#include "register/access_rows.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using namespace reg::access;
using reg::AccessTable;

// Keeps a little of each value, so that nothing is optimised away, and a
// view of each text and blob until the row ends, reading it then
// as the reader's insert does, so a value that dies early is caught.
class Discard : public ValueSink {
public:
    void null(size_t) override { ++count; }
    void integer(size_t, qint64 v) override { sum += uint64_t(v); }
    void real(size_t, double v) override { sum += uint64_t(v == v); }
    void text(size_t, const std::string& t) override { views.emplace_back(t.data(), t.size()); }
    void blob(size_t, const unsigned char* p, size_t n) override { views.emplace_back(reinterpret_cast<const char*>(p), n); }
    void endRow()
    {
        for (const auto& [p, n] : views)
            for (size_t i = 0; i < n; ++i)
                sum += uint8_t(p[i]);
        views.clear();
    }
    std::vector<std::pair<const char*, size_t>> views;
    uint64_t count = 0, sum = 0;
};

void readAccess(const QByteArray& bytes)
{
    MdbHandle* h = nullptr;
    try {
        h = openBytes(bytes);
        const std::vector<AccessTable> tables = readCatalogue(h, bytes.size());
        int read = 0;
        for (const AccessTable& t : tables) {
            if (read++ == 4)
                break;
            try {
                const Definition def(h, t.name, t.page);
                std::vector<MdbColumn*> columns;
                std::vector<int> picked;
                for (unsigned c = 0; c < def.table->num_cols; ++c) {
                    columns.push_back(def.column(c));
                    picked.push_back(int(c));
                }
                TableReader reader(h, def.table, bytes.size());
                RowDecoder decoder(h, reader, columns, picked);
                Discard sink;
                qint64 rows = 0;
                reader.forEachRow([&](const std::vector<MdbField>& fields) {
                    decoder.decode(fields, sink);
                    sink.endRow();
                    ++rows;
                });
                checkRowCount(rows, def.table, reader);
            } catch (const ReaderError&) {
                // one table refused; the others are read
            }
        }
    } catch (const ReaderError&) {
    }
    if (h)
        mdb_close(h);
}

void readHelp(const QByteArray& bytes)
{
    (void)help::pageTooCostly(bytes);
    const help::PageShape shape = help::pageShape(bytes, help::kMaxPageNesting + 1);
    (void)shape;
    (void)help::pageTitle(bytes);
    (void)help::pageText(bytes.left(256 * 1024));
    (void)help::parseSitemap(bytes);
    for (int code = 0; code < 4; ++code)
        (void)help::systemEntry(bytes, code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    if (data[0] % 2 == 0)
        readAccess(bytes);
    else
        readHelp(bytes);
    return 0;
}
