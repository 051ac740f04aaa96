#include "core/NewCurveFile.h"

#include "core/NumberText.h"
#include "platform/FileCause.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
#include <vector>

namespace {

const QLatin1String kSuffix(".z2k");

QByteArray eightBit(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
}

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
            return NewCurveFile::tr("der Ordner %1 ist nicht vorhanden")
                .arg(slash < 0 ? QStringLiteral(".") : file.dest.left(slash + 1));
        }
        return NewCurveFile::tr("der Ordner ist nicht vorhanden");
    }
    return FileCause::text(result);
}

// Why nothing may be written at the file's name, or an empty text: only a regular file, a
// missing one, or a link of this user to either is replaced.
QString refused(const TargetFile &file)
{
    using Problem = Platform::OutputTarget::Problem;
    const Platform::OutputTarget &a = file.output;
    if (!a.result.ok())
        return FileCause::text(a.result);
    switch (a.problem) {
    case Problem::None:
        break;
    case Problem::ForeignLink:
        return NewCurveFile::tr("die Verknuepfung %1 gehoert einem anderen Benutzer und wird "
                                "nicht verfolgt")
            .arg(a.link);
    case Problem::LinkLoop:
        return NewCurveFile::tr("die Verknuepfungen bilden eine Schleife");
    case Problem::NotRegular:
        switch (a.kind) {
        case Platform::FileKind::Folder:
            return FileCause::text({Platform::FileError::IsAFolder, QString()});
        case Platform::FileKind::Fifo:
            return NewCurveFile::tr("dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei");
        case Platform::FileKind::Device:
            return NewCurveFile::tr("dort ist ein Geraet, keine gewoehnliche Datei");
        case Platform::FileKind::Socket:
            return NewCurveFile::tr("dort ist ein Socket, keine gewoehnliche Datei");
        default:
            return NewCurveFile::tr("dort ist keine gewoehnliche Datei");
        }
    }
    return QString();
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

} // namespace

QString safeFileName(QString text)
{
    for (const char c : {'/', ',', ':', '\\', ';'})
        text.replace(QLatin1Char(c), QLatin1Char('_'));
    // A line break from the description would end up in the file name, where it breaks every
    // shell and file manager.
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char('_');
    }
    return text;
}

QString textPanelText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : text) {
        if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
        else if (c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
                 c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

QString NewCurveFile::basisName(const QString &chosenPath)
{
    if (chosenPath.endsWith(kSuffix, Qt::CaseSensitive))
        return chosenPath.chopped(kSuffix.size());
    return chosenPath;
}

QString NewCurveFile::channel1File(const QString &basis)
{
    return basis + kSuffix;
}

QString NewCurveFile::channel2File(const QString &basis, bool bothChannels)
{
    return bothChannels ? basis + QLatin1String("_2") + kSuffix : basis + kSuffix;
}

NewCurveFile::ChannelPoints NewCurveFile::channelPoints(const CurveRecord &record, int channel)
{
    ChannelPoints p;
    p.frequency = record.frequency.data();
    p.value = channel == 1 ? record.value1.data() : record.value2.data();
    p.count = std::clamp(int(record.pointCount), 0, kMaxNewPoints);
    p.written = channel == 1 ? record.channel1Ok : record.channel2Ok;
    return p;
}

QByteArray NewCurveFile::fileContent(const QString &header, const CurveRecord &record, int channel)
{
    QString line = QLatin1Char('#') + header;
    for (QChar &c : line) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::Null)
            c = QLatin1Char(' ');
    }
    QByteArray out = eightBit(line);
    out.append('\n');
    const ChannelPoints p = channelPoints(record, channel);
    const int points = p.count;
    // One buffer, written through a pointer: appending number by number costs as much again.
    const qsizetype headerLength = out.size();
    out.resize(headerLength + qsizetype(points) * (2 * NumberText::kMaxLength + 2));
    char *t = out.data() + headerLength;
    for (int i = 0; i < points; ++i) {
        t = NumberText::write(t, p.frequency[i]);
        *t++ = ';';
        t = NumberText::write(t, p.value[i]);
        *t++ = '\n';
    }
    out.truncate(t - out.constData());
    return out;
}

namespace {

// The channels' files of a save; lastFile of the result names the last of them.
std::vector<TargetFile> channelFiles(const QString &basis, const QString &description,
                                     const CurveRecord &record, NewCurveFile::Result &outcome)
{
    std::vector<TargetFile> files;
    const bool both = record.channel1Ok && record.channel2Ok;
    if (record.channel1Ok) {
        files.emplace_back(
            NewCurveFile::channel1File(basis),
            NewCurveFile::fileContent(NewCurveFile::header(description, 1), record, 1));
    }
    if (record.channel2Ok) {
        files.emplace_back(
            NewCurveFile::channel2File(basis, both),
            NewCurveFile::fileContent(NewCurveFile::header(description, 2), record, 2));
    }
    outcome.lastFile = files.empty() ? basis : files.back().name;
    return files;
}

void failure(NewCurveFile::Result &outcome, const TargetFile &file,
             const Platform::FileResult &result)
{
    outcome.failed.append(file.name);
    outcome.reasons.append(reason(result, file));
}

// Judges every file before anything is written: what is at its name, and whether two names lead
// to one file, where the later file would silently replace the earlier. Refused files are
// reported and dropped from files; true when none was refused.
bool check(std::vector<TargetFile> &files, NewCurveFile::Result &outcome)
{
    std::vector<bool> gone(files.size(), false);
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString why = refused(files[i]);
        for (std::size_t j = 0; why.isEmpty() && j < files.size(); ++j) {
            if (j != i && NewCurveFile::comparisonPath(files[j].dest) ==
                              NewCurveFile::comparisonPath(files[i].dest))
                why = NewCurveFile::tr("sie fuehrt zur selben Datei wie %1").arg(files[j].name);
        }
        if (!why.isEmpty()) {
            outcome.failed.append(files[i].name);
            outcome.reasons.append(why);
            gone[i] = true;
        }
    }
    std::size_t i = 0;
    files.erase(
        std::remove_if(files.begin(), files.end(), [&](const TargetFile &) { return gone[i++]; }),
        files.end());
    return outcome.ok();
}

} // namespace

QString NewCurveFile::comparisonPath(const QString &name)
{
    const QString path = Platform::resolvedPath(Platform::outputTarget(name).path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return Platform::namesIgnoreCase(slash <= 0 ? QStringLiteral("/") : path.left(slash))
               ? path.toCaseFolded()
               : path;
}

QString NewCurveFile::header(const QString &description, int channel)
{
    if (channel == 2)
        return QLatin1String("K2: ") + description;
    QString header = description;
    return header.replace(QLatin1Char(' '), QLatin1Char('_'));
}

NewCurveFile::Result NewCurveFile::saveNewCurve(const QString &basis, const QString &description,
                                                const CurveRecord &record)
{
    Result outcome;
    std::vector<TargetFile> files = channelFiles(basis, description, record, outcome);
    check(files, outcome);
    for (TargetFile &file : files) {
        Platform::FileResult r = Platform::writeTemporaryFile(file.dest, file.content, file.temp);
        if (r.ok())
            r = Platform::replaceFile(file.temp, file.dest);
        if (r.ok()) {
            outcome.written.append(file.name);
        } else {
            Platform::removeFile(file.temp);
            failure(outcome, file, r);
        }
    }
    return outcome;
}

NewCurveFile::Result NewCurveFile::saveNewCurveAllOrNone(const QString &basis,
                                                         const QString &description,
                                                         const CurveRecord &record,
                                                         const QList<Attachment> &attachments)
{
    Result outcome;
    std::vector<TargetFile> files = channelFiles(basis, description, record, outcome);
    for (const Attachment &attachment : attachments)
        files.emplace_back(attachment.name, attachment.content);
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
