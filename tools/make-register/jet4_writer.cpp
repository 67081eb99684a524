#include "jet4_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace jet4 {

namespace {

// Page types, and the offsets of a data page's header.
constexpr uint8_t kPageData = 0x01;
constexpr uint8_t kPageTdef = 0x02;
constexpr uint8_t kPageUsageMap = 0x05;
constexpr int kRowCountAt = 12;
constexpr int kRowOffsetsAt = 14;
constexpr int kMaxRowsOnPage = 255;  // a page-and-row pointer holds the row in one byte
// The largest row a page holds, and a chained memo's share of it.
constexpr size_t kMaxRow = kPageSize - kRowOffsetsAt - 2;
constexpr size_t kMaxChunk = kMaxRow - 4;
// Memos up to this many stored bytes stay in their row.
constexpr size_t kMaxInlineMemo = 64;
constexpr int kMemoHeader = 12;
// A usage map row: its type byte, then (inline) a start page and a bitmap,
// or (through map pages) one page number for each map page.
constexpr size_t kMapRowSize = 64;
constexpr uint32_t kPagesPerMapPage = (kPageSize - 4) * 8;
constexpr uint32_t kInlineMapReach = (kMapRowSize - 5) * 8;
// Catalogue values: the Tables container, object types and flags.
constexpr int64_t kTablesContainer = 0x0F000001;
constexpr int64_t kRootContainer = 0x0F000000;
constexpr int kObjectTable = 1;
constexpr int kObjectContainer = 3;
constexpr int64_t kSystemObjectFlags = int32_t(0x80000002u);
constexpr int64_t kContainerFlags = int32_t(0x80000000u);
// The creation date of every file written (days since 30 December 1899):
// files are the same for the same content.
constexpr double kCreationDate = 46365.5;

void put16(uint8_t* p, int at, uint32_t v)
{
    p[at] = uint8_t(v);
    p[at + 1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, int at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        p[at + k] = uint8_t(v >> (8 * k));
}

uint32_t get16(const uint8_t* p, int at) { return uint32_t(p[at]) | uint32_t(p[at + 1]) << 8; }

void append16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void append32(std::string& s, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        s += char((v >> (8 * k)) & 0xFF);
}

void appendDouble(std::string& s, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    for (int k = 0; k < 8; ++k)
        s += char((bits >> (8 * k)) & 0xFF);
}

bool isFixed(ColumnType t)
{
    return t == ColumnType::Integer || t == ColumnType::Long || t == ColumnType::Double || t == ColumnType::DateTime;
}

int fixedSize(ColumnType t)
{
    switch (t) {
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    default: return 8;
    }
}

bool isText(ColumnType t) { return t == ColumnType::Text || t == ColumnType::Memo; }

// RC4, with which the header's middle is stored.
void rc4(const uint8_t* key, size_t keyLen, uint8_t* data, size_t n)
{
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = uint8_t(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[size_t(i) % keyLen]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (size_t k = 0, i = 0, j = 0; k < n; ++k) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[k] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

}  // namespace

std::u16string utf16(const std::string& utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        uint32_t c = *p++;
        int extra = 0;
        if (c >= 0xF0 && c < 0xF8) { c &= 0x07; extra = 3; }
        else if (c >= 0xE0) { c &= 0x0F; extra = 2; }
        else if (c >= 0xC0) { c &= 0x1F; extra = 1; }
        else if (c >= 0x80) throw Error("malformed UTF-8 text");
        if (c > 0x10FFFF || end - p < extra)
            throw Error("malformed UTF-8 text");
        for (int k = 0; k < extra; ++k) {
            if ((*p & 0xC0) != 0x80)
                throw Error("malformed UTF-8 text");
            c = (c << 6) | (*p++ & 0x3F);
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::string encodeText(const std::string& utf8)
{
    const std::u16string u = utf16(utf8);
    std::string plain;
    plain.reserve(u.size() * 2);
    bool compressible = true;
    for (char16_t c : u) {
        append16(plain, c);
        // A zero byte switches modes, so no character may start with one.
        if (c == 0 || (c >= 0x100 && (c & 0xFF) == 0))
            compressible = false;
    }
    if (!compressible || u.empty())
        return plain;
    std::string packed = "\xFF\xFE";
    bool oneByte = true;
    for (char16_t c : u) {
        const bool small = c < 0x100;
        if (small != oneByte) {
            packed += '\0';
            oneByte = small;
        }
        if (small)
            packed += char(c);
        else
            append16(packed, c);
    }
    return packed.size() < plain.size() ? packed : plain;
}

struct Writer::Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<int> fixedOffset;  // per column, within the fixed part; -1 for variable ones
    std::vector<int> varIndex;     // per column; -1 for fixed ones
    int fixedBytes = 0;
    int varCount = 0;
    uint32_t tdefPage = 0;
    bool system = false;
    uint32_t rows = 0;
    std::vector<uint32_t> dataPages;
    uint32_t dataCurrent = 0;
    // The long-value pages of each memo or OLE column.
    std::vector<std::vector<uint32_t>> longPages;
    std::vector<uint32_t> longCurrent;
    int currentColumn = 0;  // the column whose memo is being stored
};

Writer::~Writer() = default;

Writer::Writer()
{
    bytes_.reserve(size_t(kPageSize) * 64);
    newPage(0x00);               // 0: the header
    newPage(kPageData);          // 1: usage map rows
    newPage(kPageTdef);          // 2: the catalogue's definition
}

uint32_t Writer::newPage(uint8_t type)
{
    const uint32_t n = uint32_t(bytes_.size() / kPageSize);
    if (n >= 0x00FFFFFF)
        throw Error("the database would have more pages than the format can address");
    bytes_.resize(bytes_.size() + kPageSize, 0);
    uint8_t* p = page(n);
    p[0] = type;
    p[1] = 0x01;
    if (type == kPageData)
        put16(p, 2, kPageSize - kRowOffsetsAt);
    return n;
}

void Writer::beginTable(const std::string& name, const std::vector<Column>& columns)
{
    if (table_)
        throw Error("a table is already being written");
    if (name.empty() || name.size() > 64)
        throw Error("a table name must have 1 to 64 characters");
    for (const TableEntry& t : tables_)
        if (t.name == name)
            throw Error("table " + name + " is written twice");
    startTable(name, columns, newPage(kPageTdef), false);
}

void Writer::startTable(const std::string& name, const std::vector<Column>& columns, uint32_t tdefPage, bool system)
{
    if (columns.empty() || columns.size() > 255)
        throw Error("table " + name + " must have 1 to 255 columns");
    table_ = std::make_unique<Table>();
    Table* t = table_.get();
    t->name = name;
    t->columns = columns;
    t->tdefPage = tdefPage;
    t->system = system;
    for (const Column& c : columns) {
        if (c.name.empty() || c.name.size() > 64)
            throw Error("a column name of table " + name + " must have 1 to 64 characters");
        if (isFixed(c.type)) {
            t->fixedOffset.push_back(t->fixedBytes);
            t->varIndex.push_back(-1);
            t->fixedBytes += fixedSize(c.type);
        } else {
            t->fixedOffset.push_back(-1);
            t->varIndex.push_back(t->varCount++);
        }
    }
    t->longPages.resize(columns.size());
    t->longCurrent.assign(columns.size(), 0);
    tables_.push_back({name, tdefPage});
}

uint32_t Writer::placeRow(uint32_t& current, const std::string& row, uint32_t owner, bool longValue)
{
    if (row.size() > kMaxRow)
        throw Error("a row of table " + table_->name + " is longer than a page");
    auto fits = [&](uint32_t n) {
        const uint8_t* p = page(n);
        const uint32_t rows = get16(p, kRowCountAt);
        const uint32_t top = rows ? get16(p, kRowOffsetsAt + 2 * (rows - 1)) : kPageSize;
        return rows < kMaxRowsOnPage && row.size() + 2 <= top - (kRowOffsetsAt + 2 * rows);
    };
    if (current == 0 || !fits(current)) {
        current = newPage(kPageData);
        uint8_t* p = page(current);
        if (longValue)
            std::memcpy(p + 4, "LVAL", 4);
        else
            put32(p, 4, owner);
        if (longValue)
            table_->longPages[size_t(table_->currentColumn)].push_back(current);
        else if (owner != 0)
            table_->dataPages.push_back(current);
    }
    uint8_t* p = page(current);
    const uint32_t rows = get16(p, kRowCountAt);
    const uint32_t top = rows ? get16(p, kRowOffsetsAt + 2 * (rows - 1)) : kPageSize;
    const uint32_t at = top - uint32_t(row.size());
    std::memcpy(p + at, row.data(), row.size());
    put16(p, kRowOffsetsAt + 2 * rows, at);
    put16(p, kRowCountAt, rows + 1);
    put16(p, 2, at - (kRowOffsetsAt + 2 * (rows + 1)));
    return current << 8 | rows;
}

std::string Writer::memoField(const std::string& stored)
{
    if (stored.size() > 0x00FFFFFF)
        throw Error("a memo of table " + table_->name + " is longer than 16 MB");
    std::string f;
    const uint32_t len = uint32_t(stored.size());
    const size_t col = size_t(table_->currentColumn);
    if (stored.size() <= kMaxInlineMemo) {
        append32(f, len | 0x80000000u);
        append32(f, 0);
        append32(f, 0);
        f += stored;
    } else if (stored.size() <= kMaxRow) {
        const uint32_t where = placeRow(table_->longCurrent[col], stored, 0, true);
        append32(f, len | 0x40000000u);
        append32(f, where);
        append32(f, 0);
    } else {
        // Chained: each piece starts with the page and row of the next; the
        // last piece is written first so that each knows where its successor lies.
        std::vector<std::string> pieces;
        for (size_t at = 0; at < stored.size(); at += kMaxChunk)
            pieces.push_back(stored.substr(at, kMaxChunk));
        uint32_t next = 0;
        for (size_t k = pieces.size(); k-- > 0;) {
            std::string row;
            append32(row, next);
            row += pieces[k];
            uint32_t fresh = 0;  // each piece on a page of its own
            next = placeRow(fresh, row, 0, true);
        }
        append32(f, len);
        append32(f, next);
        append32(f, 0);
    }
    return f;
}

std::string Writer::encodeRow(const std::vector<Value>& row)
{
    Table& t = *table_;
    const size_t n = t.columns.size();
    if (row.size() != n)
        throw Error("a row of table " + t.name + " has the wrong number of values");
    std::string r;
    append16(r, uint32_t(n));
    r.append(size_t(t.fixedBytes), '\0');
    std::string nullMask((n + 7) / 8, '\0');
    std::vector<uint32_t> varStart(size_t(t.varCount), 0);
    auto bad = [&](const Column& c, const char* why) {
        return Error("table " + t.name + ", column " + c.name + ": " + why);
    };
    // Fixed columns first, in their places; then the variable ones in order.
    for (size_t c = 0; c < n; ++c) {
        const Column& col = t.columns[c];
        const Value& v = row[c];
        if (v.kind == Value::Null || !isFixed(col.type))
            continue;
        nullMask[c / 8] = char(nullMask[c / 8] | (1 << (c % 8)));
        std::string bytes;
        if (col.type == ColumnType::Integer || col.type == ColumnType::Long) {
            double x = v.kind == Value::Int ? double(v.i) : v.d;
            if (v.kind == Value::Str || x != std::floor(x))
                throw bad(col, "not a whole number");
            const bool shortInt = col.type == ColumnType::Integer;
            const double lo = shortInt ? -32768.0 : -2147483648.0, hi = shortInt ? 32767.0 : 2147483647.0;
            if (x < lo || x > hi)
                throw bad(col, "a number out of the column's range");
            const auto i = int64_t(x);
            if (shortInt)
                append16(bytes, uint32_t(i) & 0xFFFF);
            else
                append32(bytes, uint32_t(int32_t(i)));
        } else {
            if (v.kind == Value::Str)
                throw bad(col, "not a number");
            appendDouble(bytes, v.kind == Value::Int ? double(v.i) : v.d);
        }
        r.replace(size_t(2 + t.fixedOffset[c]), bytes.size(), bytes);
    }
    for (size_t c = 0; c < n; ++c) {
        const Column& col = t.columns[c];
        if (isFixed(col.type))
            continue;
        const Value& v = row[c];
        varStart[size_t(t.varIndex[c])] = uint32_t(r.size());
        if (v.kind == Value::Null)
            continue;
        if (v.kind != Value::Str)
            throw bad(col, "not a text");
        nullMask[c / 8] = char(nullMask[c / 8] | (1 << (c % 8)));
        // An OLE value's bytes are stored as they are, a text's encoded.
        const std::string stored = col.type == ColumnType::Ole ? v.s : encodeText(v.s);
        if (col.type == ColumnType::Text) {
            if (utf16(v.s).size() > 255)
                throw bad(col, "a text longer than 255 characters");
            r += stored;
        } else {
            t.currentColumn = int(c);
            r += memoField(stored);
        }
    }
    if (t.varCount > 0) {
        append16(r, uint32_t(r.size() + 0));  // end of the variable data
        for (int k = t.varCount; k-- > 0;)
            append16(r, varStart[size_t(k)]);
        append16(r, uint32_t(t.varCount));
    }
    if (r.size() > 0xFFFF)
        throw Error("a row of table " + t.name + " is too long");
    return r + nullMask;
}

void Writer::addRow(const std::vector<Value>& row)
{
    if (!table_)
        throw Error("no table is being written");
    const std::string r = encodeRow(row);
    placeRow(table_->dataCurrent, r, table_->tdefPage, false);
    ++table_->rows;
}

std::string Writer::usageMap(const std::vector<uint32_t>& pagesIn)
{
    std::vector<uint32_t> pages = pagesIn;
    std::sort(pages.begin(), pages.end());
    std::string row(kMapRowSize, '\0');
    auto* m = reinterpret_cast<uint8_t*>(row.data());
    if (pages.empty() || pages.back() - pages.front() < kInlineMapReach) {
        const uint32_t start = pages.empty() ? 0 : pages.front();
        m[0] = 0x00;
        put32(m, 1, start);
        for (uint32_t p : pages)
            m[5 + (p - start) / 8] = uint8_t(m[5 + (p - start) / 8] | (1 << ((p - start) % 8)));
        return row;
    }
    m[0] = 0x01;
    const uint32_t maps = pages.back() / kPagesPerMapPage + 1;
    if (maps > (kMapRowSize - 1) / 4)
        throw Error("table " + table_->name + " has more pages than its usage map can hold");
    std::vector<uint32_t> mapPages(maps, 0);
    for (uint32_t p : pages) {
        const uint32_t k = p / kPagesPerMapPage;
        if (!mapPages[k])
            mapPages[k] = newPage(kPageUsageMap);
        uint8_t* mp = page(mapPages[k]) + 4;
        const uint32_t bit = p % kPagesPerMapPage;
        mp[bit / 8] = uint8_t(mp[bit / 8] | (1 << (bit % 8)));
    }
    for (uint32_t k = 0; k < maps; ++k)
        put32(m, int(1 + 4 * k), mapPages[k]);
    return row;
}

uint32_t Writer::mapRow(const std::string& row)
{
    // Usage maps share data pages that belong to no table.
    return placeRow(mapPage_, row, 0, false);
}

void Writer::writeTdef()
{
    Table& t = *table_;
    std::string d;  // the definition from offset 8 on
    const uint32_t usage = mapRow(usageMap(t.dataPages));
    const uint32_t freeSpace = mapRow(usageMap({}));
    append32(d, 0);  // length, set below
    append32(d, 0);
    append32(d, t.rows);
    append32(d, 0);  // next autonumber
    d += char(0x01);
    d.append(3, '\0');
    append32(d, 0);
    d.append(8, '\0');
    d += char(t.system ? 0x53 : 0x4E);
    append16(d, uint32_t(t.columns.size()));  // columns ever made
    append16(d, uint32_t(t.varCount));
    append16(d, uint32_t(t.columns.size()));
    append32(d, 0);  // logical indexes
    append32(d, 0);  // index entries
    append32(d, usage);
    append32(d, freeSpace);
    for (size_t c = 0; c < t.columns.size(); ++c) {
        const Column& col = t.columns[c];
        d += char(col.type);
        append32(d, 0);
        append16(d, uint32_t(c));
        append16(d, t.varIndex[c] < 0 ? 0 : uint32_t(t.varIndex[c]));
        append16(d, uint32_t(c));
        append16(d, isText(col.type) ? 0x0409 : 0);  // sort order: General
        append16(d, 0);
        d += char((isFixed(col.type) ? 0x01 : 0x00) | 0x02);
        d += char(isText(col.type) ? 0x01 : 0x00);  // unicode compression
        append32(d, 0);
        append16(d, t.fixedOffset[c] < 0 ? 0 : uint32_t(t.fixedOffset[c]));
        append16(d, isFixed(col.type) ? uint32_t(fixedSize(col.type)) : col.type == ColumnType::Text ? 510 : 0);
    }
    for (const Column& col : t.columns) {
        const std::u16string name = utf16(col.name);
        append16(d, uint32_t(name.size() * 2));
        for (char16_t ch : name)
            append16(d, ch);
    }
    // The long-value pages of each memo and OLE column.
    for (size_t c = 0; c < t.columns.size(); ++c) {
        if (isFixed(t.columns[c].type) || t.columns[c].type == ColumnType::Text)
            continue;
        append16(d, uint32_t(c));
        append32(d, mapRow(usageMap(t.longPages[c])));
        append32(d, mapRow(usageMap({})));
    }
    append16(d, 0xFFFF);
    if (8 + d.size() > size_t(kPageSize))
        throw Error("the definition of table " + t.name + " is longer than a page");
    auto* raw = reinterpret_cast<uint8_t*>(d.data());
    put32(raw, 0, uint32_t(d.size()));
    uint8_t* p = page(t.tdefPage);
    std::memcpy(p + 8, d.data(), d.size());
    put16(p, 2, uint32_t(kPageSize - 8 - d.size()));
    put32(p, 4, 0);  // no continuation page
}

void Writer::finishTable()
{
    writeTdef();
    table_.reset();
}

void Writer::endTable()
{
    if (!table_)
        throw Error("no table is being written");
    finishTable();
}

void Writer::writeHeader()
{
    uint8_t* p = page(0);
    p[0] = 0x00;
    p[1] = 0x01;
    std::memcpy(p + 4, "Standard Jet DB", 15);
    put32(p, 0x14, 1);  // Jet 4
    // The encrypted middle: code page, no page encryption, an empty
    // password (masked with the creation date), the General sort order.
    uint8_t* mid = p + 0x18;
    std::memset(mid, 0, 128);
    put16(p, 0x3C, 1252);
    put32(p, 0x3E, 0);
    const auto mask = uint32_t(int32_t(std::floor(kCreationDate)));
    for (int k = 0; k < 40; ++k)
        p[0x42 + k] = uint8_t(mask >> (8 * (k % 4)));
    put16(p, 0x6E, 0x0409);
    put16(p, 0x70, 0);
    std::memcpy(p + 0x72, &kCreationDate, 8);
    static const uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    rc4(key, sizeof key, mid, 128);
}

void Writer::save(const std::string& path)
{
    if (table_)
        throw Error("table " + table_->name + " is not finished");
    // The catalogue lists the Tables container, itself and the user tables.
    const std::vector<TableEntry> user(tables_.begin(), tables_.end());
    const std::vector<Column> cols = {
        {"Id", ColumnType::Long},           {"ParentId", ColumnType::Long},   {"Name", ColumnType::Text},
        {"Type", ColumnType::Integer},      {"DateCreate", ColumnType::DateTime},
        {"DateUpdate", ColumnType::DateTime}, {"Flags", ColumnType::Long},    {"LvProp", ColumnType::Ole},
    };
    startTable("MSysObjects", cols, 2, true);
    auto entry = [&](int64_t id, int64_t parent, const std::string& name, int type, int64_t flags,
                     const std::string& properties) {
        addRow({Value::integer(id), Value::integer(parent), Value::text(name), Value::integer(type),
                Value::real(kCreationDate), Value::real(kCreationDate), Value::integer(flags),
                properties.empty() ? Value::null() : Value::text(properties)});
    };
    entry(kTablesContainer, kRootContainer, "Tables", kObjectContainer, kContainerFlags, {});
    entry(2, kTablesContainer, "MSysObjects", kObjectTable, kSystemObjectFlags, {});
    for (const TableEntry& t : user)
        entry(t.tdefPage, kTablesContainer, t.name, kObjectTable, 0, properties_);
    finishTable();
    writeHeader();

    const std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        throw Error("cannot create " + tmp);
    const bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), f) == bytes_.size();
    if (std::fclose(f) != 0 || !ok) {
        std::remove(tmp.c_str());
        throw Error("cannot write " + tmp);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw Error("cannot write " + path);
    }
}

}  // namespace jet4
