#include "engine/prozess/RoPipe.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace lorvane {

namespace {

constexpr std::size_t kBlockSize = 4096;

const char* const kCannotCreate = "Can't create pipe: %s";
const char* const kPeekFailed = "Can't read pipe: peek attempt failed";
const char* const kReadError = "Error reading pipe";
const char* const kWriteClosed = "Can't write pipe: handle closed";
const char* const kWriteError = "Error writing pipe";

std::string CannotCreateText(int error) {
    std::string text = kCannotCreate;
    text.replace(text.find("%s"), 2, std::system_category().message(error));
    return text;
}

void CloseHandle(TRoHandle& handle) {
    if (handle != RoNoHandle) {
        ::close(handle);
        handle = RoNoHandle;
    }
}

// A write to a pipe whose reader has gone raises SIGPIPE, which would end the
// program. The signal is blocked in this thread for the write, and one that the
// write caused is taken away again before the old mask returns; the write itself
// then just fails with EPIPE. Nothing process-wide is changed.
ssize_t WriteWithoutSigPipe(int fd, const void* buf, std::size_t size) {
    sigset_t pipeSet;
    sigset_t oldMask;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;

    ssize_t written;
    do {
        written = ::write(fd, buf, size);
    } while (written < 0 && errno == EINTR);
    const int error = errno;

    if (written < 0 && error == EPIPE && !pendingBefore) {
        const timespec noWait{0, 0};
        while (sigtimedwait(&pipeSet, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    errno = error;
    return written;
}

} // namespace

TRoPipe::TRoPipe(bool inheritable) {
    Create(0, inheritable);
}

TRoPipe::TRoPipe(std::uint32_t size, bool inheritable) {
    Create(size, inheritable);
}

TRoPipe::TRoPipe(std::uint32_t size, const TRoSecurityAttributes* securityAttributes) {
    Create(size, securityAttributes != nullptr && securityAttributes->InheritHandle);
}

TRoPipe::TRoPipe(const TRoSecurityAttributes* securityAttributes)
    : TRoPipe(0, securityAttributes) {}

TRoPipe::~TRoPipe() {
    CloseHandle(fReadHandle);
    CloseHandle(fWriteHandle);
}

void TRoPipe::Create(std::uint32_t size, bool inheritable) {
    fInheritable = inheritable;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw EInOutError(CannotCreateText(errno));
    }
    fReadHandle = ends[0];
    fWriteHandle = ends[1];
    if (size > 0) {
        // Only a hint: the system rounds up and may refuse a size over its limit.
        const int wanted = static_cast<int>(std::min<std::uint32_t>(size, 1U << 30));
        (void)::fcntl(fWriteHandle, F_SETPIPE_SZ, wanted);
    }
}

std::size_t TRoPipe::AvailableDataSize() const {
    int available = 0;
    if (fReadHandle == RoNoHandle || ::ioctl(fReadHandle, FIONREAD, &available) != 0 ||
        available < 0) {
        throw EInOutError(kPeekFailed);
    }
    return static_cast<std::size_t>(available);
}

bool TRoPipe::ReadData(void* buf, std::size_t bufSize, std::size_t& bytesRead) {
    bytesRead = 0;
    const std::size_t wanted = std::min(bufSize, AvailableDataSize());
    if (wanted == 0) {
        return false;
    }
    // The bytes are in the pipe already, so these reads return at once.
    auto* out = static_cast<std::uint8_t*>(buf);
    while (bytesRead < wanted) {
        const ssize_t got = ::read(fReadHandle, out + bytesRead, wanted - bytesRead);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw EInOutError(kReadError);
        }
        bytesRead += static_cast<std::size_t>(got);
    }
    return true;
}

TBuffer TRoPipe::ReadBytes(std::size_t count) {
    const std::size_t available = AvailableDataSize();
    const std::size_t wanted = (count == 0 || count > available) ? available : count;
    TBuffer bytes(wanted);
    std::size_t bytesRead = 0;
    if (wanted > 0) {
        ReadData(bytes.data(), wanted, bytesRead);
    }
    bytes.resize(bytesRead);
    return bytes;
}

void TRoPipe::CopyToStream(TStream& stm, std::size_t count) {
    std::size_t remaining = AvailableDataSize();
    if (count > 0) {
        remaining = std::min(remaining, count);
    }
    std::uint8_t block[kBlockSize];
    while (remaining > 0) {
        std::size_t bytesRead = 0;
        if (!ReadData(block, std::min(remaining, kBlockSize), bytesRead)) {
            break;
        }
        stm.WriteBuffer(block, bytesRead);
        remaining -= bytesRead;
    }
}

void TRoPipe::CopyFromStream(TStream& stm, std::size_t count) {
    std::int64_t rest = stm.Size() - stm.Position();
    if (rest < 0) {
        rest = 0;
    }
    std::size_t remaining = static_cast<std::size_t>(rest);
    if (count > 0) {
        remaining = std::min(remaining, count);
    }
    std::uint8_t block[kBlockSize];
    while (remaining > 0) {
        const std::size_t got = stm.Read(block, std::min(remaining, kBlockSize));
        if (got == 0) {
            break;
        }
        WriteData(block, got);
        remaining -= got;
    }
}

void TRoPipe::WriteBytes(const TBuffer& bytes) {
    if (!bytes.empty()) {
        WriteData(bytes.data(), bytes.size());
    } else if (fWriteHandle == RoNoHandle) {
        throw EInOutError(kWriteClosed);
    }
}

std::size_t TRoPipe::WriteData(const void* buf, std::size_t bufSize) {
    if (fWriteHandle == RoNoHandle) {
        throw EInOutError(kWriteClosed);
    }
    const auto* in = static_cast<const std::uint8_t*>(buf);
    std::size_t written = 0;
    while (written < bufSize) {
        const ssize_t put = WriteWithoutSigPipe(fWriteHandle, in + written, bufSize - written);
        if (put <= 0) {
            throw EInOutError(kWriteError);
        }
        written += static_cast<std::size_t>(put);
    }
    return written;
}

void TRoPipe::CloseWriteHandle() {
    CloseHandle(fWriteHandle);
}

void TRoPipe::CloseReadHandle() {
    CloseHandle(fReadHandle);
}

} // namespace lorvane
