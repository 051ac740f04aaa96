// Without libFuzzer, a fuzz target becomes a program that runs its input function once for each
// file given, or each file in a folder given, as libFuzzer replays inputs: so the ordinary test
// build checks the seed and regression inputs against the invariants too.
#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        QStringList files;
        if (QFileInfo(argument).isDir()) {
            const QDir dir(argument);
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
                files.append(dir.filePath(name));
        } else {
            files.append(argument);
        }
        for (const QString &name : std::as_const(files)) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
                return 1;
            }
            const QByteArray data = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                   std::size_t(data.size()));
            ++count;
        }
    }
    std::printf("%d inputs run\n", count);
    return count > 0 ? 0 : 1;
}
