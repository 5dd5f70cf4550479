// Table lookup: resolution of numbers, match tests and the order of entries.

#include "extension/KXFEventTable.h"

#include <gtest/gtest.h>

namespace {

int providerCalls = 0;

DWORD CommandA()
{
    ++providerCalls;
    return 0x01230001;
}
DWORD RangeFirst()
{
    return 0x01230010;
}
DWORD RangeEnd()
{
    return 0x01230014;
}
DWORD GroupMessage()
{
    return 0x04560007;
}
DWORD ExactMessage()
{
    return 0x07890002;
}
DWORD Twice()
{
    return 0x0ABC0001;
}
DWORD Notice()
{
    return 0x0DEF000D;
}

// A handler with a table and nothing else, so lookups can be checked alone.
class TableProbe : public KXFEventHandlerBase {
public:
    KXF_DECLARE_EVENT_TABLE()

    void OnA() { calls.push_back("A"); }
    void OnRange(DWORD number) { rangeNumbers.push_back(number); }
    LONG OnGroup()
    {
        calls.push_back("group");
        return 0;
    }
    LONG OnExact()
    {
        calls.push_back("exact");
        return 0;
    }
    void OnFirst() { calls.push_back("first"); }
    void OnSecond() { calls.push_back("second"); }
    void OnNotice(BYTE flag) { flags.push_back(flag); }

    // Dispatches like a command execute request: true when an entry took it.
    bool Execute(DWORD number)
    {
        const KXFTableEntry* entry = Find(CommandTrigger(number));
        if (!entry)
            return false;
        KXFEventArgs args;
        args.number = number;
        Call(*entry, args);
        return true;
    }

    std::vector<std::string> calls;
    std::vector<DWORD> rangeNumbers;
    std::vector<int> flags;
};

KXFTableEntry TableProbe::s_eventTable[] = {
    KXFTable::Header(),
    KXFTable::Execute(&CommandA, &TableProbe::OnA),
    KXFTable::ExecuteRange(&RangeFirst, &RangeEnd, &TableProbe::OnRange),
    KXFTable::Execute(&Twice, &TableProbe::OnFirst),
    KXFTable::Execute(&Twice, &TableProbe::OnSecond),
    KXFTable::FlagNotification(&Notice, &TableProbe::OnNotice),
    KXFTable::Message(&GroupMessage, &TableProbe::OnGroup, KXFMatch_Group),
    KXFTable::Message(&ExactMessage, &TableProbe::OnExact),
    KXFTable::End(),
};

TEST(KXFEventTable, NumbersAreResolvedOnceOnFirstLookup)
{
    TableProbe probe;
    const int before = providerCalls;
    const bool resolvedBefore = !TableProbe::s_eventTable[0].unresolved;
    EXPECT_TRUE(probe.Execute(0x01230001));
    EXPECT_TRUE(probe.Execute(0x01230001));
    EXPECT_FALSE(probe.Execute(0x01230002));
    TableProbe other;
    EXPECT_TRUE(other.Execute(0x01230001));
    EXPECT_FALSE(TableProbe::s_eventTable[0].unresolved);
    // The table is static: its provider runs at most once in the process.
    EXPECT_EQ(providerCalls - before, resolvedBefore ? 0 : 1);
    EXPECT_EQ(TableProbe::s_eventTable[1].number, 0x01230001u);
}

TEST(KXFEventTable, RangeEntryCoversNumbersUpToItsEnd)
{
    TableProbe probe;
    EXPECT_FALSE(probe.Execute(0x0123000F));
    EXPECT_TRUE(probe.Execute(0x01230010));
    EXPECT_TRUE(probe.Execute(0x01230013));
    EXPECT_FALSE(probe.Execute(0x01230014));
    EXPECT_EQ(probe.rangeNumbers, (std::vector<DWORD>{0x01230010, 0x01230013}));
}

TEST(KXFEventTable, OnlyTheFirstOfTwoEqualEntriesIsCalled)
{
    TableProbe probe;
    EXPECT_TRUE(probe.Execute(0x0ABC0001));
    EXPECT_TRUE(probe.Execute(0x0ABC0001));
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"first", "first"}));
}

TEST(KXFEventTable, MessageMatchOptionZeroMatchesTheWholeGroup)
{
    TableProbe probe;
    for (DWORD number : {0x04560000u, 0x04560007u, 0x0456FFFFu}) {
        const KXFTableEntry* entry = probe.Find(MsgEventTrigger(number));
        ASSERT_NE(entry, nullptr) << std::hex << number;
        EXPECT_EQ(entry->number, 0x04560007u);
    }
    EXPECT_EQ(probe.Find(MsgEventTrigger(0x04570007)), nullptr);
}

TEST(KXFEventTable, ExactMessageMaskMatchesOnlyItsNumber)
{
    TableProbe probe;
    EXPECT_NE(probe.Find(MsgEventTrigger(0x07890002)), nullptr);
    EXPECT_EQ(probe.Find(MsgEventTrigger(0x07890003)), nullptr);
}

TEST(KXFEventTable, TriggersOnlyMatchEntriesOfTheirKind)
{
    TableProbe probe;
    // A command number that equals a notification entry's number is not a command.
    EXPECT_FALSE(probe.Execute(0x0DEF000D));
    EXPECT_EQ(probe.Find(ObserverEventTrigger(0x01230001)), nullptr);
    const KXFTableEntry* notice = probe.Find(ObserverEventTrigger(0x0DEF000D));
    ASSERT_NE(notice, nullptr);
    BYTE flag = 1;
    KXFEventArgs args;
    args.payload = &flag;
    probe.Call(*notice, args);
    args.payload = nullptr;
    probe.Call(*notice, args);
    EXPECT_EQ(probe.flags, (std::vector<int>{1, 0}));
}

class CountingAction : public TableEntryAction {
public:
    void Apply(const KXFTableEntry& entry) override { kinds.push_back(entry.kind); }
    std::vector<int> kinds;
};

TEST(KXFEventTable, ActionsSeeEveryEntryAfterTheHeader)
{
    TableProbe probe;
    CountingAction action;
    probe.ForEachEntry(action);
    EXPECT_EQ(action.kinds, (std::vector<int>{2, 2, 2, 2, 4, 5, 5}));
}

TEST(KXFEventTable, HandlerWithoutTableFindsNothing)
{
    KXFEventHandlerBase bare;
    EXPECT_EQ(bare.Find(CommandTrigger(1)), nullptr);
    EXPECT_EQ(bare.GetEventHandlerState(), 0u);
}

} // namespace
