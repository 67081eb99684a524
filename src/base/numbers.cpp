#include "base/numbers.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <string>

namespace base {

namespace {

// The decimal digits of |x| to 15 significant digits: digits "d1d2...d15"
// (trailing zeros removed) and the exponent e of d1 (x = 0.d1d2... x 10^(e+1)).
struct Decimal {
    bool negative = false;
    std::string digits;  // empty for zero
    int exponent = 0;
};

// The decimal digits of |x| to `digits` significant digits.
Decimal decimalDigits(double x, int digits)
{
    Decimal d;
    if (x == 0 || !std::isfinite(x))
        return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, x);
    std::string s(buf);
    if (s[0] == '-') {
        d.negative = true;
        s.erase(0, 1);
    }
    const size_t e = s.find('e');
    d.exponent = std::stoi(s.substr(e + 1));
    std::string mant = s.substr(0, e);
    mant.erase(1, 1);  // the point
    while (!mant.empty() && mant.back() == '0')
        mant.pop_back();
    d.digits = mant;
    return d;
}

Decimal decimal15(double x) { return decimalDigits(x, 15); }

// Fixed-point text of |value| from its decimal form: integer part (may be
// empty) and fraction part (no trailing zeros).
void fixedParts(const Decimal& d, std::string& intPart, std::string& fracPart)
{
    intPart.clear();
    fracPart.clear();
    if (d.digits.empty())
        return;
    const int pointAfter = d.exponent + 1;  // digits before the point
    if (pointAfter <= 0) {
        fracPart = std::string(size_t(-pointAfter), '0') + d.digits;
    } else if (size_t(pointAfter) >= d.digits.size()) {
        intPart = d.digits + std::string(size_t(pointAfter) - d.digits.size(), '0');
    } else {
        intPart = d.digits.substr(0, size_t(pointAfter));
        fracPart = d.digits.substr(size_t(pointAfter));
    }
}

QString sixDecimals(double x, bool zeroBeforePoint)
{
    if (!std::isfinite(x))
        return QString::number(x);
    QString t = QString::number(x, 'f', 6);
    bool neg = t.startsWith(QLatin1Char('-'));
    if (neg)
        t.remove(0, 1);
    if (t == QLatin1String("0.000000"))
        neg = false;
    if (!zeroBeforePoint && t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    return neg ? QLatin1Char('-') + t : t;
}

}  // namespace

double roundSix(double x)
{
    if (!std::isfinite(x))
        return x;
    const Decimal d = decimal15(x);
    if (d.digits.empty())
        return 0.0;
    std::string ip, fp;
    fixedParts(d, ip, fp);
    if (fp.size() <= 6) {
        // Already six decimals or fewer at 15 digits: the value without its binary noise.
        const double v = std::stod((ip.empty() ? std::string("0") : ip) + "." + (fp.empty() ? std::string("0") : fp));
        return d.negative ? -v : v;
    }
    std::string kept = (ip.empty() ? std::string("0") : ip) + fp.substr(0, 6);
    const std::string rest = fp.substr(6);
    bool up;
    if (rest[0] > '5')
        up = true;
    else if (rest[0] < '5')
        up = false;
    else if (rest.find_first_not_of('0', 1) != std::string::npos)
        up = true;
    else
        up = ((kept.back() - '0') % 2) == 1;  // a half: to the even neighbour
    if (up) {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[size_t(i)] == '9') {
            kept[size_t(i)] = '0';
            --i;
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[size_t(i)];
    }
    const std::string text = kept.substr(0, kept.size() - 6) + "." + kept.substr(kept.size() - 6);
    const double v = std::stod(text);
    return d.negative ? -v : v;
}

QString sixDecimalText(double x) { return sixDecimals(x, false); }
QString sixDecimalTextWithZero(double x) { return sixDecimals(x, true); }

// The value's text to 15 significant digits, without exponent or trailing
// zeros: `sign` goes before it (a minus when negative, else `positive`),
// and a zero stands before the point below 1 when `zeroBeforePoint`.
static QString decimalText(double x, const char* positive, bool zeroBeforePoint, int digits = 15)
{
    if (!std::isfinite(x))
        return QString::number(x);
    const Decimal d = decimalDigits(x, digits);
    std::string ip, fp;
    fixedParts(d, ip, fp);
    std::string s(d.negative ? "-" : positive);
    s.append(ip.empty() && (zeroBeforePoint || fp.empty()) ? std::string("0") : ip);
    if (!fp.empty()) {
        s.push_back('.');
        s.append(fp);
    }
    return QString::fromStdString(s);
}

QString plainText(double x) { return decimalText(x, "", true); }

QString signSpacedText(double x)
{
    // Numbers written into criteria must read back as numbers: an infinity as
    // 9e999 (which SQL reads as one), a NaN as NULL (which matches nothing).
    if (std::isnan(x))
        return QStringLiteral(" NULL");
    if (std::isinf(x))
        return x > 0 ? QStringLiteral(" 9e999") : QStringLiteral("-9e999");
    return decimalText(x, " ", false);
}

std::optional<double> numberValue(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^[ \\t]*([+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+))[ \\t]*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString trimBlanks(const QString& text)
{
    qsizetype a = 0, b = text.size();
    while (a < b && text.at(a) == QLatin1Char(' '))
        ++a;
    while (b > a && text.at(b - 1) == QLatin1Char(' '))
        --b;
    return text.mid(a, b - a);
}

double signSpacedValue(double x) { return signSpacedText(x).trimmed().toDouble(); }

QString exactSignSpacedText(double x)
{
    // The fewest digits, from 15 up, that read back as the same number.
    for (int digits = 15; digits < 17 && std::isfinite(x); ++digits) {
        const QString t = decimalText(x, " ", false, digits);
        if (t.trimmed().toDouble() == x)
            return t;
    }
    return std::isfinite(x) ? decimalText(x, " ", false, 17) : signSpacedText(x);
}

}  // namespace base
