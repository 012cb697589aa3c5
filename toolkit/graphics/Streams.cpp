#include "toolkit/graphics/Streams.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

#include "toolkit/graphics/Exceptions.h"

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.GetSize();
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(Count, 65536)));
    std::int64_t left = Count;
    while (left > 0) {
        const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size()));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

std::int64_t TStream::GetSize() {
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

// Memory stream.

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
    if (Count <= 0 || FPosition >= GetSize()) return 0;
    const std::int64_t n = std::min(Count, GetSize() - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    if (FPosition == GetSize()) {
        FData.insert(FData.end(), bytes, bytes + Count);
    } else {
        if (FPosition + Count > GetSize()) FData.resize(static_cast<std::size_t>(FPosition + Count));
        std::memcpy(FData.data() + FPosition, bytes, static_cast<std::size_t>(Count));
    }
    FPosition += Count;
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    std::int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : GetSize();
    FPosition = std::max<std::int64_t>(0, base + Offset);
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    FData.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, NewSize)));
    FPosition = std::min(FPosition, GetSize());
}

void TMemoryStream::SetCapacity(std::int64_t Count) {
    // Only a hint: without the room the stream still grows as it is written.
    try {
        if (Count > 0) FData.reserve(static_cast<std::size_t>(Count));
    } catch (const std::exception&) {
    }
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    const std::int64_t size = Stream.GetSize();
    SetSize(size);
    Stream.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
    Stream.WriteBuffer(FData.data(), GetSize());
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
    file.Commit();
}

// File stream.

namespace {

// The system's word for the last failure, or the stream's own when it gave none.
std::string SystemReason() {
    return errno != 0 ? std::strerror(errno) : SWriteError;
}

} // namespace

struct TFileStream::Impl {
    std::unique_ptr<QFile> Reader;
    std::unique_ptr<QSaveFile> Writer;
    // Why the file being written is not what was written to it; empty while it is.
    std::string WriteFailure;
    QFileDevice* Device() { return Reader ? static_cast<QFileDevice*>(Reader.get()) : Writer.get(); }

    void NoteWriteFailure(const std::string& Reason) {
        if (WriteFailure.empty()) WriteFailure = Reason;
    }
    [[noreturn]] void RaiseWriteError(const std::string& Reason) const {
        throw EWriteError("Cannot write file \"" + Writer->fileName().toStdString() + "\". " + Reason);
    }
};

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FImpl(std::make_unique<Impl>()) {
    const QString name = QString::fromStdString(FileName);
    if (Mode == fmCreate) {
        FImpl->Writer = std::make_unique<QSaveFile>(name);
        // Unbuffered: every write reaches the file at once, so a full disk shows at the write
        // that hits it and never in a buffer flushed out of sight.
        if (!FImpl->Writer->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw EFCreateError("Cannot create file \"" + FileName + "\". " +
                                FImpl->Writer->errorString().toStdString());
        return;
    }
    FImpl->Reader = std::make_unique<QFile>(name);
    const QIODevice::OpenMode mode = Mode == fmOpenRead    ? QIODevice::ReadOnly
                                     : Mode == fmOpenWrite ? QIODevice::WriteOnly | QIODevice::Append
                                                           : QIODevice::ReadWrite;
    if (!FImpl->Reader->open(mode))
        throw EFOpenError("Cannot open file \"" + FileName + "\". " +
                          FImpl->Reader->errorString().toStdString());
    if (Mode == fmOpenWrite) FImpl->Reader->seek(0);
}

TFileStream::~TFileStream() {
    if (FImpl->Writer) FImpl->Writer->cancelWriting();
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    const qint64 n = FImpl->Device()->read(static_cast<char*>(Buffer), Count);
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    errno = 0;
    const qint64 n = FImpl->Device()->write(static_cast<const char*>(Buffer), Count);
    // A short write leaves a hole in what the caller meant to write, whether or not the
    // caller looks at the count: the file must not replace its target.
    if (n != Count && FImpl->Writer)
        FImpl->NoteWriteFailure(n < 0 ? FImpl->Writer->errorString().toStdString() : SystemReason());
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    QFileDevice* device = FImpl->Device();
    const std::int64_t base = Origin == soBeginning ? 0
                              : Origin == soCurrent ? device->pos()
                                                    : device->size();
    if (!device->seek(std::max<std::int64_t>(0, base + Offset)) && FImpl->Writer)
        FImpl->NoteWriteFailure(device->errorString().toStdString());
    return device->pos();
}

std::int64_t TFileStream::GetSize() {
    return FImpl->Device()->size();
}

void TFileStream::Commit() {
    QSaveFile* writer = FImpl->Writer.get();
    if (writer == nullptr) return;
    if (!FImpl->WriteFailure.empty()) FImpl->RaiseWriteError(FImpl->WriteFailure);
    // Some file systems report a full disk only when the data goes to the disk; it must be
    // there before the file replaces its target. A file system that cannot sync at all
    // keeps the data as written.
    if (::fsync(writer->handle()) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        FImpl->RaiseWriteError(SystemReason());
    if (!writer->commit()) FImpl->RaiseWriteError(writer->errorString().toStdString());
}
