#pragma once

#include <QByteArray>

// A number as a default QTextStream writes a double: six significant digits, plain or exponent
// notation, "." as decimal point whatever the locale. The new curve files hold their numbers so.
namespace ZahlText {

void anhaengen(QByteArray &out, double value);
// The same into a buffer with room for kLaengeMax characters; returns the end.
constexpr int kLaengeMax = 32;
char *schreiben(char *ziel, double value);

} // namespace ZahlText
