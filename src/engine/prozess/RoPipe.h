#pragma once
// One anonymous pipe: reads take only what is available and never block, writes
// block until everything is in the pipe. Both ends are close-on-exec; a child gets
// an end only as one of its standard descriptors (see RoProcess).

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "base/AudioErrors.h"
#include "base/Streams.h"

namespace lorvane {

// An operating-system handle: a file descriptor here, -1 for none.
using TRoHandle = int;
inline constexpr TRoHandle RoNoHandle = -1;

// What is left of the security attributes of a handle on this platform. Ends are
// close-on-exec whatever is asked, so the flag is only recorded.
struct TRoSecurityAttributes {
    bool InheritHandle = false;
};

// A pipe could not be created, queried, read or written.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRoPipe {
public:
    // Size 0 means the system's default; any other size is a hint that the system
    // rounds up (a page at least here).
    explicit TRoPipe(bool inheritable = true);
    TRoPipe(std::uint32_t size, bool inheritable = true);
    TRoPipe(std::uint32_t size, const TRoSecurityAttributes* securityAttributes);
    explicit TRoPipe(const TRoSecurityAttributes* securityAttributes);
    ~TRoPipe();
    TRoPipe(const TRoPipe&) = delete;
    TRoPipe& operator=(const TRoPipe&) = delete;

    TRoHandle ReadHandle() const { return fReadHandle; }
    TRoHandle WriteHandle() const { return fWriteHandle; }
    bool Inheritable() const { return fInheritable; }

    // Bytes that can be read now without blocking.
    std::size_t AvailableDataSize() const;
    // Reads at most min(bufSize, available); false when nothing was available.
    bool ReadData(void* buf, std::size_t bufSize, std::size_t& bytesRead);
    // Count bytes when that many are available, else all available (0: all).
    TBuffer ReadBytes(std::size_t count = 0);
    // Copies the available bytes (at most count when count > 0) into the stream.
    void CopyToStream(TStream& stm, std::size_t count = 0);
    // Writes count bytes of the stream from its position (0: the rest of it).
    void CopyFromStream(TStream& stm, std::size_t count = 0);
    void WriteBytes(const TBuffer& bytes);
    // Returns the bytes written, which is all of them unless it throws.
    std::size_t WriteData(const void* buf, std::size_t bufSize);
    // Writes fail afterwards.
    void CloseWriteHandle();
    // Writes fail afterwards with EPIPE, which is just a failed write.
    void CloseReadHandle();

private:
    void Create(std::uint32_t size, bool inheritable);

    TRoHandle fReadHandle = RoNoHandle;
    TRoHandle fWriteHandle = RoNoHandle;
    bool fInheritable = true;
};

} // namespace lorvane
