#pragma once

#include <QByteArray>

// A number as a default QTextStream writes a double: six significant digits, plain or exponent
// notation, "." as decimal point whatever the locale. The new curve files hold their numbers so.
namespace NumberText {

void append(QByteArray &out, double value);
// The same into a buffer with room for kMaxLength characters; returns the end.
constexpr int kMaxLength = 32;
char *write(char *dest, double value);

} // namespace NumberText
