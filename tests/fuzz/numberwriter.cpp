// Fuzzes the new curve file's number writer against QTextStream, whose text the file format
// prescribes. Input: every 8 bytes are one double as it lies in memory; the input read as text
// gives more doubles, one per white-space separated word that strtod takes whole, so that
// decimal values such as rounding midpoints are reached too.
// Invariant: the writer's text equals QTextStream's for the same double.
#include "FuzzSupport.h"
#include "core/NumberText.h"

#include <QByteArray>
#include <QList>
#include <QTextStream>

#include <cstdlib>
#include <cstring>

namespace {

void compare(double value)
{
    static QString expected;
    expected.clear();
    QTextStream stream(&expected);
    stream << value;
    stream.flush();

    char text[NumberText::kMaxLength];
    const char *end = NumberText::write(text, value);
    invariant(end - text <= NumberText::kMaxLength, "the text fits its buffer");
    invariant(QLatin1String(text, end - text) == expected,
              "the number writer writes what QTextStream writes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (std::size_t i = 0; i + sizeof(double) <= size; i += sizeof(double)) {
        double value;
        std::memcpy(&value, data + i, sizeof value);
        compare(value);
    }
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &word : text.simplified().split(' ')) {
        if (word.isEmpty() || word.contains('\0'))
            continue;
        char *end = nullptr;
        const double value = std::strtod(word.constData(), &end);
        if (end == word.constData() + word.size())
            compare(value);
    }
    return 0;
}
