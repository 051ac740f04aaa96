// Fuzzes the Intel HEX reader for both processors. Input: the HEX file's bytes.
// Invariants: a file is refused exactly when a reason is given; an accepted image holds nothing
// at or above 0xFC00, and nothing outside the range of its data; the reads for a device with a
// PIC18F26K22 and one with a PIC18LF26K80 agree on everything but the processor check.
#include "core/HexImage.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <memory>

namespace {

constexpr int kVersionF26K22 = 103;
constexpr int kVersionLf26K80 = 200;

bool differOnlyInProcessor(const HexLoadResult &k22, const HexLoadResult &k80)
{
    if (k22.status == k80.status)
        return k22.reason == k80.reason;
    return (k22.status == HexStatus::Accepted && k80.status == HexStatus::NotForLF26K80) ||
           (k22.status == HexStatus::NotForF26K22 && k80.status == HexStatus::Accepted);
}

bool untouched(const FirmwareImage &firmware, int from, int to)
{
    static const FirmwareImage blank;
    return std::equal(firmware.image.begin() + from, firmware.image.begin() + to,
                      blank.image.begin() + from);
}

void checkResult(const HexLoadResult &result)
{
    invariant((result.status == HexStatus::Accepted) == result.reason.isEmpty(),
              "a file is refused exactly when a reason is given");
    if (result.status != HexStatus::Accepted)
        return;
    const FirmwareImage &firmware = result.image;
    const int first = result.firstAddress;
    const int last = firmware.lastAddress;
    const int end = int(firmware.image.size());
    invariant(last <= 0xFBFF && untouched(firmware, 0xFC00, end),
              "an accepted image holds nothing at or above 0xFC00");
    invariant(first >= 0 && first <= last && result.dataBytes <= last - first + 1 &&
                  untouched(firmware, 0, first) && untouched(firmware, last + 1, end),
              "an accepted image holds its data between its first and last address");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static MemoryFile input;
    // Kept from run to run: a large allocation per run would cost more than the reading.
    static const auto k22 = std::make_unique<HexLoadResult>();
    static const auto k80 = std::make_unique<HexLoadResult>();
    const QString &path = input.write(data, size);
    *k22 = loadHexFile(path, kVersionF26K22);
    *k80 = loadHexFile(path, kVersionLf26K80);
    checkResult(*k22);
    checkResult(*k80);
    invariant(differOnlyInProcessor(*k22, *k80) && k22->badRecord == k80->badRecord &&
                  k22->firstAddress == k80->firstAddress && k22->dataBytes == k80->dataBytes &&
                  k22->skippedBytes == k80->skippedBytes &&
                  k22->image.lastAddress == k80->image.lastAddress &&
                  k22->image.image == k80->image.image,
              "both processors' reads agree on everything but the processor check");
    return 0;
}
