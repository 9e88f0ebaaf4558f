#include "host/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "host/Exceptions.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// TStream

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count))
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count))
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Source == nullptr || Count < 0) return 0;
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    int64_t done = 0;
    std::vector<uint8_t> buffer(size_t(std::min<int64_t>(Count, 64 * 1024)));
    while (done < Count) {
        int64_t n = std::min<int64_t>(Count - done, int64_t(buffer.size()));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        done += n;
    }
    return done;
}

// ---------------------------------------------------------------------------------------
// Memory streams

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    int64_t size = Size();
    if (Count <= 0 || FPosition >= size) return 0;
    int64_t n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : (Origin == soCurrent ? FPosition : Size());
    int64_t target = base + Offset;
    if (target < 0) throw EStreamError("Invalid stream position");
    FPosition = target;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    if (Stream != nullptr) Stream->WriteBuffer(FData.data(), Size());
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size");
    try {
        FData.resize(size_t(NewSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
    FPosition = std::min(FPosition, NewSize);
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    int64_t end = FPosition + Count;
    if (end > Size()) {
        int64_t pos = FPosition;
        SetSize(end);
        FPosition = pos;
    }
    std::memcpy(FData.data() + FPosition, Buffer, size_t(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    if (Stream == nullptr) return;
    Stream->SetPosition(0);
    int64_t count = Stream->Size();
    SetSize(count);
    Stream->ReadBuffer(FData.data(), count);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead);
    LoadFromStream(&file);
}

TBytesStream::TBytesStream(std::vector<uint8_t> Bytes) {
    FData = std::move(Bytes);
}

TStringStream::TStringStream(const std::string& AString) {
    FData.assign(AString.begin(), AString.end());
}

std::string TStringStream::DataString() const {
    return std::string(FData.begin(), FData.end());
}

std::string TStringStream::ReadString(int64_t Count) {
    int64_t n = std::max<int64_t>(0, std::min(Count, Size() - FPosition));
    std::string s(size_t(n), '\0');
    if (n > 0) Read(s.data(), n);
    return s;
}

void TStringStream::WriteString(const std::string& AString) {
    WriteBuffer(AString.data(), static_cast<int64_t>(AString.size()));
}

// ---------------------------------------------------------------------------------------
// Handle and file streams

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
    int64_t done = 0;
    auto* p = static_cast<uint8_t*>(Buffer);
    while (done < Count) {
        ssize_t n = ::read(FHandle, p + done, size_t(std::min<int64_t>(Count - done, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
    int64_t done = 0;
    auto* p = static_cast<const uint8_t*>(Buffer);
    while (done < Count) {
        ssize_t n = ::write(FHandle, p + done, size_t(std::min<int64_t>(Count - done, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
    off_t r = ::lseek(FHandle, off_t(Offset), whence);
    if (r < 0) throw EStreamError("Invalid stream position");
    return int64_t(r);
}

void THandleStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size");
    int64_t pos = Position();
    if (::ftruncate(FHandle, off_t(NewSize)) != 0)
        throw EStreamError(std::string("Stream size could not be set. ") + std::strerror(errno));
    if (pos > NewSize) Seek(NewSize, soBeginning);
}

namespace {

int OpenFile(const std::string& FileName, uint16_t Mode, int& Error) {
    int flags = O_CLOEXEC;
    if ((Mode & 0xFF00) == fmCreate) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (Mode & 3) {
            case fmOpenWrite:
                flags |= O_WRONLY;
                break;
            case fmOpenReadWrite:
                flags |= O_RDWR;
                break;
            default:
                flags |= O_RDONLY;
                break;
        }
    }
    int fd;
    do fd = ::open(FileName.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        Error = errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        Error = EISDIR;
        return -1;
    }
    return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode)
    : THandleStream(-1), FFileName(FileName) {
    int error = 0;
    FHandle = OpenFile(FileName, Mode, error);
    if (FHandle >= 0) return;
    std::string reason = std::strerror(error);
    if ((Mode & 0xFF00) == fmCreate)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

}  // namespace kovo
