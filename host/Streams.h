// Streams: a sequence of bytes with a position. Memory, file, string and byte streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/Object.h"

namespace kovo {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Read and Write move up to Count bytes and return how many they moved.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // The new position. Seeking before the start raises EStreamError; seeking past the end
    // is allowed (a write there fills the gap with zero bytes).
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    // Grows (with zero bytes) or cuts the stream; the position is kept, at most the size.
    virtual void SetSize(int64_t NewSize) = 0;

    // Exactly Count bytes or EReadError "Stream read error" / EWriteError
    // "Stream write error".
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's position (Count 0: all of Source from its start);
    // returns the number copied. EReadError when Source has fewer.
    int64_t CopyFrom(TStream* Source, int64_t Count);
};

// A stream over a block of memory that it owns.
class TCustomMemoryStream : public TStream {
  public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    // The bytes, valid until the next change of the size.
    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void SaveToStream(TStream* Stream);
    // Raises EFCreateError when the file cannot be created.
    void SaveToFile(const std::string& FileName);

  protected:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  public:
    int64_t Write(const void* Buffer, int64_t Count) override;
    // A size the memory cannot hold raises EStreamError "Out of memory while expanding
    // memory stream"; a negative size raises EStreamError "Invalid stream size".
    void SetSize(int64_t NewSize) override;
    void Clear();
    // Replaces the contents with the whole of Stream (from its start) and rewinds.
    void LoadFromStream(TStream* Stream);
    // Raises EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::string& FileName);
};

// A memory stream over a byte vector.
class TBytesStream : public TMemoryStream {
  public:
    TBytesStream() = default;
    explicit TBytesStream(std::vector<uint8_t> Bytes);
    const std::vector<uint8_t>& Bytes() const { return FData; }
};

// A memory stream over a string of bytes.
class TStringStream : public TMemoryStream {
  public:
    TStringStream() = default;
    explicit TStringStream(const std::string& AString);
    std::string DataString() const;
    // Up to Count bytes from the position.
    std::string ReadString(int64_t Count);
    void WriteString(const std::string& AString);
};

// File modes: one access mode, optionally or-ed with a share mode (accepted for
// compatibility; files are not locked).
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
// Creates the file (or empties an existing one) for reading and writing.
constexpr uint16_t fmCreate = 0xFF00;

class THandleStream : public TStream {
  public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int Handle() const { return FHandle; }

  protected:
    int FHandle;
};

class TFileStream : public THandleStream {
  public:
    // Raises EFCreateError "Cannot create file \"<path>\". <reason>" (fmCreate) or
    // EFOpenError "Cannot open file \"<path>\". <reason>". A directory cannot be opened.
    TFileStream(const std::string& FileName, uint16_t Mode);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }

  private:
    std::string FFileName;
};

}  // namespace kovo
