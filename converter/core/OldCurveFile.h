#pragma once

#include "CurveRecord.h"

#include <QString>

// Reader of the old curve files (".hfd", first word "#V3.05", "#V4.04", "#V4.05" or "#V4.10").
// The file is a sequence of white-space separated fields; every field is checked, and a file
// that does not hold what it must is refused as a whole.
class OldCurveFile
{
public:
    // Why a file was refused; Ok when it was read.
    enum class Fehler {
        Ok,
        NichtLesbar,   // the file cannot be opened
        KeinAltformat, // the first word is none of the four version tags
        ZuVieleSchritte,
        UnbekannterModus,
        KeineZahl, // a number field holds something that is not a number of its kind
    };

    struct Ergebnis
    {
        // 1 nothing loaded; 2 "#V3.05", 3 "#V4.04", 4 "#V4.05", 5 "#V4.10".
        int versioncode = 1;
        Fehler fehler = Fehler::NichtLesbar;
        bool ok() const { return versioncode >= 2; }
    };

    // Reads the file at path into record.kurvealt and record.kurventypname, and sets
    // record.beschreibung to the path exactly as given followed by the file's label part.
    // The caller runs record.kurveLoeschen() first. On a refusal the old-file part of the
    // record holds no value of this file or of an earlier one (beschreibung keeps the path).
    static Ergebnis kurveAltLesen(const QString &path, CurveRecord &record);

    // What is done once a read file is accepted: every "_" of the description becomes a blank.
    static void beschreibungUebernehmen(CurveRecord &record);

    // The header values of a read file as debug lines ("Frq-Anfang" and so on).
    static void kopfdatenAusgeben(const CurveRecord &record);
};

// The folder of a file, made absolute, with a trailing "/": the folder that is remembered
// for the next file dialog.
QString ordnerVon(const QString &filePath);
