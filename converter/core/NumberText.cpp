#include "core/NumberText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual case, without any conversion to text: the value scaled by an exact power of ten
// into [100000, 1000000) with one rounding, so the product is off by far less than 1e-6; away
// from a midpoint its nearest integer is the correctly rounded six-digit mantissa. Values near
// a midpoint, or too large or small for the table, are left to the exact path.
bool sixDigitsFast(double magnitude, char *digits, int &exponent)
{
    if (!(magnitude >= 1e-5 && magnitude < 1e15))
        return false;
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    int e = int(std::floor((binaryExponent - 1) * 0.30102999566398120)); // about log10
    double y = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 5 - e;
        if (k < -22 || k > 22)
            return false;
        y = k >= 0 ? magnitude * kPowersOfTen[k] : magnitude / kPowersOfTen[-k];
        if (y >= 1e6)
            ++e;
        else if (y < 1e5)
            --e;
        else
            break;
    }
    if (y < 1e5 || y >= 1e6)
        return false;
    const double whole = std::floor(y);
    const double rest = y - whole;
    if (std::abs(rest - 0.5) < 1e-6)
        return false;
    std::uint32_t mantissa = std::uint32_t(whole) + (rest > 0.5 ? 1 : 0);
    if (mantissa == 1000000) {
        mantissa = 100000;
        ++e;
    }
    for (int i = 5; i >= 0; --i) {
        digits[i] = char('0' + mantissa % 10);
        mantissa /= 10;
    }
    exponent = e;
    return true;
}

// The exact case: the digits of the shortest form that reads back as the value (std::to_chars),
// rounded to six. With seven or more digits that form lies on the same side of every six-digit
// midpoint as the value itself, except when it is such a midpoint (seven digits, the last a 5):
// then an exact multiply-add tells on which side the value lies, or that it is the tie, which
// goes away from zero. Returns the number of digits, or 0 when only Qt's own path is exact.
int sixDigitsExact(double magnitude, char *digits, int &exponent)
{
    if (magnitude < std::numeric_limits<double>::min())
        return 0; // the shortest form of a subnormal is too short to round
    char shortest[40];
    const char *const shortestEnd = std::to_chars(shortest, shortest + sizeof shortest, magnitude,
                                                  std::chars_format::scientific)
                                        .ptr;
    int n = 0;
    const char *p = shortest;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            digits[n++] = *p;
    }
    ++p;
    if (*p == '+')
        ++p;
    std::from_chars(p, shortestEnd, exponent);
    if (n <= 6)
        return n;

    bool roundUp = digits[6] >= '5';
    if (n == 7 && digits[6] == '5') {
        double middle = 0;
        for (int i = 0; i < 7; ++i)
            middle = middle * 10 + (digits[i] - '0');
        const int decimals = 6 - exponent;
        double distance; // the sign of magnitude - middle * 10^-decimals
        if (decimals >= 0 && decimals <= 22)
            distance = std::fma(magnitude, kPowersOfTen[decimals], -middle);
        else if (decimals < 0 && -decimals <= 22)
            distance = -std::fma(middle, kPowersOfTen[-decimals], -magnitude);
        else
            return 0;
        roundUp = distance >= 0;
    }
    if (roundUp) {
        int i = 5;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    return 6;
}

// Six (or fewer) significant digits d1 d2 ... and the decimal exponent of d1 in the manner of
// "%g": plain notation for exponents -4 to 5, else d1.d2...e+XX; no trailing zeros.
char *formatDigits(char *t, bool negative, const char *digits, int n, int exponent)
{
    while (n > 1 && digits[n - 1] == '0')
        --n;
    if (negative)
        *t++ = '-';
    if (exponent < -4 || exponent >= 6) {
        *t++ = digits[0];
        if (n > 1) {
            *t++ = '.';
            t = std::copy(digits + 1, digits + n, t);
        }
        *t++ = 'e';
        *t++ = exponent < 0 ? '-' : '+';
        const int e = exponent < 0 ? -exponent : exponent;
        if (e < 10)
            *t++ = '0';
        return std::to_chars(t, t + 3, e).ptr;
    }
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *t++ = i < n ? digits[i] : '0';
        if (n > exponent + 1) {
            *t++ = '.';
            t = std::copy(digits + exponent + 1, digits + n, t);
        }
        return t;
    }
    *t++ = '0';
    *t++ = '.';
    t = std::fill_n(t, -exponent - 1, '0');
    return std::copy(digits, digits + n, t);
}

} // namespace

char *NumberText::write(char *dest, double value)
{
    // What a default QTextStream writes: six significant digits in the manner of "%g" ("."
    // whatever the locale), an exact tie in the seventh digit rounded away from zero (6703.125
    // gives 6703.13, where "%g" rounds to even) and a negative zero written as "0". Formatting
    // with a precision costs more than reading the whole file, hence the two quicker paths.
    if (value != value)
        return std::copy_n("nan", 3, dest);
    if (value == 0) {
        *dest = '0';
        return dest + 1;
    }
    if (std::isinf(value))
        return value < 0 ? std::copy_n("-inf", 4, dest) : std::copy_n("inf", 3, dest);
    const double magnitude = std::abs(value);
    char digits[24];
    int exponent = 0;
    int n = 6;
    if (!sixDigitsFast(magnitude, digits, exponent))
        n = sixDigitsExact(magnitude, digits, exponent);
    if (n == 0) {
        const QByteArray text = QLocale::c().toString(value, 'g', 6).toLatin1();
        return std::copy(text.begin(), text.end(), dest);
    }
    return formatDigits(dest, value < 0, digits, n, exponent);
}

void NumberText::append(QByteArray &out, double value)
{
    char text[kMaxLength];
    out.append(text, write(text, value) - text);
}
