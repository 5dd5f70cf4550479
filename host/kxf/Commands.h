#pragma once
// Menu commands and the containers that keep the commands of one document class.

#include "host/kxf/KxfCom.h"

#include <vector>

namespace Kxf {

class CommandContainer : public IKXFCommandContainer, private CountedObject {
public:
    CommandContainer(const CLSID& classId, DWORD messageBase, IKXFCommandHandler* classHandler)
        : classId_(classId), messageBase_(messageBase), classHandler_(classHandler)
    {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    KXF_COUNTED_UNKNOWN

    HRESULT STDMETHODCALLTYPE AddCommand(IKXFCommand* command) override;
    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override;
    HRESULT STDMETHODCALLTYPE GetCommand(ULONG index, IKXFCommand** command) override;

    const CLSID& ClassId() const { return classId_; }
    // The class's own handler, asked after the document; not held (the class holds us).
    IKXFCommandHandler* ClassHandler() const { return classHandler_; }
    void SetClassHandler(IKXFCommandHandler* handler) { classHandler_ = handler; }
    // The command of the number with a reference, or null.
    IKXFCommand* Find(DWORD number) const;

private:
    ~CommandContainer() override;

    CLSID classId_;
    DWORD messageBase_;
    IKXFCommandHandler* classHandler_;
    std::vector<IKXFCommand*> commands_;
};

} // namespace Kxf
