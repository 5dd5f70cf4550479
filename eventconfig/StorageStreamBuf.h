#pragma once
// Byte stream buffers over a COM IStream, so that the binary settings streams
// can read and write the host's structured storage through std::streambuf.

#include <windows.h>
#include <objidl.h>

#include <streambuf>

// One 1024-byte buffer, used as the get area or the put area, with 4 bytes of
// put-back room in front of it. The stream position of the buffer is tracked in
// base_, which always equals the IStream's own seek pointer.
class StorageStreamBuf : public std::streambuf {
public:
    static constexpr int BufferSize = 1024;
    static constexpr int PutBackSize = 4;

    StorageStreamBuf();
    ~StorageStreamBuf() override;
    StorageStreamBuf(const StorageStreamBuf&) = delete;
    StorageStreamBuf& operator=(const StorageStreamBuf&) = delete;

    // Takes a reference on the stream; refused when already attached or Stat fails.
    bool AttachStorage(IStream* stream);
    // Flushes pending output and releases the stream; false when the flush failed.
    bool Detach();
    bool IsAttached() const { return attached_; }
    bool CanRead() const { return (access_ & ReadAccess) != 0; }
    bool CanWrite() const { return (access_ & WriteAccess) != 0; }

protected:
    enum Access { ReadAccess = 1, WriteAccess = 2 };

    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

    char* Area() { return buffer_ + PutBackSize; }
    // Absolute position of the next byte to read or write.
    LONGLONG LogicalPosition() const;
    // Target of a seek relative to the beginning or the current position; false for the end.
    bool TargetOf(off_type offset, std::ios_base::seekdir direction, LONGLONG& target) const;

    // Access granted whatever the stream's mode says (many streams report 0, "read").
    int grantedAccess_ = 0;
    IStream* stream_ = nullptr;
    bool attached_ = false;
    int access_ = 0;
    LONGLONG base_ = 0;
    // Furthest byte written into the put area; a seek back inside it must not lose bytes.
    char* highWater_ = nullptr;
    char buffer_[PutBackSize + BufferSize];
};

// Output side: seeks inside the bytes already put are satisfied in the buffer. Its
// use is a request to write, so it writes whatever mode the stream reports.
class StorageOutStreamBuf : public StorageStreamBuf {
public:
    StorageOutStreamBuf() { grantedAccess_ = WriteAccess; }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
};

// Input side: seeks inside the bytes already read are satisfied in the buffer.
class StorageInStreamBuf : public StorageStreamBuf {
protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
};
