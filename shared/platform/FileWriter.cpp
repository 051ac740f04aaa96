#include "platform/FileWriter.h"

#include "platform/FileCause.h"
#include "platform/Platform.h"

#include <algorithm>
#include <vector>

namespace {

struct TargetFile
{
    TargetFile(const QString &name, const QByteArray &content)
        : name(name)
        , output(Platform::outputTarget(name))
        , dest(output.path)
        , content(content)
    {
    }
    QString name; // as the user named it
    Platform::OutputTarget output;
    QString dest; // the file that is replaced: a link of this user followed
    QByteArray content;
    QString temp;  // the complete new content, not yet in place
    QString aside; // the old file's content, kept until every new file is in place
    bool replaced = false;
};

QString reason(const Platform::FileResult &result, const TargetFile &file)
{
    if (result.error == Platform::FileError::NotFound) {
        // A dangling link leads elsewhere: the folder its target lacks is named.
        if (file.dest != file.name) {
            const qsizetype slash = file.dest.lastIndexOf(QLatin1Char('/'));
            return FileWriter::tr("der Ordner %1 ist nicht vorhanden")
                .arg(slash < 0 ? QStringLiteral(".") : file.dest.left(slash + 1));
        }
        return FileWriter::tr("der Ordner ist nicht vorhanden");
    }
    return FileCause::text(result);
}

// Removes what a failed save left: temporary files, and old contents put back in place.
void rollBack(std::vector<TargetFile> &files)
{
    for (TargetFile &d : files) {
        if (!d.temp.isEmpty())
            Platform::removeFile(d.temp);
        if (d.replaced && d.aside.isEmpty())
            Platform::removeFile(d.dest); // there was no file of that name before
        if (!d.aside.isEmpty()) {
            // Back in place; when it is a second link to the very file still there, the
            // replacement does nothing and the extra name is removed.
            Platform::replaceFile(d.aside, d.dest);
            Platform::removeFile(d.aside);
        }
    }
}

void failure(FileWriter::Result &outcome, const TargetFile &file,
             const Platform::FileResult &result)
{
    outcome.failed.append(file.name);
    outcome.reasons.append(reason(result, file));
}

// Judges every file before anything is written: what is at its name, and whether two names lead
// to one file, where the later file would silently replace the earlier. Refused files are
// reported; true when none was refused.
bool check(const std::vector<TargetFile> &files, FileWriter::Result &outcome)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString why = FileWriter::refusal(files[i].output);
        for (std::size_t j = 0; why.isEmpty() && j < files.size(); ++j) {
            if (j != i && FileWriter::comparisonPath(files[j].dest) ==
                              FileWriter::comparisonPath(files[i].dest))
                why = FileWriter::tr("sie fuehrt zur selben Datei wie %1").arg(files[j].name);
        }
        if (!why.isEmpty()) {
            outcome.failed.append(files[i].name);
            outcome.reasons.append(why);
        }
    }
    return outcome.ok();
}

} // namespace

QString FileWriter::refusal(const Platform::OutputTarget &a)
{
    using Problem = Platform::OutputTarget::Problem;
    if (!a.result.ok())
        return FileCause::text(a.result);
    switch (a.problem) {
    case Problem::None:
        break;
    case Problem::ForeignLink:
        return tr("die Verknuepfung %1 gehoert einem anderen Benutzer und wird "
                  "nicht verfolgt")
            .arg(a.link);
    case Problem::LinkLoop:
        return tr("die Verknuepfungen bilden eine Schleife");
    case Problem::NotRegular:
        switch (a.kind) {
        case Platform::FileKind::Folder:
            return FileCause::text({Platform::FileError::IsAFolder, QString()});
        case Platform::FileKind::Fifo:
            return tr("dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei");
        case Platform::FileKind::Device:
            return tr("dort ist ein Geraet, keine gewoehnliche Datei");
        case Platform::FileKind::Socket:
            return tr("dort ist ein Socket, keine gewoehnliche Datei");
        default:
            return tr("dort ist keine gewoehnliche Datei");
        }
    }
    return QString();
}

QString FileWriter::comparisonPath(const QString &name)
{
    const QString path = Platform::resolvedPath(Platform::outputTarget(name).path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return Platform::namesIgnoreCase(slash <= 0 ? QStringLiteral("/") : path.left(slash))
               ? path.toCaseFolded()
               : path;
}

FileWriter::Result FileWriter::writeAllOrNone(const QList<File> &given)
{
    Result outcome;
    std::vector<TargetFile> files;
    for (const File &file : given)
        files.emplace_back(file.name, file.content);
    if (!check(files, outcome))
        return outcome; // nothing written, nothing touched

    // Every new file is complete on disk before the first one replaces anything. The old files
    // are kept aside until all new ones are in place, so that a failure can put them back.
    for (TargetFile &file : files) {
        const Platform::FileResult r =
            Platform::writeTemporaryFile(file.dest, file.content, file.temp);
        if (!r.ok()) {
            failure(outcome, file, r);
            rollBack(files);
            return outcome;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        TargetFile &file = files[i];
        Platform::FileResult r;
        const bool last = i + 1 == files.size(); // nothing can fail after it
        if (!last && Platform::fileStatus(file.dest).kind == Platform::FileKind::Regular)
            r = Platform::keepAside(file.dest, file.aside);
        if (r.ok())
            r = Platform::replaceFile(file.temp, file.dest);
        if (!r.ok()) {
            failure(outcome, file, r);
            rollBack(files);
            return outcome;
        }
        file.temp.clear();
        file.replaced = true;
    }
    for (const TargetFile &file : files) {
        if (!file.aside.isEmpty())
            Platform::removeFile(file.aside);
        outcome.written.append(file.name);
    }
    return outcome;
}
