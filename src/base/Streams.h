#pragma once
// Byte streams used by the analyser and the tag writer: a file stream on a POSIX
// descriptor and a memory stream. Errors are exceptions inside the classes; the
// public operations of the analyser and tag classes catch them and return codes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace lorvane {

// Base of every stream error; the errno value behind it, 0 when there is none, so
// that callers can tell the user why (a full disk, a missing permission).
class EStreamError : public std::runtime_error {
public:
    explicit EStreamError(const std::string& what, int code = 0)
        : std::runtime_error(what), fCode(code) {}
    int Code() const { return fCode; }

private:
    int fCode;
};
// A file could not be opened or created.
class EFileStreamError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// Fewer bytes than required could be read.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// A write did not complete.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Absolute position; a position past the end is allowed (reads return 0 there).
    virtual void Seek(std::int64_t position) = 0;
    // Returns the bytes read; fewer than asked means the end of the data.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Returns the bytes written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Cuts or extends the stream to the given size.
    virtual void SetSize(std::int64_t size) = 0;

    // Reads exactly count bytes or throws EReadError.
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly count bytes or throws EWriteError.
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies count bytes from the current position of source to this stream;
    // returns the bytes copied (fewer when source ends early).
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

enum class TFileMode {
    OpenRead,        // existing file, read only
    OpenReadWrite,   // existing file, read and write
    Create,          // create or truncate, read and write
    CreateExclusive, // create a new file, fail if the name exists (mode 0600)
};

class TFileStream : public TStream {
public:
    // Throws EFileStreamError when the file cannot be opened or created.
    TFileStream(const std::filesystem::path& path, TFileMode mode);
    ~TFileStream() override;

    std::int64_t Size() const override;
    std::int64_t Position() const override { return fPosition; }
    void Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    void SetSize(std::int64_t size) override;

    const std::filesystem::path& Path() const { return fPath; }

private:
    int fHandle = -1;
    std::int64_t fPosition = 0;
    std::filesystem::path fPath;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : fBytes(std::move(bytes)) {}

    std::int64_t Size() const override { return static_cast<std::int64_t>(fBytes.size()); }
    std::int64_t Position() const override { return fPosition; }
    void Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    void SetSize(std::int64_t size) override;

    const std::vector<std::uint8_t>& Bytes() const { return fBytes; }

private:
    std::vector<std::uint8_t> fBytes;
    std::int64_t fPosition = 0;
};

} // namespace lorvane
