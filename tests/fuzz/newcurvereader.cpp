// Fuzzes the reader of new curve files and the markers of what it accepts, as the preview uses
// them. Input: the file's bytes. The invariants are named where they are checked.
#include "core/NewCurveReader.h"
#include "FuzzSupport.h"
#include "core/NumberText.h"

#include <cmath>

namespace {

bool oneLine(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

void checkMarkers(const NewCurve &k, Quantity pictureSize)
{
    const int n = int(k.frequency.size());
    const CurveMarkers m =
        CurveMarkers::compute(k.frequency.constData(), k.value.constData(), n, pictureSize);
    invariant(m.extreme.index < n, "the extreme is a point of the curve");
    if (m.extreme.index >= 0) {
        invariant(m.extreme.frequency == k.frequency[m.extreme.index] &&
                      std::isfinite(m.extreme.value),
                  "the extreme is a finite value at its point's frequency");
    }
    if (m.hasBand) {
        invariant(k.frequency.constFirst() <= m.from.frequency &&
                      m.from.frequency <= m.extreme.frequency &&
                      m.extreme.frequency <= m.to.frequency &&
                      m.to.frequency <= k.frequency.constLast(),
                  "the band lies around the extreme, within the sweep");
    }
    invariant(oneLine(m.text(3)), "the markers' text is one line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const NewCurveReader::Result e = NewCurveReader::parse(content);
    if (!e.ok()) {
        invariant(e.line >= 1 && e.line <= content.count('\n') + 1,
                  "a refusal names a line of the file");
        invariant(e.curve.frequency.isEmpty() && e.curve.value.isEmpty(),
                  "a refused file gives no points");
        invariant(oneLine(e.message()), "a refusal is told in one line");
        return 0;
    }
    const NewCurve &k = e.curve;
    invariant(k.frequency.size() == k.value.size() && k.frequency.size() <= content.count('\n'),
              "one value per frequency, one point per line");
    for (qsizetype i = 0; i < k.frequency.size(); ++i) {
        invariant(NumberText::representable(k.frequency[i]) &&
                      NumberText::representable(k.value[i]) &&
                      (i == 0 || k.frequency[i - 1] <= k.frequency[i]),
                  "frequencies and values are numbers a curve file holds; frequencies rise");
    }
    for (const Quantity q : {Quantity::Level, Quantity::Swr, Quantity::Neutral})
        checkMarkers(k, q);
    return 0;
}
