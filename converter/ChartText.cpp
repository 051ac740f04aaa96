#include "ChartText.h"

#include "platform/MessageText.h"

#include <QFont>
#include <QTextDocument>

#include <algorithm>

namespace {

// The width a chart title takes when drawn (its HTML laid out as the chart lays it out).
qreal titleWidth(const QString &html, const QFont &font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(html);
    return document.idealWidth();
}

// The chart draws a title whole only when it is narrower than its place by this much; else it
// shortens the title itself.
constexpr qreal kTitleMargin = 2;

} // namespace

QString shownName(const QString &text)
{
    return shownInMessage(text);
}

QString chartTitleHtml(const QString &description, const QFont &font, qreal width)
{
    // No character is narrower than a pixel's fraction that matters here: beyond one character
    // per pixel nothing can show.
    const qsizetype limit = qsizetype(std::max<qreal>(width, 0)) + 2;
    QString text = description.left(limit);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    const bool cutOff = text.size() < description.size();
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    text = shownName(text);
    const auto fits = [&](const QString &html) {
        return titleWidth(html, font) <= width - kTitleMargin;
    };
    if (!cutOff && fits(text.toHtmlEscaped()))
        return text.toHtmlEscaped();
    // The longest beginning that fits with "…" behind it.
    const QChar ellipsis(0x2026);
    qsizetype fitting = 0;
    qsizetype tooWide = text.size() + 1;
    while (tooWide - fitting > 1) {
        const qsizetype middle = (fitting + tooWide) / 2;
        if (fits((text.left(middle) + ellipsis).toHtmlEscaped()))
            fitting = middle;
        else
            tooWide = middle;
    }
    if (fitting > 0 && text.at(fitting - 1).isHighSurrogate())
        --fitting;
    return (text.left(fitting) + ellipsis).toHtmlEscaped();
}
