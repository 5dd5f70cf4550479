#include "eventconfig/StorageBinStreamLite.h"

StorageBinOStreamLite::StorageBinOStreamLite(IStream* stream) : QLX::BinOStream(&storage_, false)
{
    if (!storage_.AttachStorage(stream)) {
        SetStatus(StatusNoStorage);
        return;
    }
    WriteHeader();
}

StorageBinOStreamLite::~StorageBinOStreamLite()
{
    storage_.Detach();
}

StorageBinIStreamLite::StorageBinIStreamLite(IStream* stream) : QLX::BinIStream(&storage_, false)
{
    if (!storage_.AttachStorage(stream)) {
        SetStatus(StatusNoStorage);
        return;
    }
    ReadHeader();
}

StorageBinIStreamLite::~StorageBinIStreamLite()
{
    storage_.Detach();
}
