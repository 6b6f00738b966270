// CEventArg: the count that decides when a shared argument dies.
#include <gtest/gtest.h>

#include "CountingArg.h"

TEST(EventArg, DiesWhenTheLastReferenceIsReleased)
{
    auto* arg = new CCountingArg(1);
    EXPECT_EQ(arg->AddRef(3), 3);
    EXPECT_EQ(arg->Release(), 2);
    EXPECT_EQ(arg->Release(), 1);
    EXPECT_EQ(CCountingArg::Live(), 1);
    EXPECT_EQ(arg->Release(), 0);
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST(EventArg, AReleaseBelowZeroDeletesNothing)
{
    auto* arg = new CCountingArg(1);
    EXPECT_EQ(arg->Release(), -1);
    EXPECT_EQ(arg->AddRef(1), 0);  // reaching 0 by adding deletes nothing either
    EXPECT_EQ(CCountingArg::Live(), 1);
    delete arg;
}

TEST(EventArg, ACopyStartsUnshared)
{
    CCountingArg shared(5);
    shared.AddRef(2);
    CCountingArg copy(shared);
    EXPECT_EQ(copy.AddRef(0), 0);
    EXPECT_EQ(copy.m_data, 5);
    copy.AddRef(1);
    copy = shared;
    EXPECT_EQ(copy.AddRef(0), 1);  // assignment keeps the target's own holders
    shared.AddRef(-2);
    copy.AddRef(-1);
}

TEST(EventArg, HandlersTellTypesApart)
{
    CEventArg_Data<unsigned int> id(7u);
    CEventArg* arg = &id;
    EXPECT_EQ(dynamic_cast<CEventArg_Data<int>*>(arg), nullptr);
    ASSERT_NE(dynamic_cast<CEventArg_Data<unsigned int>*>(arg), nullptr);
    EXPECT_EQ(dynamic_cast<CEventArg_Data<unsigned int>*>(arg)->m_data, 7u);
}
