// The drop-down value lists of the parameter block's enumerated fields.
#include "param_values.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(ParamValueLists, EntriesDefaultsAndStoredValues)
{
    const ValueList *baud = valueListFor("R1BaudRate");
    ASSERT_NE(baud, nullptr);
    ASSERT_EQ(baud->entries.size(), 11u);
    EXPECT_EQ(baud->entries[baud->defaultIndex].label, "115200");
    EXPECT_EQ(baud->entries[10].value, 256000u);

    const ValueList *socket = valueListFor("W1SocketType1");
    ASSERT_EQ(socket, valueListFor("E1SocketType1"));
    EXPECT_EQ(socket->entries[socket->defaultIndex].label, "TCP服务器");
    EXPECT_EQ(socket->entries[1].label, "TCP客户端");

    const ValueList *parity = valueListFor("R1Parity");
    EXPECT_EQ(parity->entries[3].label, "MARK校验");
    EXPECT_EQ(parity->entries[parity->defaultIndex].value, 0u);
    EXPECT_EQ(valueListFor("R1Type")->entries[3].label, "只接收");
    EXPECT_EQ(valueListFor("R1BitCS")->entries[valueListFor("R1BitCS")->defaultIndex].value, 8u);
}

TEST(ParamValueLists, StoredValueSelectsClearsOrIsUnlisted)
{
    const ValueList *stop = valueListFor("R1BitStop");
    ASSERT_NE(stop, nullptr);
    ValueSelection s = selectionFor(*stop, 2);
    EXPECT_EQ(s.kind, ValueSelection::Entry);
    EXPECT_EQ(s.index, 1u);
    EXPECT_EQ(selectionFor(*stop, 0).kind, ValueSelection::Clear);
    EXPECT_EQ(selectionFor(*stop, 3).kind, ValueSelection::Unlisted);
    EXPECT_EQ(selectionFor(*valueListFor("R1BaudRate"), 300).kind, ValueSelection::Unlisted);
}

TEST(ParamValueLists, OnlyThePagesIoLinesHaveLists)
{
    EXPECT_NE(valueListFor("IO1"), nullptr);
    EXPECT_NE(valueListFor("IO24"), nullptr);
    EXPECT_EQ(valueListFor("IO25"), nullptr);
    EXPECT_EQ(valueListFor("IO0"), nullptr);
    EXPECT_EQ(valueListFor("IO01"), nullptr);
    EXPECT_EQ(valueListFor("IOx"), nullptr);
    EXPECT_EQ(valueListFor("QXMode"), nullptr);
    EXPECT_EQ(valueListFor("IO7")->entries.size(), 5u);
}
