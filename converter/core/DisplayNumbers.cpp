#include "DisplayNumbers.h"

#include <QLocale>

#include <cmath>

namespace DisplayNumbers {

int frequencyDecimals(double stepMHz)
{
    constexpr int most = 6;
    if (!(stepMHz > 0) || !std::isfinite(stepMHz))
        return 3;
    int decimals = std::max(0, int(std::ceil(-std::log10(stepMHz) - 1e-9)));
    if (decimals >= most)
        return most;
    // 0.25 shown with one decimal would read 0.3: one more where the step has a second digit.
    const double scaled = stepMHz * std::pow(10.0, decimals);
    if (std::abs(scaled - std::round(scaled)) > 1e-6 * scaled)
        ++decimals;
    return std::min(decimals, most);
}

QString number(double v, int decimals)
{
    if (!std::isfinite(v))
        return QStringLiteral("-");
    // No "-0,00" for a value that rounds to zero.
    const double rounded = std::round(v * std::pow(10.0, decimals));
    if (rounded == 0)
        v = 0;
    QLocale german(QLocale::German, QLocale::Germany);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    return german.toString(v, 'f', decimals);
}

} // namespace DisplayNumbers
