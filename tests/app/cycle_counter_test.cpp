// CycleCounter: which pairs set accepts, and how step wraps at both ends.
#include "app/cycle_counter.h"

#include <gtest/gtest.h>

#include <climits>

namespace corvelle::app {
namespace {

TEST(CycleCounterSet, RefusesMaximumBelowOneOrCurrentAboveMaximumAndKeepsTheOldPair)
{
    CycleCounter counter;
    EXPECT_FALSE(counter.set(0, 0));
    EXPECT_EQ(counter.maximum(), 0);
    EXPECT_EQ(counter.current(), 0);

    ASSERT_TRUE(counter.set(3, 2));
    EXPECT_FALSE(counter.set(3, 4));
    EXPECT_FALSE(counter.set(-1, -5));
    EXPECT_EQ(counter.maximum(), 3);
    EXPECT_EQ(counter.current(), 2);
}

TEST(CycleCounterSet, AcceptsCurrentEqualToMaximumAndBelowOne)
{
    CycleCounter counter;
    EXPECT_TRUE(counter.set(3, 3));
    EXPECT_EQ(counter.current(), 3);
    EXPECT_TRUE(counter.set(3, 0));
    EXPECT_EQ(counter.current(), 0);
    EXPECT_TRUE(counter.set(3, -7));
    EXPECT_EQ(counter.current(), -7);
}

TEST(CycleCounterStep, ForwardCyclesOneToMaximum)
{
    CycleCounter counter;
    ASSERT_TRUE(counter.set(3, 1));
    EXPECT_EQ(counter.step(true), 2);
    EXPECT_EQ(counter.step(true), 3);
    EXPECT_EQ(counter.step(true), 1);
    EXPECT_EQ(counter.current(), 1);
}

TEST(CycleCounterStep, BackCyclesMaximumToOne)
{
    CycleCounter counter;
    ASSERT_TRUE(counter.set(3, 1));
    EXPECT_EQ(counter.step(false), 3);
    EXPECT_EQ(counter.step(false), 2);
    EXPECT_EQ(counter.step(false), 1);
}

TEST(CycleCounterStep, FreshCounterGivesOneOnEveryForwardStep)
{
    // A refused saved theme leaves maximum 0: every step passes the maximum and lands on 1.
    CycleCounter counter;
    EXPECT_EQ(counter.step(true), 1);
    EXPECT_EQ(counter.step(true), 1);
}

TEST(CycleCounterStep, CurrentBelowOneClimbsIntoTheCycle)
{
    CycleCounter counter;
    ASSERT_TRUE(counter.set(3, -1));
    EXPECT_EQ(counter.step(true), 0);
    EXPECT_EQ(counter.step(true), 1);
    EXPECT_EQ(counter.step(true), 2);

    ASSERT_TRUE(counter.set(3, 0));
    EXPECT_EQ(counter.step(false), 3);
}

TEST(CycleCounterStep, WrapsAtTheEndsOfTheIntegerRange)
{
    CycleCounter counter;
    ASSERT_TRUE(counter.set(INT_MAX, INT_MAX));
    EXPECT_EQ(counter.step(true), 1);
    ASSERT_TRUE(counter.set(INT_MAX, INT_MIN));
    EXPECT_EQ(counter.step(false), INT_MAX);
}

}  // namespace
}  // namespace corvelle::app
