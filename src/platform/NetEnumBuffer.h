#pragma once
#include <cstdint>
#include <functional>

// The buffer protocol of the Windows network enumeration, kept apart from the system calls
// so that it can be exercised anywhere: a zero-filled first buffer of 1024 bytes, grown to the
// size the system asks for whenever it answers "more data".
namespace NetEnumBuffer {
inline constexpr std::uint32_t kSuccess = 0;
inline constexpr std::uint32_t kMoreData = 234;
inline constexpr std::uint32_t kFirstSize = 1024;

// Asks for as many entries as fit into buffer (size bytes); sets count to the entries
// written, or size to the size needed when it answers kMoreData. Returns the system's result.
using Call = std::function<std::uint32_t(void *buffer, std::uint32_t &size, std::uint32_t &count)>;
// Receives each successful answer's entries.
using Take = std::function<void(const void *buffer, std::uint32_t count)>;

// Calls until an answer brings no entries or is neither success nor more data.
void read(const Call &call, const Take &take);
} // namespace NetEnumBuffer
