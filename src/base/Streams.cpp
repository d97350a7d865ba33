#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {

namespace {

std::string SystemMessage(const std::string& what, const std::filesystem::path& path) {
    return what + " \"" + path.string() + "\": " + std::strerror(errno);
}

} // namespace

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    // A short read at the end of the data leaves errno as it was: 0 then.
    errno = 0;
    if (Read(buffer, count) != count) {
        throw EReadError("Stream read error", errno);
    }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    errno = 0;
    if (Write(buffer, count) != count) {
        throw EWriteError("Stream write error", errno);
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::uint8_t> chunk(
        static_cast<std::size_t>(std::min<std::int64_t>(count, kChunk)));
    std::int64_t copied = 0;
    while (copied < count) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(count - copied, kChunk));
        const std::size_t got = source.Read(chunk.data(), want);
        if (got > 0) {
            WriteBuffer(chunk.data(), got);
            copied += static_cast<std::int64_t>(got);
        }
        if (got < want) {
            break;
        }
    }
    return copied;
}

TFileStream::TFileStream(const std::filesystem::path& path, TFileMode mode) : fPath(path) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case TFileMode::OpenRead:
        flags |= O_RDONLY;
        break;
    case TFileMode::OpenReadWrite:
        flags |= O_RDWR;
        break;
    case TFileMode::Create:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case TFileMode::CreateExclusive:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    const mode_t permissions = mode == TFileMode::CreateExclusive ? 0600 : 0644;
    // Opening a FIFO waits for a writer; without blocking it opens at once and is refused.
    fHandle = ::open(path.c_str(), flags | O_NONBLOCK, permissions);
    if (fHandle < 0) {
        const bool creating = mode == TFileMode::Create || mode == TFileMode::CreateExclusive;
        const int error = errno;
        throw EFileStreamError(
            SystemMessage(creating ? "Cannot create file" : "Cannot open file", path), error);
    }
    struct stat info {};
    if (::fstat(fHandle, &info) == 0 &&
        (S_ISDIR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fHandle);
        fHandle = -1;
        errno = error;
        throw EFileStreamError(SystemMessage("Cannot open file", path), error);
    }
    const int status = ::fcntl(fHandle, F_GETFL);
    if (status >= 0) {
        ::fcntl(fHandle, F_SETFL, status & ~O_NONBLOCK);
    }
}

TFileStream::~TFileStream() {
    if (fHandle >= 0) {
        ::close(fHandle);
    }
}

std::int64_t TFileStream::Size() const {
    struct stat info {};
    if (::fstat(fHandle, &info) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(info.st_size);
}

void TFileStream::Seek(std::int64_t position) {
    fPosition = std::max<std::int64_t>(position, 0);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fHandle, out + done, count - done, fPosition);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
        fPosition += got;
    }
    return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::pwrite(fHandle, in + done, count - done, fPosition);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            break;
        }
        done += static_cast<std::size_t>(put);
        fPosition += put;
    }
    return done;
}

void TFileStream::SetSize(std::int64_t size) {
    if (::ftruncate(fHandle, static_cast<off_t>(size)) != 0) {
        const int error = errno;
        throw EWriteError(SystemMessage("Cannot set the size of", fPath), error);
    }
    fPosition = std::min(fPosition, size);
}

void TMemoryStream::Seek(std::int64_t position) {
    fPosition = std::max<std::int64_t>(position, 0);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (fPosition >= Size()) {
        return 0;
    }
    const auto available = static_cast<std::size_t>(Size() - fPosition);
    const std::size_t n = std::min(count, available);
    if (n > 0) {
        std::memcpy(buffer, fBytes.data() + fPosition, n);
    }
    fPosition += static_cast<std::int64_t>(n);
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    const auto end = static_cast<std::size_t>(fPosition) + count;
    if (end > fBytes.size()) {
        fBytes.resize(end);
    }
    if (count > 0) {
        std::memcpy(fBytes.data() + fPosition, buffer, count);
    }
    fPosition += static_cast<std::int64_t>(count);
    return count;
}

void TMemoryStream::SetSize(std::int64_t size) {
    fBytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    fPosition = std::min(fPosition, Size());
}

} // namespace lorvane
