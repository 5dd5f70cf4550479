#pragma once
// Helpers shared by the XML reader tests.

#include "foundation/XMLReader.h"

#include <memory>
#include <string>
#include <vector>

namespace XMLTest {

inline std::wstring W(const QLXString& s)
{
    return std::wstring(s.c_str(), s.Length());
}

struct DeleteElement {
    void operator()(FXMLElement* e) const { delete e; }
};
using Tree = std::unique_ptr<FXMLElement, DeleteElement>;

inline Tree Parse(FXMLReader& reader, const wchar_t* text)
{
    return Tree(reader.Parse(QLXString(text)));
}

inline std::vector<std::wstring> ChildNames(const FXMLElement& e)
{
    std::vector<std::wstring> names;
    for (const FXMLElement* child : e.Children())
        names.push_back(W(child->Name()));
    return names;
}

} // namespace XMLTest
