#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <type_traits>

// How reading one field went.
enum class FieldStatus { Ok, Missing, NotANumber };

// Splits the file's bytes into words separated by white space and reads them as fields. Past
// the end every word is empty; a number field there is missing.
class FieldReader
{
public:
    FieldReader(const char *begin, const char *end)
        : p(begin)
        , end(end)
    {
    }

    std::string_view word()
    {
        skipBlanks();
        const char *start = p;
        while (p != end && !isBlank(*p))
            ++p;
        return std::string_view(start, std::size_t(p - start));
    }

    bool atEnd()
    {
        skipBlanks();
        return p == end;
    }

    // The word read last: what a number field held instead of a number.
    std::string_view lastWord() const { return lastRead; }

    // A number field is a whole word: an optional sign, then for a double a decimal number
    // (digits, optional fraction, optional exponent; no "inf", "nan" or hexadecimal), for an
    // integer digits within the range of T, without minus sign for an unsigned T.
    template <typename T>
    FieldStatus number(T &out)
    {
        static_assert(std::is_floating_point_v<T> || sizeof(T) == 4, "for 32-bit integers");
        skipBlanks();
        if (readShortNumber(out))
            return FieldStatus::Ok;
        std::string_view w = word();
        lastRead = w;
        if (w.empty())
            return FieldStatus::Missing;
        const bool plus = w.front() == '+'; // from_chars takes no "+"
        if (plus)
            w.remove_prefix(1);
        const bool minus = !w.empty() && w.front() == '-';
        if (minus && (plus || std::is_unsigned_v<T>))
            return FieldStatus::NotANumber;
        const std::size_t firstDigit = minus ? 1 : 0;
        if (w.size() <= firstDigit ||
            !(isDigit(w[firstDigit]) || (std::is_floating_point_v<T> && w[firstDigit] == '.')))
            return FieldStatus::NotANumber;
        std::from_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::from_chars(w.data(), w.data() + w.size(), out, std::chars_format::general);
        else
            r = std::from_chars(w.data(), w.data() + w.size(), out, 10);
        return r.ec == std::errc() && r.ptr == w.data() + w.size() ? FieldStatus::Ok
                                                                   : FieldStatus::NotANumber;
    }

    // Reads n numbers into table (n may exceed the table: the rest is read and dropped); on a
    // failure, index is the entry that failed.
    template <std::size_t N>
    FieldStatus table(std::array<double, N> *table, int n, int &index)
    {
        double value = 0;
        for (index = 0; index < n; ++index) {
            const FieldStatus outcome = number(value);
            if (outcome != FieldStatus::Ok)
                return outcome;
            if (table && index < int(N))
                (*table)[std::size_t(index)] = value;
        }
        return FieldStatus::Ok;
    }

private:
    // The common case, read at a fraction of from_chars' cost: a word of an optional minus and
    // at most 15 digits (9 for an integer) with, for a double, an optional decimal point. The
    // digits and the power of ten are exact doubles, so the one division rounds exactly as
    // from_chars does. Anything else (plus sign, exponent, long or broken words) is left to the
    // full path; nothing is consumed then.
    template <typename T>
    bool readShortNumber(T &out)
    {
        static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        constexpr int maxDigits = std::is_floating_point_v<T> ? 15 : 9;
        const char *q = p;
        const bool minus = q != end && *q == '-';
        if (minus) {
            if (std::is_unsigned_v<T>)
                return false;
            ++q;
        }
        std::uint64_t digits = 0;
        int count = 0;
        int fractionDigits = -1;
        for (; q != end && !isBlank(*q); ++q) {
            const char c = *q;
            if (isDigit(c)) {
                if (++count > maxDigits)
                    return false;
                digits = digits * 10 + std::uint64_t(c - '0');
                if (fractionDigits >= 0)
                    ++fractionDigits;
            } else if (std::is_floating_point_v<T> && c == '.' && fractionDigits < 0) {
                fractionDigits = 0;
            } else {
                return false;
            }
        }
        if (count == 0)
            return false;
        p = q;
        if constexpr (std::is_floating_point_v<T>) {
            out = double(digits) / powersOfTen[fractionDigits < 0 ? 0 : fractionDigits];
            if (minus)
                out = -out;
        } else {
            out = minus ? T(-std::int64_t(digits)) : T(digits);
        }
        return true;
    }

    void skipBlanks()
    {
        while (p != end && isBlank(*p))
            ++p;
    }

    // White space as the old program's text stream knew it: blank, tab, line and page ends.
    static bool isBlank(char c) { return kBlank[static_cast<unsigned char>(c)]; }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    static constexpr std::array<bool, 256> kBlank = [] {
        std::array<bool, 256> blank{};
        for (const char c : {' ', '\t', '\n', '\r', '\v', '\f'})
            blank[static_cast<unsigned char>(c)] = true;
        return blank;
    }();

    const char *p;
    const char *end;
    std::string_view lastRead;
};
