#pragma once
// Binary settings streams over a host IStream, each with its own embedded buffer.

#include "eventconfig/BinStream.h"
#include "eventconfig/StorageStreamBuf.h"

// Writer: attaches to the stream and writes the header. Destruction flushes
// the buffer and releases the stream.
class StorageBinOStreamLite : public QLX::BinOStream {
public:
    explicit StorageBinOStreamLite(IStream* stream);
    ~StorageBinOStreamLite() override;

private:
    StorageOutStreamBuf storage_;
};

// Reader: attaches to the stream and reads the header, so that the string
// layout of the stream's format version is known before the first string.
class StorageBinIStreamLite : public QLX::BinIStream {
public:
    explicit StorageBinIStreamLite(IStream* stream);
    ~StorageBinIStreamLite() override;

private:
    StorageInStreamBuf storage_;
};
