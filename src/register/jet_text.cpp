#include "register/jet_text.h"

#include <cmath>
#include <cstdio>

namespace reg {

namespace {

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Joins UTF-16 code units into characters.
class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(std::string& out) : out_(out) {}
    ~Utf16ToUtf8() { flush(); }
    void unit(char16_t u)
    {
        if (u < 0x80 && !high_) {
            out_ += char(u);  // the common case, straight through
            return;
        }
        if (u >= 0xDC00 && u < 0xE000 && high_) {
            appendUtf8(out_, 0x10000 + ((char32_t(high_) - 0xD800) << 10) + (u - 0xDC00));
            high_ = 0;
            return;
        }
        flush();
        if (u >= 0xD800 && u < 0xDC00)
            high_ = u;
        else
            appendUtf8(out_, u >= 0xDC00 && u < 0xE000 ? 0xFFFD : u);
    }

private:
    void flush()
    {
        if (high_)
            appendUtf8(out_, 0xFFFD);
        high_ = 0;
    }
    std::string& out_;
    char16_t high_ = 0;
};

}  // namespace

void appendJet4Text(std::string& out, const unsigned char* p, size_t n)
{
    out.reserve(out.size() + n);
    Utf16ToUtf8 joiner(out);
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bool oneByte = true;
        size_t i = 2;
        while (i < n) {
            if (p[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                joiner.unit(p[i++]);
            } else if (n - i >= 2) {
                joiner.unit(char16_t(p[i] | p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return;
    }
    for (size_t i = 0; i + 1 < n; i += 2)
        joiner.unit(char16_t(p[i] | p[i + 1] << 8));
}

void appendCp1252Text(std::string& out, const unsigned char* p, size_t n)
{
    // 0x80 to 0x9F differ from Latin-1; the five undefined ones pass as C1 controls.
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    out.reserve(out.size() + n);
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c < 0x80)
            out += char(c);
        else
            appendUtf8(out, c < 0xA0 ? high[c - 0x80] : c);
    }
}

bool accessDateText(double stored, std::string& out)
{
    // The day before 0100-01-01 and the day after 9999-12-31, in days since 1899-12-30.
    if (!(stored > -657435.0 && stored < 2958466.0))
        return false;
    const double whole = std::trunc(stored);
    long long seconds = std::llround(std::fabs(stored - whole) * 86400.0);
    long long day = static_cast<long long>(whole);
    if (seconds >= 86400) {  // a time that rounds to midnight is the next day's
        seconds -= 86400;
        ++day;
    }
    if (day >= 2958466) {  // the last second of 9999 is as far as it goes
        day = 2958465;
        seconds = 86399;
    }
    // The civil date of a day count (days since 0000-03-01 in the
    // proleptic Gregorian calendar, by 400-year eras).
    const long long z = day + 693899;  // 1899-12-30 is day 693 899 from 0000-03-01
    const long long era = z / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = era * 400 + yoe + (m <= 2 ? 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", int(y), int(m), int(d), int(seconds / 3600),
                  int(seconds / 60 % 60), int(seconds % 60));
    out = text;
    return true;
}

}  // namespace reg
