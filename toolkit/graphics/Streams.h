// Byte streams: the abstract stream with exact-count reads, memory and file streams.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads or writes up to Count bytes; returns how many were moved.
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

    // Exact-count transfers: a short read raises EReadError, a short write EWriteError.
    void ReadBuffer(void* Buffer, std::int64_t Count);
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    // Copies Count bytes from Source (the whole of Source from its start when Count is 0).
    std::int64_t CopyFrom(TStream& Source, std::int64_t Count);

    std::int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
    virtual std::int64_t GetSize();
    virtual void SetSize(std::int64_t NewSize);
    // Bytes between the position and the end.
    std::int64_t Remaining() { return GetSize() - GetPosition(); }
};

class TMemoryStream : public TStream {
public:
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t NewSize) override;

    void Clear();
    // Room for Count bytes without moving the data: a writer that knows roughly how much
    // it will write spares the copies of a growing buffer.
    void SetCapacity(std::int64_t Count);
    std::uint8_t* Memory() { return FData.data(); }
    const std::uint8_t* Memory() const { return FData.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return FData; }
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream& Stream);
    // Written safely: to a temporary file renamed over the target when complete.
    void SaveToFile(const std::string& FileName);

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

enum TFileMode { fmOpenRead = 0, fmOpenWrite = 1, fmOpenReadWrite = 2, fmCreate = 0xFF00 };

// A stream on a file. A stream opened with fmCreate writes to a temporary file in the
// target's folder; Commit puts the data on the disk and renames the file over the target.
// Commit raises EWriteError, and leaves the target as it was, when any write or seek failed
// (also one whose short count the caller did not look at), when the data cannot be put on
// the disk, or when the rename fails. Destroyed without Commit, the stream leaves the
// target as it was.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& FileName, TFileMode Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t GetSize() override;
    void Commit();

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};
