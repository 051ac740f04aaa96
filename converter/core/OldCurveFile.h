#pragma once

#include "core/CurveRecord.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QString>

// Reader of the old curve files (".hfd", first word "#V3.05", "#V4.04", "#V4.05" or "#V4.10").
// The file is a sequence of white-space separated fields; every field is checked, and a file
// that does not hold what it must is refused as a whole. Only a regular file of sane size is
// read; its text is UTF-8 when its bytes are valid UTF-8, else the old program's Windows-1252.
class OldCurveFile
{
    Q_DECLARE_TR_FUNCTIONS(OldCurveFile)

public:
    // A full "#V4.10" file is about 0.5 MB; anything far larger is no old curve file.
    static constexpr qint64 kMaxSize = 64 * 1024 * 1024;

    // Why a file was refused; Ok when it was read.
    enum class Error {
        Ok,
        Unreadable,   // no regular file that can be read: see kind and cause
        TooLarge,     // larger than kMaxSize
        NotOldFormat, // the first word is none of the four version tags
        TooManySteps,
        NegativeStepCount,
        UnknownMode,
        NotANumber, // a number field holds something that is not a number of its kind
        EndsEarly,  // the file ends before the last field the conversion uses
    };

    struct Result
    {
        // 1 nothing loaded; 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
        int versionCode = 1;
        Error error = Error::Unreadable;
        Platform::FileStatus file; // what the path named, why it could not be read, its size
        QString field; // the field that is missing or holds no number, as the user reads it
        QString text;  // what that field holds instead of a number, or the step count
        bool ok() const { return versionCode >= 2; }
        // The reason of a refusal as the user is told, without the file's name.
        QString reason() const;
    };

    // Reads the file at path into record.oldCurve and record.curveTypeName, and sets
    // record.description to the path exactly as given followed by the file's label part.
    // The record is emptied first. On a refusal the old-file part of the record holds no value
    // of this file or of an earlier one (description keeps the path).
    static Result readOldCurve(const QString &path, CurveRecord &record);

    // What is done once a read file is accepted: every "_" of the description becomes a blank.
    static void acceptDescription(CurveRecord &record);

    // The header values of a read file as debug lines ("Frq-Anfang" and so on).
    static void logHeader(const CurveRecord &record);
    // Opening a file as the window and the batch mode do: the file read into the emptied record
    // and, once accepted, its description taken over and its header values told.
    static Result openOldCurve(const QString &path, CurveRecord &record);
};
