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

bool nurProzessorVerschieden(const HexLoadResult &k22, const HexLoadResult &k80)
{
    if (k22.status == k80.status)
        return k22.reason == k80.reason;
    return (k22.status == HexStatus::Accepted && k80.status == HexStatus::NotForLF26K80) ||
           (k22.status == HexStatus::NotForF26K22 && k80.status == HexStatus::Accepted);
}

bool unberuehrt(const FirmwareImage &firmware, int von, int bis)
{
    static const FirmwareImage leer;
    return std::equal(firmware.image.begin() + von, firmware.image.begin() + bis,
                      leer.image.begin() + von);
}

void pruefen(const HexLoadResult &result)
{
    invariant((result.status == HexStatus::Accepted) == result.reason.isEmpty(),
              "a file is refused exactly when a reason is given");
    if (result.status != HexStatus::Accepted)
        return;
    const FirmwareImage &firmware = result.image;
    const int erste = result.firstAddress;
    const int letzte = firmware.lastAddress;
    const int ende = int(firmware.image.size());
    invariant(letzte <= 0xFBFF && unberuehrt(firmware, 0xFC00, ende),
              "an accepted image holds nothing at or above 0xFC00");
    invariant(erste >= 0 && erste <= letzte && result.dataBytes <= letzte - erste + 1 &&
                  unberuehrt(firmware, 0, erste) && unberuehrt(firmware, letzte + 1, ende),
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
    pruefen(*k22);
    pruefen(*k80);
    invariant(nurProzessorVerschieden(*k22, *k80) && k22->badRecord == k80->badRecord &&
                  k22->firstAddress == k80->firstAddress && k22->dataBytes == k80->dataBytes &&
                  k22->skippedBytes == k80->skippedBytes &&
                  k22->image.lastAddress == k80->image.lastAddress &&
                  k22->image.image == k80->image.image,
              "both processors' reads agree on everything but the processor check");
    return 0;
}
