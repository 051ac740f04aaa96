#pragma once

#include "core/CurveRecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Writer of the new curve files (".z2k"): one curve per file, a header line "#" + text, then one
// line "frequency;value" per point, in the system's 8-bit encoding, line feeds only. The files
// go to disk through the programs' one writer, so a failure (disk full, no permission, ...)
// leaves the old files as they were.
class NewCurveFile
{
    Q_DECLARE_TR_FUNCTIONS(NewCurveFile)

public:
    // One channel's points exactly as its file holds them, in file order: frequency[i] (MHz)
    // and value[i] for i below count. written tells whether the channel gets a file at all.
    // The writer and everything that shows a converted curve take their points from here.
    struct ChannelPoints
    {
        const double *frequency = nullptr;
        const double *value = nullptr;
        int count = 0;
        bool written = false;
    };
    static ChannelPoints channelPoints(const CurveRecord &record, int channel);

    struct Result
    {
        QStringList written; // files written, in order
        QStringList failed;  // files that could not be written, in order
        QStringList reasons; // for each of those, why, as the user is told
        // The last file handled (written or not); the base name when no channel was to be
        // written. Its folder is the one to remember.
        QString lastFile;
        bool ok() const { return failed.isEmpty(); }
    };

    // The chosen path without a final ".z2k" (case-sensitive).
    static QString basisName(const QString &chosenPath);

    // File names for a base name: channel 1 is base + ".z2k"; channel 2 is base + "_2.z2k"
    // when both channels are written, otherwise base + ".z2k".
    static QString channel1File(const QString &basis);
    static QString channel2File(const QString &basis, bool bothChannels);

    // A further file beside the channels' files, such as a picture of the curve.
    struct Attachment
    {
        QString name;
        QByteArray content;
    };

    // Writes the files of the channels whose flag is set in the record, for the base name
    // basis and the (edited) description, and the attachments after them, through the one
    // writer (FileWriter): all of them replace the old ones, or none does and exactly the files
    // that were there before remain.
    static Result saveNewCurveAllOrNone(const QString &basis, const QString &description,
                                        const CurveRecord &record,
                                        const QList<Attachment> &attachments = {});

    // The header a channel's file gets from the description: for channel 1 with "_" for each
    // blank, for channel 2 with "K2: " before it.
    static QString header(const QString &description, int channel);

    // The complete content of one channel's file. Line breaks and NUL characters in the header
    // become blanks, so that the header stays the file's one first line.
    static QByteArray fileContent(const QString &header, const CurveRecord &record, int channel);
};

// The text with each of "/", ",", ":", "\" and ";", each line break and each other control
// character replaced by "_".
QString safeFileName(QString text);

// What the window's text panel hands back as plain text for a text set into it: non-breaking
// spaces become blanks; carriage returns (alone or before a line feed) and paragraph or line
// separators become line feeds. The batch mode writes what the window would.
QString textPanelText(QString text);
