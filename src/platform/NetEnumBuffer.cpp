#include "NetEnumBuffer.h"
#include <vector>

namespace NetEnumBuffer {

void read(const Call &call, const Take &take) {
    std::vector<unsigned char> buffer(kFirstSize, 0);
    for (;;) {
        std::uint32_t size = std::uint32_t(buffer.size());
        std::uint32_t count = 0xFFFFFFFFu;
        const std::uint32_t result = call(buffer.data(), size, count);
        if (result == kMoreData) {
            // A provider that asks for no more than it already has would be asked forever.
            if (size <= buffer.size())
                return;
            buffer.assign(size, 0);
            continue;
        }
        if (result != kSuccess || count == 0)
            return;
        take(buffer.data(), count);
    }
}

} // namespace NetEnumBuffer
