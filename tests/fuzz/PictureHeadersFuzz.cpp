// The header checks of one picture format (FUZZ_FORMAT) against any bytes: no read outside
// the buffer, no undefined arithmetic, and answers that hang together.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "platform/rules/PictureHeaders.h"

namespace {

constexpr PictureFormat kFormat = PictureFormat::FUZZ_FORMAT;
constexpr std::uint64_t kSmallMemory = 64ull << 20;  // a machine short of memory
constexpr std::uint64_t kLargeMemory = 64ull << 30;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the address sanitizer sees a read one past the end.
    const std::vector<std::uint8_t> copy(data, data + size);
    const std::span<const std::uint8_t> bytes(copy);

    // What the loader does: sniff, then check as that format.
    const PictureFormat sniffed = SniffPictureFormat(bytes);
    const bool loaderAccepts = PictureHeadersSound(sniffed, bytes, kLargeMemory);
    FUZZ_CHECK(sniffed != PictureFormat::Unknown || !loaderAccepts);

    // This target's format whatever the first bytes say, with little and with much memory.
    const bool soundSmall = PictureHeadersSound(kFormat, bytes, kSmallMemory);
    const bool soundLarge = PictureHeadersSound(kFormat, bytes, kLargeMemory);
    // More memory never turns a picture away.
    FUZZ_CHECK(!soundSmall || soundLarge);

    // Bytes after everything the headers describe (a file with a tail) change nothing.
    if (soundLarge) {
        std::vector<std::uint8_t> longer = copy;
        longer.resize(copy.size() + 64, 0xA5);
        FUZZ_CHECK(PictureHeadersSound(kFormat, longer, kLargeMemory));
    }
    return 0;
}
