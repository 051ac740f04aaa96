#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <type_traits>

// How reading one field went.
enum class Lesen { Ok, Fehlt, KeineZahl };

// Splits the file's bytes into words separated by white space and reads them as fields. Past
// the end every word is empty; a number field there is missing.
class Felder
{
public:
    Felder(const char *begin, const char *end)
        : p(begin)
        , end(end)
    {
    }

    std::string_view wort()
    {
        leerUeberspringen();
        const char *start = p;
        while (p != end && !istLeer(*p))
            ++p;
        return std::string_view(start, std::size_t(p - start));
    }

    bool amEnde()
    {
        leerUeberspringen();
        return p == end;
    }

    // The word read last: what a number field held instead of a number.
    std::string_view letztesWort() const { return letztes; }

    // A number field is a whole word: an optional sign, then for a double a decimal number
    // (digits, optional fraction, optional exponent; no "inf", "nan" or hexadecimal), for an
    // integer digits within the range of T, without minus sign for an unsigned T.
    template <typename T>
    Lesen zahl(T &out)
    {
        static_assert(std::is_floating_point_v<T> || sizeof(T) == 4, "for 32-bit integers");
        leerUeberspringen();
        if (kurzeZahl(out))
            return Lesen::Ok;
        std::string_view w = wort();
        letztes = w;
        if (w.empty())
            return Lesen::Fehlt;
        const bool plus = w.front() == '+'; // from_chars takes no "+"
        if (plus)
            w.remove_prefix(1);
        const bool minus = !w.empty() && w.front() == '-';
        if (minus && (plus || std::is_unsigned_v<T>))
            return Lesen::KeineZahl;
        const std::size_t erstes = minus ? 1 : 0;
        if (w.size() <= erstes ||
            !(istZiffer(w[erstes]) || (std::is_floating_point_v<T> && w[erstes] == '.')))
            return Lesen::KeineZahl;
        std::from_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::from_chars(w.data(), w.data() + w.size(), out, std::chars_format::general);
        else
            r = std::from_chars(w.data(), w.data() + w.size(), out, 10);
        return r.ec == std::errc() && r.ptr == w.data() + w.size() ? Lesen::Ok : Lesen::KeineZahl;
    }

    // Reads n numbers into table (n may exceed the table: the rest is read and dropped); on a
    // failure, index is the entry that failed.
    template <std::size_t N>
    Lesen tabelle(std::array<double, N> *table, int n, int &index)
    {
        double wert = 0;
        for (index = 0; index < n; ++index) {
            const Lesen gelesen = zahl(wert);
            if (gelesen != Lesen::Ok)
                return gelesen;
            if (table && index < int(N))
                (*table)[std::size_t(index)] = wert;
        }
        return Lesen::Ok;
    }

private:
    // The common case, read at a fraction of from_chars' cost: a word of an optional minus and
    // at most 15 digits (9 for an integer) with, for a double, an optional decimal point. The
    // digits and the power of ten are exact doubles, so the one division rounds exactly as
    // from_chars does. Anything else (plus sign, exponent, long or broken words) is left to the
    // full path; nothing is consumed then.
    template <typename T>
    bool kurzeZahl(T &out)
    {
        static constexpr double zehnHoch[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        constexpr int hoechstens = std::is_floating_point_v<T> ? 15 : 9;
        const char *q = p;
        const bool minus = q != end && *q == '-';
        if (minus) {
            if (std::is_unsigned_v<T>)
                return false;
            ++q;
        }
        std::uint64_t ziffern = 0;
        int anzahl = 0;
        int nachkomma = -1;
        for (; q != end && !istLeer(*q); ++q) {
            const char c = *q;
            if (istZiffer(c)) {
                if (++anzahl > hoechstens)
                    return false;
                ziffern = ziffern * 10 + std::uint64_t(c - '0');
                if (nachkomma >= 0)
                    ++nachkomma;
            } else if (std::is_floating_point_v<T> && c == '.' && nachkomma < 0) {
                nachkomma = 0;
            } else {
                return false;
            }
        }
        if (anzahl == 0)
            return false;
        p = q;
        if constexpr (std::is_floating_point_v<T>) {
            out = double(ziffern) / zehnHoch[nachkomma < 0 ? 0 : nachkomma];
            if (minus)
                out = -out;
        } else {
            out = minus ? T(-std::int64_t(ziffern)) : T(ziffern);
        }
        return true;
    }

    void leerUeberspringen()
    {
        while (p != end && istLeer(*p))
            ++p;
    }

    // White space as the old program's text stream knew it: blank, tab, line and page ends.
    static bool istLeer(char c) { return kLeer[static_cast<unsigned char>(c)]; }
    static bool istZiffer(char c) { return c >= '0' && c <= '9'; }

    static constexpr std::array<bool, 256> kLeer = [] {
        std::array<bool, 256> leer{};
        for (const char c : {' ', '\t', '\n', '\r', '\v', '\f'})
            leer[static_cast<unsigned char>(c)] = true;
        return leer;
    }();

    const char *p;
    const char *end;
    std::string_view letztes;
};
