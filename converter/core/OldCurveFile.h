#pragma once

#include "CurveRecord.h"
#include "Platform.h"

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
    static constexpr qint64 kGroesseMax = 64 * 1024 * 1024;

    // Why a file was refused; Ok when it was read.
    enum class Fehler {
        Ok,
        NichtLesbar,   // no regular file that can be read: see art and ursache
        ZuGross,       // larger than kGroesseMax
        KeinAltformat, // the first word is none of the four version tags
        ZuVieleSchritte,
        NegativeSchritte,
        UnbekannterModus,
        KeineZahl,      // a number field holds something that is not a number of its kind
        EndetVorzeitig, // the file ends before the last field the conversion uses
    };

    struct Ergebnis
    {
        // 1 nothing loaded; 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
        int versioncode = 1;
        Fehler fehler = Fehler::NichtLesbar;
        Platform::FileStatus datei; // what the path named, why it could not be read, its size
        QString feld; // the field that is missing or holds no number, as the user reads it
        QString text; // what that field holds instead of a number, or the step count
        bool ok() const { return versioncode >= 2; }
        // The reason of a refusal as the user is told, without the file's name.
        QString grund() const;
    };

    // Reads the file at path into record.kurvealt and record.kurventypname, and sets
    // record.beschreibung to the path exactly as given followed by the file's label part.
    // The record is emptied first. On a refusal the old-file part of the record holds no value
    // of this file or of an earlier one (beschreibung keeps the path).
    static Ergebnis kurveAltLesen(const QString &path, CurveRecord &record);

    // What is done once a read file is accepted: every "_" of the description becomes a blank.
    static void beschreibungUebernehmen(CurveRecord &record);

    // The header values of a read file as debug lines ("Frq-Anfang" and so on).
    static void kopfdatenAusgeben(const CurveRecord &record);
    // Opening a file as the window and the batch mode do: the file read into the emptied record
    // and, once accepted, its description taken over and its header values told.
    static Ergebnis kurveAltOeffnen(const QString &path, CurveRecord &record);
};
