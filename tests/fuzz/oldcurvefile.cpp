// Fuzzes the old curve file reader through the conversion to the new files' content, as the
// batch mode runs them. Input: the old file's bytes.
// Invariants: a refused file leaves the old-file part of the record cleared, with no value of
// an earlier file, and gives its reason; an accepted file gives, per channel, a new file of
// exactly points + 1 lines whose header holds no line break (nor a line or paragraph separator).
#include "core/OldCurveFile.h"
#include "FuzzSupport.h"
#include "core/ChannelConversion.h"
#include "core/NewCurveFile.h"

#include <QLoggingCategory>

#include <cstring>
#include <memory>

namespace {

template <typename T, std::size_t N>
bool same(const std::array<T, N> &a, const std::array<T, N> &b)
{
    return std::memcmp(a.data(), b.data(), sizeof a) == 0; // bit for bit, and fast
}

bool same(const OldCurve &a, const OldCurve &b)
{
    return same(a.samples1, b.samples1) && same(a.samples2, b.samples2) && a.startHz == b.startHz &&
           a.stepHz == b.stepHz && a.stepCount == b.stepCount && a.factor1 == b.factor1 &&
           a.shift1 == b.shift1 && a.factor2 == b.factor2 && a.shift2 == b.shift2 &&
           a.linear1 == b.linear1 && a.linear2 == b.linear2 &&
           a.frequencyDivisor == b.frequencyDivisor && a.curveType == b.curveType &&
           a.audioSweep == b.audioSweep && same(a.swrTable1, b.swrTable1) &&
           same(a.swrTable2, b.swrTable2) && same(a.levelTable1, b.levelTable1) &&
           same(a.levelTable2, b.levelTable2);
}

// Makes the record look as an earlier file left it: no field zero, and the arrays not zero at
// either end (the rest holds what the file read before left there).
void fakeEarlierFile(CurveRecord &record)
{
    OldCurve &k = record.oldCurve;
    k.samples1.front() = k.samples1.back() = 7;
    k.samples2.front() = k.samples2.back() = 8;
    for (auto *t : {&k.swrTable1, &k.swrTable2, &k.levelTable1, &k.levelTable2})
        t->front() = t->back() = 0.5;
    k.startHz = 1e5;
    k.stepHz = 5e4;
    k.stepCount = 9999;
    k.factor1 = 0.2;
    k.shift1 = -80;
    k.factor2 = 0.3;
    k.shift2 = -81;
    k.linear1 = k.linear2 = true;
    k.curveType = CurveTypeSav;
    k.audioSweep = true;
    record.curveTypeName = QStringLiteral("SAV-Kurve");
}

void checkNewFile(const CurveRecord &record, const QString &header, int channel)
{
    const QByteArray content = NewCurveFile::fileContent(header, record, channel);
    invariant(content.endsWith('\n') && content.count('\n') == record.pointCount + 1,
              "a new file has punkte + 1 lines, each ending in a line feed");
    const QByteArray headerLine = content.left(content.indexOf('\n'));
    invariant(!headerLine.contains('\r') && !headerLine.contains("\xe2\x80\xa8") &&
                  !headerLine.contains("\xe2\x80\xa9"),
              "the header of a new file holds no line break");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The conversion's diagnostic lines would cost more than the conversion.
    static const bool still =
        (QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false")), true);
    Q_UNUSED(still);
    static MemoryFile input;
    static const std::unique_ptr<OldCurve> cleared = std::make_unique<OldCurve>();
    static const std::unique_ptr<CurveRecord> record = std::make_unique<CurveRecord>();

    const QString &path = input.write(data, size);
    fakeEarlierFile(*record);
    record->clearCurve();
    const OldCurveFile::Result result = OldCurveFile::readOldCurve(path, *record);
    invariant(result.ok() == (result.error == OldCurveFile::Error::Ok),
              "a file is accepted exactly when no reason for a refusal is given");
    if (!result.ok()) {
        invariant(!result.reason().isEmpty(), "a refusal gives its reason");
        invariant(same(record->oldCurve, *cleared) && record->curveTypeName.isEmpty(),
                  "a refused file leaves the old-file part of the record cleared");
        invariant(record->description == path, "a refused file leaves its path as description");
        return 0;
    }
    const OldCurve &k = record->oldCurve;
    invariant(k.stepCount >= 0 && k.stepCount <= kMaxOldSteps,
              "an accepted file has 0 to 9999 steps");

    OldCurveFile::acceptDescription(*record);
    if (!convertCurve(*record)) {
        invariant(k.curveType == CurveTypeImpedance, "only an impedance curve is not converted");
        return 0;
    }
    invariant(record->pointCount >= 0 && record->pointCount <= kMaxNewPoints &&
                  record->pointCount == record->sweepGrid.steps,
              "a converted curve has 0 to 2001 points");
    checkNewFile(*record, NewCurveFile::header(record->description, 1), 1);
    checkNewFile(*record, NewCurveFile::header(record->description, 2), 2);
    return 0;
}
