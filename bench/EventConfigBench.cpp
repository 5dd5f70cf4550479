// Times writing and reading the text settings of a large unit (8 analog and 32 digital
// outputs with 4 rules each) against the system's XmlLite reading the same configuration
// written as an XML document, and shows how the cost grows up to the most outputs accepted.

#include "eventconfig/EventConfig.h"

#include "BenchTimer.h"
#include "XmlLite.h"

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using Bench::BestTime;
using Bench::Now;


EventConfig LargeConfig(int analog, int digital)
{
    EventConfig config;
    config.SetOutputCounts(analog, digital);
    config.AddDefaultRule();
    for (int i = 0; i < config.GetCount(); ++i) {
        for (int r = 0; r < 3; ++r)
            config.InsertRule(i, r);
        OnlineEvent& event = config.GetEvent(i);
        event.On = (i % 2) == 0;
        event.PulseDuration = 0.001 * (i + 1);
        event.PulseDelay = 0.0005 * i;
        event.RetriggerHoldoffTime = 0.25;
        for (int r = 0; r < 4; ++r) {
            event.Rules[r].Input = (i + r) % 16;
            event.Rules[r].Above = (r % 2) == 0;
            event.Rules[r].Level = -50.0 + 12.5 * r;
        }
    }
    return config;
}

// The same values as the text form, one element per output and per rule, each value an
// attribute written exactly as the text form writes it.
std::string XmlOf(const std::string& text)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<OnlineEvents";
    std::string open; // element whose attributes are being written
    size_t line = 0;
    while (line < text.size()) {
        size_t end = text.find('\n', line);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(line, end - line);
        line = end + 1;
        const size_t equals = item.find(" = ");
        if (equals != std::string::npos) {
            xml += ' ' + item.substr(0, equals) + "=\"" + item.substr(equals + 3) + '"';
        } else if (item == "BeginOnlineEvent") {
            xml += ">\r\n  <OnlineEvent";
        } else if (item == "BeginOnlineEventRule") {
            xml += ">\r\n    <Rule";
        } else if (item == "EndOnlineEventRule") {
            xml += "/";
        } else if (item == "EndOnlineEvent") {
            xml += ">\r\n  </OnlineEvent";
        }
    }
    return xml + ">\r\n</OnlineEvents>\r\n";
}

// Reads every element and every attribute name and value; false when XmlLite fails.
bool ReadWithXmlLite(IXmlReader* reader, IStream* stream, long& values)
{
    if (!Bench::ReadFromStart(reader, stream))
        return false;
    XmlNodeType type;
    HRESULT hr;
    const wchar_t* text = nullptr;
    UINT length = 0;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type != XmlNodeType_Element)
            continue;
        reader->GetLocalName(&text, &length);
        for (HRESULT a = reader->MoveToFirstAttribute(); a == S_OK; a = reader->MoveToNextAttribute()) {
            reader->GetLocalName(&text, &length);
            reader->GetValue(&text, &length);
            values += length != 0;
        }
    }
    reader->SetInput(nullptr);
    return hr == S_FALSE;
}

struct Timing {
    double serialize = 0;
    double parse = 0;
    double xmlLite = 0;
    std::size_t textBytes = 0;
    std::size_t xmlBytes = 0;
    bool ok = false;
};

Timing Measure(const EventConfig& config, int rounds, int repeat, IXmlReader* xmlLite)
{
    Timing t;
    std::string text;
    config.Serialize(text);
    const std::string xml = XmlOf(text);
    t.textBytes = text.size();
    t.xmlBytes = xml.size();
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(xml.data()), static_cast<UINT>(xml.size()));
    if (!stream)
        return t;

    EventConfig check;
    std::string again;
    long values = 0;
    t.ok = check.Parse(text) && check.Serialize(again) && again == text && ReadWithXmlLite(xmlLite, stream, values);

    std::string out;
    t.serialize = BestTime(rounds, repeat, [&] { config.Serialize(out); });
    t.parse = BestTime(rounds, repeat, [&] {
        EventConfig read;
        t.ok = read.Parse(text) && t.ok;
    });
    t.xmlLite = BestTime(rounds, repeat, [&] { t.ok = ReadWithXmlLite(xmlLite, stream, values) && t.ok; });
    stream->Release();
    return t;
}

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IXmlReader* xmlLite = Bench::OpenXmlLite();
    if (!xmlLite) {
        std::fprintf(stderr, "XmlLite is not available\n");
        return 2;
    }

    const Timing unit = Measure(LargeConfig(8, 32), 10, 200, xmlLite);
    std::printf("8 analog + 32 digital outputs, 4 rules each: text %zu bytes, XML %zu bytes\n", unit.textBytes,
                unit.xmlBytes);
    std::printf("Serialize %8.1f us   Parse %8.1f us   XmlLite read %8.1f us\n", unit.serialize * 1e6, unit.parse * 1e6,
                unit.xmlLite * 1e6);
    std::printf("ratio Parse / XmlLite %.2f   (Parse + Serialize) / XmlLite %.2f\n", unit.parse / unit.xmlLite,
                (unit.parse + unit.serialize) / unit.xmlLite);

    bool ok = unit.ok;
    std::printf("outputs  us per output: Serialize    Parse  XmlLite   ratio Parse/XmlLite\n");
    for (int outputs : {40, 128, 256, 512, EventConfig::MaxOutputs}) {
        // Short rounds, many of them: the best round is the least disturbed by the machine.
        const int repeat = std::max(2, 4000 / outputs);
        const Timing t = Measure(LargeConfig(outputs / 4, outputs - outputs / 4), 15, repeat, xmlLite);
        std::printf("%7d  %23.2f %8.2f %8.2f   %.2f\n", outputs, t.serialize * 1e6 / outputs, t.parse * 1e6 / outputs,
                    t.xmlLite * 1e6 / outputs, t.parse / t.xmlLite);
        ok = ok && t.ok;
    }

    xmlLite->Release();
    CoUninitialize();
    std::printf("Round trips and XML reads %s\n", ok ? "succeeded" : "FAILED");
    return ok ? 0 : 1;
}
