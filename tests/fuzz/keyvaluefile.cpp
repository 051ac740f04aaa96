// Fuzzes the key-value text file: load, set, save and load again.
// Input: the file's content up to the first NUL byte; after it, NUL-separated keys and values to
// set in turn. Invariants: a read after a write gives what was written, before and after the
// sorted save and after loading the saved file; and the saved file, loaded again, gives every
// other key of the original file its old value. Only keys without "=", CR, LF or NUL and values
// without CR, LF or NUL are checked: the file format cannot hold others. Nor can it hold a key
// that begins with U+FEFF: reading a line, the 8-bit decoding takes that for a byte order mark.
#include "settings/KeyValueFile.h"
#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>

namespace {

bool storable(const QString &text, bool isKey)
{
    if (isKey && text.startsWith(QChar::ByteOrderMark))
        return false;
    return std::none_of(text.begin(), text.end(), [isKey](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0 ||
               (isKey && c == QLatin1Char('='));
    });
}

// The store saves through a temporary file and a rename, so it needs a folder of its own: one in
// memory where the system has one.
QString saveFolderTemplate()
{
    const QString memory = QStringLiteral("/dev/shm");
    return (QFileInfo(memory).isWritable() ? memory : QDir::tempPath()) +
           QStringLiteral("/zor2-fuzz-XXXXXX");
}

void checkAll(const KeyValueFile &store, const QHash<QString, QString> &expected, const char *what)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        invariant(store.value(it.key(), QStringLiteral("<none>")) == it.value(), what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static MemoryFile input;
    static QTemporaryDir folder(saveFolderTemplate());
    static const QString saved = folder.filePath(QStringLiteral("store.txt"));

    const char *bytes = reinterpret_cast<const char *>(data);
    const char *fileEnd = std::find(bytes, bytes + size, '\0');
    QList<QByteArray> writes;
    if (fileEnd != bytes + size)
        writes = QByteArray(fileEnd + 1, bytes + size - fileEnd - 1).split('\0');

    KeyValueFile store;
    store.load(input.write(data, std::size_t(fileEnd - bytes)));
    QHash<QString, QString> expected; // key: the value a read must give
    for (const QString &entry : store.entries()) {
        const QString key = entry.left(entry.indexOf(QLatin1Char('=')));
        if (!expected.contains(key))
            expected.insert(key, store.value(key, QString()));
    }

    // From here on the store saves to the folder (a failed load only sets the file name).
    QFile::remove(saved);
    invariant(!store.load(saved), "no saved file before the save");

    bool checkable = true;
    for (qsizetype i = 0; i < writes.size(); i += 2) {
        const QString key = QString::fromUtf8(writes.at(i));
        const QString value =
            i + 1 < writes.size() ? QString::fromUtf8(writes.at(i + 1)) : QString();
        store.setValue(key, value);
        checkable = checkable && storable(key, true) && storable(value, false);
        if (!checkable)
            continue;
        invariant(store.value(key, QStringLiteral("<none>")) == value,
                  "value() after setValue() is the value set");
        expected.insert(key, value);
    }
    if (!store.isDirty() && !expected.isEmpty()) // a save without a change: write a value back
        store.setValue(expected.cbegin().key(), expected.cbegin().value());
    if (!checkable)
        return 0;
    checkAll(store, expected, "value() before the save is the value set or loaded");
    store.save();
    checkAll(store, expected, "value() after the sorted save is the value set or loaded");

    KeyValueFile reloaded;
    invariant(reloaded.load(saved) || expected.isEmpty(), "the saved file loads");
    checkAll(reloaded, expected, "a load-save-load round trip keeps every value");
    return 0;
}
