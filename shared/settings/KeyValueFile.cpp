#include "settings/KeyValueFile.h"

#include "platform/FileWriter.h"
#include "platform/Platform.h"

namespace {

// A line that begins with byte order marks is taken without them, however many there are: the
// decoding drops one, and a line kept with a second would lose that one on the next load, so its
// key would change between a save and the reload.
QString withoutByteOrderMarks(const QString &text)
{
    qsizetype marks = 0;
    while (marks < text.size() && text.at(marks) == QChar::ByteOrderMark)
        ++marks;
    return text.mid(marks);
}

// Entries live in the file in the system's 8-bit encoding; passing each one through that
// encoding before comparing makes a key match exactly what the file will hold. Decoding with
// the same encoding (not Latin-1) keeps every character the encoding can represent unchanged.
QString through8Bit(const QString &text)
{
    return withoutByteOrderMarks(QString::fromLocal8Bit(text.toLocal8Bit()));
}

QString keyPrefix(const QString &key)
{
    return key + QLatin1Char('=');
}

} // namespace

KeyValueFile::~KeyValueFile()
{
    save();
}

bool KeyValueFile::load(const QString &name)
{
    fileName = name;
    // Judged before it is read: a FIFO or a device is never waited on, a huge file never read.
    const Platform::ReadResult read = Platform::readRegularFile(fileName, kMaxSize);
    if (!read.ok())
        return false;

    // Entries end at the first empty line or the first line without "=": what follows is
    // free text that belongs to no key.
    QList<QByteArray> rawLines = read.data.split('\n');
    if (rawLines.constLast().isEmpty())
        rawLines.removeLast(); // the end of the last line, not a line of its own
    bool collecting = true;
    for (QByteArray &raw : rawLines) {
        // Every CR at the end goes: one left on an entry would be read as part of the line end
        // once the entry is saved with a plain LF, and the value would change.
        while (raw.endsWith('\r'))
            raw.chop(1);
        // UTF-8's marks, whatever the system's 8-bit encoding (a Windows editor writes them).
        while (raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        const QString line = withoutByteOrderMarks(QString::fromLocal8Bit(raw));
        if (line.isEmpty() || !line.contains(QLatin1Char('=')))
            collecting = false;
        else if (collecting)
            lines.append(line);
    }
    lines.sort();
    return true;
}

void KeyValueFile::save()
{
    if (!dirty)
        return;
    dirty = false;
    lines.sort();
    if (fileName.isEmpty())
        return;
    QByteArray content;
    for (const QString &line : std::as_const(lines)) {
        content += line.toLocal8Bit();
        content += '\n';
    }
    // Through the programs' one writer: complete before it replaces the old file.
    FileWriter::writeAllOrNone({{fileName, content}});
}

bool KeyValueFile::removeEntryContaining(const QString &text)
{
    dirty = true;
    for (const QString &line : std::as_const(lines)) {
        if (through8Bit(line).contains(text)) {
            const QString found = line;
            lines.removeOne(found);
            return true;
        }
    }
    return false;
}

bool KeyValueFile::findValue(const QString &key, QString *valueText) const
{
    const QString prefix = keyPrefix(key);
    for (const QString &line : lines) {
        const QString entry = through8Bit(line);
        if (entry.startsWith(prefix)) {
            *valueText = entry.mid(prefix.size());
            return true;
        }
    }
    return false;
}

double KeyValueFile::value(const QString &key, double defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text.toDouble() : defaultValue;
}

long KeyValueFile::value(const QString &key, long defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text.toLong(nullptr, 10) : defaultValue;
}

long long KeyValueFile::value(const QString &key, long long defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text.toLongLong(nullptr, 10) : defaultValue;
}

int KeyValueFile::value(const QString &key, int defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text.toInt(nullptr, 10) : defaultValue;
}

bool KeyValueFile::value(const QString &key, bool defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text.toInt(nullptr, 10) != 0 : defaultValue;
}

QString KeyValueFile::value(const QString &key, const QString &defaultValue) const
{
    QString text;
    return findValue(key, &text) ? text : defaultValue;
}

QString KeyValueFile::value(const QString &key, const char *defaultValue) const
{
    return value(key, QString::fromUtf8(defaultValue));
}

void KeyValueFile::store(const QString &key, const QString &valueText)
{
    dirty = true;
    // Every entry of the key goes, not only the first: a duplicate left behind could sort in
    // front of the new entry and be what the next read finds.
    const QString prefix = keyPrefix(key);
    lines.removeIf([&prefix](const QString &line) { return through8Bit(line).startsWith(prefix); });
    lines.append(through8Bit(prefix + valueText));
}

void KeyValueFile::setValue(const QString &key, int value)
{
    store(key, QString::number(value));
}

void KeyValueFile::setValue(const QString &key, long value)
{
    store(key, QString::number(value));
}

void KeyValueFile::setValue(const QString &key, long long value)
{
    store(key, QString::number(value));
}

void KeyValueFile::setValue(const QString &key, bool value)
{
    store(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void KeyValueFile::setValue(const QString &key, double value)
{
    store(key, QString::number(value, 'g', 10));
}

void KeyValueFile::setValue(const QString &key, const QString &value)
{
    store(key, value);
}

void KeyValueFile::setValue(const QString &key, const char *value)
{
    store(key, QString::fromUtf8(value));
}

void KeyValueFile::setValueScientific(const QString &key, double value)
{
    store(key, QString::asprintf("%0.15E", value));
}
