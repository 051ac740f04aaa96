#pragma once

#include <QByteArray>

// A number as a default QTextStream writes a double: six significant digits, plain or exponent
// notation, "." as decimal point whatever the locale. The new curve files hold their numbers so.
namespace NumberText {

void append(QByteArray &out, double value);
// The same into a buffer with room for kMaxLength characters; returns the end.
constexpr int kMaxLength = 32;
char *write(char *dest, double value);

// The largest size of a number a curve file holds. Far beyond any measurement, it leaves room for
// the plot's arithmetic: the span of any two such numbers, with a margin, stays finite.
constexpr double kLargest = 1e300;
// Whether a curve file may hold the number: finite and at most kLargest in size. The writer, the
// reader and everything that shows a curve judge a number by this one rule.
inline bool representable(double value)
{
    return value >= -kLargest && value <= kLargest; // false for NaN
}

} // namespace NumberText
