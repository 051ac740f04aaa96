#pragma once

#include "core/CurveRecord.h"

#include <QByteArray>
#include <QCoreApplication>

// The converted curve for a spreadsheet as a German desktop reads a CSV file: a header that
// names each column and its unit, then one row per point (frequency; channel 1; channel 2),
// semicolons between the cells, decimal commas. Each number is the shortest plain decimal that
// reads back to the very same double, so that points closer than the six digits of a new curve
// file stay apart. Only the channels that get a curve file get a column.
class CsvFile
{
    Q_DECLARE_TR_FUNCTIONS(CsvFile)

public:
    static QByteArray content(const CurveRecord &record);

    // One cell: the shortest decimal that reads back to value, with a comma; empty for a value
    // that is no finite number.
    static QByteArray cell(double value);
};
