// Times FXMLReader against the system's XmlLite on the same documents in one run and
// prints the ratio: a typical input description and a large generated document.

#include "foundation/XMLReader.h"

#include "BenchTimer.h"
#include "XmlLite.h"

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bench::BestTime;
using Bench::Now;


// What a pass found, so both readers can be checked against each other.
struct Totals {
    long elements = 0;
    long attributes = 0;
    unsigned long long characters = 0;
};

void Walk(const FXMLElement& e, Totals& totals)
{
    ++totals.elements;
    totals.characters += e.Name().Length() + e.Text().Length();
    for (const auto& attribute : e.Attributes()) {
        ++totals.attributes;
        totals.characters += attribute.first.Length() + attribute.second.Length();
    }
    for (const FXMLElement* child : e.Children())
        Walk(*child, totals);
}

bool ReadWithFXML(const QLXString& text, Totals& totals)
{
    FXMLReader reader;
    FXMLElement* root = reader.Parse(text);
    if (!root) {
        std::fwprintf(stderr, L"FXMLReader failed: %d %ls\n", reader.ErrorCode(), reader.ErrorText().c_str());
        return false;
    }
    Walk(*root, totals);
    delete root;
    return true;
}

bool ReadWithXmlLite(IXmlReader* reader, IStream* stream, Totals& totals)
{
    if (!Bench::ReadFromStart(reader, stream))
        return false;
    XmlNodeType type;
    HRESULT hr;
    const wchar_t* text = nullptr;
    UINT length = 0;
    while ((hr = reader->Read(&type)) == S_OK) {
        switch (type) {
        case XmlNodeType_Element:
            ++totals.elements;
            reader->GetLocalName(&text, &length);
            totals.characters += length;
            for (HRESULT a = reader->MoveToFirstAttribute(); a == S_OK; a = reader->MoveToNextAttribute()) {
                ++totals.attributes;
                reader->GetLocalName(&text, &length);
                totals.characters += length;
                reader->GetValue(&text, &length);
                totals.characters += length;
            }
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            reader->GetValue(&text, &length);
            totals.characters += length;
            break;
        default:
            break;
        }
    }
    if (hr != S_FALSE) {
        UINT line = 0, position = 0;
        reader->GetLineNumber(&line);
        reader->GetLinePosition(&position);
        std::fwprintf(stderr, L"XmlLite failed: 0x%08lx at line %u position %u\n", static_cast<unsigned long>(hr), line,
                      position);
    }
    reader->SetInput(nullptr);
    return hr == S_FALSE;
}

std::wstring TypicalDescription()
{
    return L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
           L"<InputSettings Index=\"0\" Kind=\"Analog\">\r\n"
           L"  <Name>Input 1</Name>\r\n"
           L"  <PhysicalGainIndex>10 V</PhysicalGainIndex>\r\n"
           L"  <Filter LowPass=\"1 kHz\" HighPass=\"DC\" Mains=\"Off\"/>\r\n"
           L"  <Coupling>DC</Coupling>\r\n"
           L"  <Ranges>\r\n"
           L"    <Range Index=\"0\">10 V</Range>\r\n"
           L"    <Range Index=\"1\">5 V</Range>\r\n"
           L"    <Range Index=\"2\">2 V</Range>\r\n"
           L"    <Range Index=\"3\">200 mV</Range>\r\n"
           L"  </Ranges>\r\n"
           L"</InputSettings>\r\n";
}

// Nested groups of channels, each with attributes, text and an escaped character,
// until the text reaches the requested size.
std::wstring LargeDocument(size_t characters)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Unit Model=\"Bench\" Serial='0001'>\r\n";
    const std::wstring close = L"</Unit>\r\n";
    int channel = 0;
    for (int group = 0; text.size() + close.size() < characters; ++group) {
        std::wstring block =
            L"  <Group Index=\"" + std::to_wstring(group) + L"\" Label='Group " + std::to_wstring(group) + L"'>\r\n";
        for (int i = 0; i < 8; ++i, ++channel) {
            const std::wstring n = std::to_wstring(channel);
            block += L"    <Channel Index=\"" + n + L"\" Name=\"Input " + n +
                     L"\" Enabled='true'>\r\n"
                     L"      <PhysicalGainIndex>10 V</PhysicalGainIndex>\r\n"
                     L"      <Settings Filter=\"1 kHz\" Coupling=\"DC\">\r\n"
                     L"        <Range Low=\"-10\" High=\"10\">Full scale &amp; offset of input " +
                     n +
                     L"</Range>\r\n"
                     L"        <Note>Calibrated on site; see the unit's log for details.</Note>\r\n"
                     L"      </Settings>\r\n"
                     L"    </Channel>\r\n";
        }
        block += L"  </Group>\r\n";
        if (text.size() + block.size() + close.size() > characters)
            break;
        text += block;
    }
    text += close;
    return text;
}

// XmlLite reads the same document as UTF-8 bytes: Wine's XmlLite rejects UTF-16
// streams longer than about 16 KB at a buffer boundary (WC_E_GREATERTHAN).
IStream* MakeStream(const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(size);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
}

bool Compare(const wchar_t* label, const std::wstring& text, int rounds, int repeat, IXmlReader* xmlLite)
{
    const QLXString input(text.c_str());
    IStream* stream = MakeStream(text);
    if (!stream)
        return false;

    Totals ours, theirs;
    bool ok = ReadWithFXML(input, ours) && ReadWithXmlLite(xmlLite, stream, theirs);
    if (!ok) {
        std::fwprintf(stderr, L"%ls: a reader failed\n", label);
        stream->Release();
        return false;
    }

    Totals sink;
    const double fxml = BestTime(rounds, repeat, [&] { ReadWithFXML(input, sink); });
    const double lite = BestTime(rounds, repeat, [&] { ReadWithXmlLite(xmlLite, stream, sink); });
    stream->Release();

    std::wprintf(L"%ls: %zu characters, %ld elements, %ld attributes (XmlLite saw %ld elements, %ld attributes)\n",
                 label, text.size(), ours.elements, ours.attributes, theirs.elements, theirs.attributes);
    std::wprintf(L"  FXMLReader %10.2f us   XmlLite %10.2f us   ratio FXML/XmlLite %.2f\n", fxml * 1e6, lite * 1e6,
                 fxml / lite);
    return ours.elements == theirs.elements && ours.attributes == theirs.attributes;
}

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IXmlReader* xmlLite = Bench::OpenXmlLite();
    if (!xmlLite) {
        std::fwprintf(stderr, L"XmlLite is not available\n");
        return 2;
    }

    bool same = Compare(L"typical input description", TypicalDescription(), 10, 2000, xmlLite);
    same = Compare(L"1 MB nested document", LargeDocument(1 << 20), 10, 3, xmlLite) && same;

    xmlLite->Release();
    CoUninitialize();
    if (!same)
        std::wprintf(L"the two readers disagree on the documents' shape\n");
    return same ? 0 : 1;
}
