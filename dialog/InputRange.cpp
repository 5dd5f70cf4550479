#include "dialog/InputRange.h"

#include "foundation/XMLReader.h"

#include <memory>

namespace OnlineEvents {

InputRange InputRange::FromValue(const std::wstring& value)
{
    const size_t space = value.find(L' ');
    if (space == std::wstring::npos)
        return {value, value};
    return {value.substr(0, space), value.substr(space + 1)};
}

InputRange InputRange::FromSettingsText(const QLXString& settingsText)
{
    if (settingsText.IsEmpty())
        return {};
    FXMLReader reader;
    std::unique_ptr<FXMLElement> root(reader.Parse(settingsText));
    if (!root)
        return {};
    for (const FXMLElement* child : root->Children()) {
        if (std::wstring(child->Name().c_str()) == L"PhysicalGainIndex")
            return FromValue(child->Text().c_str());
    }
    return {};
}

} // namespace OnlineEvents
