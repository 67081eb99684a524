#pragma once
// Texts from the register as the program shows them: bounded in length, so
// that a hostile register's megabyte of text cannot make laying it out slow.

#include <QString>

namespace base {

// At most `max` characters, the last of them an ellipsis when the text is longer.
QString boundedText(const QString& text, int max);
// The longest name, label or district text shown (an Access text column holds 255).
constexpr int kShownTextMax = 255;

}  // namespace base
