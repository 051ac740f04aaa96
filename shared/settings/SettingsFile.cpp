#include "settings/SettingsFile.h"

#include "platform/FileCause.h"
#include "platform/FileWriter.h"
#include "platform/Platform.h"
#include "settings/SettingsPlace.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// Whether content reads as a settings file as Qt writes one: lines of a group "[...]", of a key
// and a value "key=..." (Qt escapes blanks in keys), comments and empty lines; a line that ends
// in "\" goes on in the next. Any other text (a shell's "export A=1" too), or bytes that are no
// text, belong to a file of another kind.
bool readsAsSettings(const QByteArray &content)
{
    if (content.contains('\0'))
        return false;
    bool continued = false;
    for (const QByteArray &raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        const QByteArray key = line.left(line.indexOf('=')).trimmed();
        const bool entry =
            line.contains('=') && !key.isEmpty() &&
            std::none_of(key.begin(), key.end(), [](char c) { return c == ' ' || c == '\t'; });
        const bool fits = continued || line.isEmpty() || line.startsWith(';') ||
                          line.startsWith('#') || entry ||
                          (line.startsWith('[') && line.endsWith(']'));
        if (!fits)
            return false;
        continued = line.endsWith('\\');
    }
    return true;
}

} // namespace

SettingsFile::SettingsFile(const QString &application)
    : file(Platform::settingsFile(SettingsPlace::organisation(), application))
{
    if (file.isEmpty()) {
        store = std::make_unique<QSettings>(SettingsPlace::organisation(), application);
        return;
    }
    // Qt reads a copy of the file's judged bytes, in a folder of this process's own: it never
    // opens the file itself, which could block (a FIFO) or be anything at all.
    copyFolder = std::make_unique<QTemporaryDir>();
    const QString copy = copyFolder->filePath(QStringLiteral("settings.conf"));
    const Platform::OutputTarget target = Platform::outputTarget(file);
    why = FileWriter::refusal(target); // read only what the writer would replace
    QByteArray content;
    if (why.isEmpty() && target.kind != Platform::FileKind::Missing) {
        const Platform::ReadResult read = Platform::readRegularFile(target.path, kMaxSize);
        if (read.tooLarge) {
            why = tr("sie ist groesser als %1 MB").arg(kMaxSize / (1024 * 1024));
        } else if (!read.ok()) {
            why = read.status.result.ok() ? FileCause::notRegularFile()
                                          : FileCause::text(read.status.result);
        }
        content = read.data;
    }
    QFile copyFile(copy);
    if (!copyFolder->isValid() || !copyFile.open(QIODevice::WriteOnly) ||
        copyFile.write(content) != content.size() || !copyFile.flush()) {
        if (why.isEmpty())
            why = tr("sie kann nicht zwischengespeichert werden");
        content.clear();
    }
    copyFile.close();
    store = std::make_unique<QSettings>(copy, QSettings::IniFormat);
    if (why.isEmpty() && (!readsAsSettings(content) || store->status() != QSettings::NoError))
        why = tr("sie ist keine Einstellungsdatei");
    if (!why.isEmpty()) {
        // Defaults only, and the file is never written.
        store->clear();
        why =
            tr("Die Einstellungsdatei %1 wird nicht verwendet, es gelten die Voreinstellungen: %2")
                .arg(Platform::nameAsText(file), why);
    }
}

SettingsFile::~SettingsFile() = default;

QVariant SettingsFile::value(const QString &key, const QVariant &defaultValue) const
{
    return store->value(key, defaultValue);
}

void SettingsFile::setValue(const QString &key, const QVariant &value)
{
    store->setValue(key, value);
    if (file.isEmpty() || !why.isEmpty())
        return;
    store->sync();
    QFile copy(store->fileName());
    if (!copy.open(QIODevice::ReadOnly))
        return;
    // The organisation's folder is made for the first settings, as Qt makes it.
    Platform::makeFolders(file.left(file.lastIndexOf(QLatin1Char('/'))));
    // Judged again as it is written: what took the file's place since is refused.
    FileWriter::writeAllOrNone({{file, copy.readAll()}});
}
