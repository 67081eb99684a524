#pragma once
// A writer of Access 2000 (Jet 4) database files, enough for a register:
// tables of Long Integer, Integer, Double, Date/Time, Text, Memo and OLE
// columns (OLE values as raw bytes), NULLs through the null mask, texts in UCS-2 with Jet 4's unicode
// compression, memos inline, on one long-value page or chained across pages,
// page usage maps inline or through map pages, and the system catalogue
// (MSysObjects) listing the tables. No indexes are written.
//
// The layout follows mdbtools' published notes on the MDB format; the files
// are checked with mdbtools and the npm package mdb-reader.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace jet4 {

constexpr int kPageSize = 4096;

enum class ColumnType : uint8_t {
    Integer = 0x03,
    Long = 0x04,
    Double = 0x07,
    DateTime = 0x08,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
};

struct Column {
    std::string name;
    ColumnType type;
};

// One value of a row. Texts are UTF-8; an empty text is not a null.
struct Value {
    enum Kind { Null, Int, Real, Str };
    Kind kind = Null;
    int64_t i = 0;
    double d = 0;
    std::string s;
    static Value null() { return {}; }
    static Value integer(int64_t v) { Value x; x.kind = Int; x.i = v; return x; }
    static Value real(double v) { Value x; x.kind = Real; x.d = v; return x; }
    static Value text(std::string v) { Value x; x.kind = Str; x.s = std::move(v); return x; }
};

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text as Jet 4 stores it: UTF-16LE, or the compressed form (0xFF 0xFE,
// then runs of one byte per character below U+0100, a zero byte switching
// between one and two bytes a character) when that is shorter and possible.
std::string encodeText(const std::string& utf8);
// UTF-8 to UTF-16 code units; throws Error on malformed UTF-8.
std::u16string utf16(const std::string& utf8);

class Writer {
public:
    Writer();
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Starts a user table; rows follow, then endTable(). Throws Error.
    void beginTable(const std::string& name, const std::vector<Column>& columns);
    void addRow(const std::vector<Value>& row);
    void endTable();
    // The properties each user table's catalogue row holds (its LvProp
    // value, stored as a long value); none unless set.
    void setTableProperties(std::string bytes) { properties_ = std::move(bytes); }
    // Writes the catalogue, the header and the file (through a temporary
    // file renamed into place). Throws Error.
    void save(const std::string& path);

private:
    struct Table;
    struct TableEntry {
        std::string name;
        uint32_t tdefPage;
    };

    uint32_t newPage(uint8_t type);
    uint8_t* page(uint32_t n) { return bytes_.data() + size_t(n) * kPageSize; }
    void startTable(const std::string& name, const std::vector<Column>& columns, uint32_t tdefPage, bool system);
    void finishTable();
    // Places `row` on a data or long-value page; returns its page and row.
    uint32_t placeRow(uint32_t& current, const std::string& row, uint32_t owner, bool longValue);
    std::string encodeRow(const std::vector<Value>& row);
    std::string memoField(const std::string& stored);
    // A usage map row for `pages`, inline when they lie within one map's reach.
    std::string usageMap(const std::vector<uint32_t>& pages);
    uint32_t mapRow(const std::string& row);
    void writeTdef();
    void writeHeader();

    std::vector<uint8_t> bytes_;
    std::vector<TableEntry> tables_;
    std::unique_ptr<Table> table_;
    uint32_t mapPage_ = 1;
    std::string properties_;
};

}  // namespace jet4
