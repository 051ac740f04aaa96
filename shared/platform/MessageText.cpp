#include "platform/MessageText.h"

#include "platform/Platform.h"

QString shownInMessage(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(c).append(text.at(++i));
        } else if (const int byte = Platform::keptByte(c); byte >= 0) {
            // Upper case, as bytes of names are written; control characters in lower case.
            out.append(QLatin1String("\\x") +
                       QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')));
        } else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
            out.append(QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0')));
        } else if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069)) {
            // Embeddings, overrides and isolates would turn the text after them around.
            out.append(QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0')));
        } else {
            out.append(c);
        }
    }
    return out;
}
