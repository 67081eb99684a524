#pragma once
// Texts as an Access file stores them, turned into UTF-8: Jet 4 and later
// keep UTF-16LE, or a compressed form (0xFF 0xFE, then runs of one byte per
// character below U+0100, a zero byte switching between one and two bytes a
// character); Jet 3 keeps the Windows code page 1252.

#include <cstddef>
#include <string>

namespace reg {

// Appends the UTF-8 of a stored Jet 4 text. Surrogate pairs become one
// character; a lone surrogate becomes U+FFFD; a trailing odd byte is dropped.
void appendJet4Text(std::string& out, const unsigned char* p, size_t n);
// Appends the UTF-8 of a Jet 3 text in code page 1252.
void appendCp1252Text(std::string& out, const unsigned char* p, size_t n);

// A stored Date/Time value as "YYYY-MM-DD HH:MM:SS", to the nearest second.
// Access keeps days since 1899-12-30 as a double: the whole part is the day
// (negative before that date) and the fraction's size the time of day, so
// -1.25 is 1899-12-29 06:00:00. False (and `out` untouched) for a value
// outside the years 100 to 9999 that Access allows, or not a number.
bool accessDateText(double stored, std::string& out);

}  // namespace reg
