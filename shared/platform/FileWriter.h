#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The one way the programs write a file: every file of a set is complete on disk before the
// first one replaces anything, and the set is replaced whole or not at all, so that a failure
// (disk full, no permission, ...) leaves exactly the files that were there before. Only a regular
// file, a missing one, or a link of this user to either is replaced; a link is followed, so that
// the file it points to gets the new content, and a replaced file keeps its owner, group and
// access rights as far as this user may set them. Refusals and failures are told in words the
// user can act on.
class FileWriter
{
    Q_DECLARE_TR_FUNCTIONS(FileWriter)

public:
    struct File
    {
        QString name;
        QByteArray content;
    };

    struct Result
    {
        QStringList written; // files written, in order
        QStringList failed;  // files that could not be written, in order
        QStringList reasons; // for each of those, why, as the user is told
        bool ok() const { return failed.isEmpty(); }
    };

    // Writes every file, or none. All names are judged before anything is written: what is at
    // each name, and whether two names lead to one file.
    static Result writeAllOrNone(const QList<File> &files);

    // Why nothing may be written at the name judged so (Platform::outputTarget), as the user is
    // told; empty when it may be. Only a regular file, a missing one, or a link of this user to
    // either is replaced.
    static QString refusal(const Platform::OutputTarget &target);

    // The path of the file a name is written to, for comparing only: links followed (as the
    // writer follows them) and resolved as far as the path exists, folded to one letter case
    // where the file system ignores case. Two names that lead to one file compare equal.
    static QString comparisonPath(const QString &name);
};
