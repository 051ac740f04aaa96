#pragma once

#include <QString>

// Numbers as the converter shows them to a person: German format (decimal comma, no group
// separator) with a fixed number of decimals, so that a readout does not jump in width.
namespace DisplayNumbers {

// The decimals a frequency in MHz needs so that neighbouring points of a sweep with this step
// read apart and the step itself is shown whole: 0.025 MHz needs 3, 0.25 needs 2, 1 needs none.
// At most 6 (1 Hz); a step that is not positive gets 3.
int frequencyDecimals(double stepMHz);

// v with the given decimals, "-" for a value that is not a number or infinite.
QString number(double v, int decimals);

// A level in dB or an SWR: two decimals.
inline QString value(double v)
{
    return number(v, 2);
}

} // namespace DisplayNumbers
