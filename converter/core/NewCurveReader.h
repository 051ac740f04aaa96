#pragma once

#include "core/CurveMarkers.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// One curve read from a new curve file (".z2k").
struct NewCurve
{
    QString path;
    QString header;          // the first line without its "#"
    QList<double> frequency; // MHz, rising (a falling sweep's points in reverse order)
    QList<double> value;
    // What the header says the values are: "SWV" or "dB" as a word of its own; else no unit.
    Quantity quantity() const;
};

// Reader of the new curve files, exactly as the writer makes them and nothing else: a header
// line "#..." and then one line "frequency;value" per point, every line ended by a line feed.
// Anything else is refused with the line number and a reason, so that a file that was cut off,
// edited by hand or is of another kind is never shown as a curve; so is a number that the writer
// would refuse (NumberText::representable), and a file without points.
class NewCurveReader
{
    Q_DECLARE_TR_FUNCTIONS(NewCurveReader)

public:
    static constexpr qint64 kMaxSize = 16 * 1024 * 1024;
    static constexpr int kMaxPoints = 100000;

    struct Result
    {
        NewCurve curve;
        int line = 0;   // the line a refusal is about; 0 for the file as a whole
        QString reason; // empty when the file was read
        bool ok() const { return reason.isEmpty(); }
        // The refusal as one line, without the file's name: "Zeile 7: ...".
        QString message() const;
    };

    static Result read(const QString &path);
    // The same for a file's content.
    static Result parse(const QByteArray &content);
};
