#include "core/NewCurveFile.h"

#include "core/NumberText.h"
#include "platform/FileWriter.h"

#include <QStringEncoder>

#include <algorithm>

namespace {

const QLatin1String kSuffix(".z2k");

QByteArray eightBit(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
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
QList<FileWriter::File> channelFiles(const QString &basis, const QString &description,
                                     const CurveRecord &record, NewCurveFile::Result &outcome)
{
    QList<FileWriter::File> files;
    const bool both = record.channel1Ok && record.channel2Ok;
    if (record.channel1Ok) {
        files.append({NewCurveFile::channel1File(basis),
                      NewCurveFile::fileContent(NewCurveFile::header(description, 1), record, 1)});
    }
    if (record.channel2Ok) {
        files.append({NewCurveFile::channel2File(basis, both),
                      NewCurveFile::fileContent(NewCurveFile::header(description, 2), record, 2)});
    }
    outcome.lastFile = files.empty() ? basis : files.constLast().name;
    return files;
}

} // namespace

QString NewCurveFile::header(const QString &description, int channel)
{
    if (channel == 2)
        return QLatin1String("K2: ") + description;
    QString header = description;
    return header.replace(QLatin1Char(' '), QLatin1Char('_'));
}

NewCurveFile::Result NewCurveFile::saveNewCurveAllOrNone(const QString &basis,
                                                         const QString &description,
                                                         const CurveRecord &record,
                                                         const QList<Attachment> &attachments)
{
    Result outcome;
    QList<FileWriter::File> files = channelFiles(basis, description, record, outcome);
    for (const Attachment &attachment : attachments)
        files.append({attachment.name, attachment.content});
    const FileWriter::Result written = FileWriter::writeAllOrNone(files);
    outcome.written = written.written;
    outcome.failed = written.failed;
    outcome.reasons = written.reasons;
    return outcome;
}
