// CJOVArray: growth, insert and remove rules, copies, buffer reuse, and reads
// that must stay inside the buffer.
#include <gtest/gtest.h>

#include "JOVArray.h"

#include <string>

namespace {

CJOVArray<int> Numbers(int n, int growStep = 10)
{
    CJOVArray<int> a(growStep);
    for (int i = 0; i < n; ++i)
        a.Append(i);
    return a;
}

std::string Named(const char* prefix, int i)
{
    std::string name(prefix);
    name += std::to_string(i);
    return name;
}

// The buffer moves only when the capacity is exhausted, so its address tells
// how many more elements fit.
template <class T>
int RoomLeft(CJOVArray<T> a)
{
    if (a.Count() == 0)
        a.Append(T());
    const T* buffer = &a[0];
    int room = 0;
    while (a.Append(T()) >= 0 && &a[0] == buffer)
        ++room;
    return room;
}

} // namespace

TEST(JOVArrayGrowth, GrowsByTheStepAndAnswersIndexes)
{
    CJOVArray<int> a;
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(a.Append(i * 10), i);
    EXPECT_EQ(a.Count(), 11);
    EXPECT_EQ(RoomLeft(a), 9);  // capacity 20
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(a[i], i * 10);

    EXPECT_EQ(RoomLeft(Numbers(3, 4)), 1);  // capacity 4
}

TEST(JOVArrayGrowth, NonPositiveStepStillMakesRoom)
{
    for (int step : {0, -5}) {
        CJOVArray<std::string> a(step);
        for (int i = 0; i < 25; ++i)
            ASSERT_EQ(a.Append(std::to_string(i)), i);
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(a[i], std::to_string(i));
    }
}

TEST(JOVArrayGrowth, AppendingOwnElementWhenFullKeepsItsValue)
{
    // Growth moves the elements: the argument must be read before that.
    CJOVArray<std::string> a;
    for (int i = 0; i < 10; ++i)
        a.Append(Named("s", i));
    EXPECT_EQ(a.Append(a[0]), 10);
    EXPECT_EQ(a[10], "s0");
    EXPECT_EQ(a[0], "s0");

    CJOVArray<std::string> b;
    for (int i = 0; i < 10; ++i)
        b.Append(Named("s", i));
    EXPECT_EQ(b.Insert(0, b[9]), 0);  // full: grows, then shifts
    EXPECT_EQ(b[0], "s9");
    EXPECT_EQ(b[10], "s9");
    EXPECT_EQ(b.Insert(1, b[3]), 1);  // room left: only shifts
    EXPECT_EQ(b[1], "s2");
    EXPECT_EQ(b[4], "s2");
}

TEST(JOVArrayEdit, InsertLimitsTheIndex)
{
    CJOVArray<int> a = Numbers(3);
    EXPECT_EQ(a.Insert(100, 7), 3);
    EXPECT_EQ(a[3], 7);
    EXPECT_EQ(a.Insert(-4, 9), 0);
    EXPECT_EQ(a[0], 9);
    EXPECT_EQ(a.Insert(2, 5), 2);
    const int expected[] = {9, 0, 5, 1, 2, 7};
    ASSERT_EQ(a.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(a[i], expected[i]);
}

TEST(JOVArrayEdit, RemoveOnlyInsideTheArray)
{
    CJOVArray<int> a = Numbers(3);
    a.Remove(5);
    a.Remove(-1);
    a.Remove(3);
    EXPECT_EQ(a.Count(), 3);
    a.Remove(1);
    ASSERT_EQ(a.Count(), 2);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 2);

    CJOVArray<int> b = Numbers(6);
    b.Remove(1, 0);
    b.Remove(1, -2);
    b.Remove(6, 1);
    EXPECT_EQ(b.Count(), 6);
    b.Remove(1, 2);
    ASSERT_EQ(b.Count(), 4);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[3], 5);
    b.Remove(2, 100);  // limited to the elements there are
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b[1], 3);
}

TEST(JOVArrayAccess, OutOfRangeIndexesStayInside)
{
    CJOVArray<int> a = Numbers(3);
    EXPECT_EQ(a.At(7), 2);
    EXPECT_EQ(a[3], 2);
    EXPECT_EQ(a.At(-1), 0);
    EXPECT_EQ(&a.At(-100), &a[0]);
    EXPECT_EQ(a.Last(), 2);
    const CJOVArray<int>& constant = a;
    EXPECT_EQ(constant.At(9), 2);
    EXPECT_EQ(constant.Last(), 2);
}

TEST(JOVArrayAccess, EmptyArraysAnswerASlotWithoutTouchingOthers)
{
    CJOVArray<std::string> none;
    none.At(0) = "scribble";      // no buffer: a spare slot
    EXPECT_EQ(none.At(-1), "");   // answered fresh each time
    EXPECT_EQ(none.Last(), "");
    EXPECT_EQ(none.Count(), 0);
    const CJOVArray<std::string>& constant = none;
    EXPECT_EQ(constant[5], "");

    CJOVArray<std::string> emptied;
    emptied.Append("x");
    const std::string* slot = &emptied[0];
    emptied.RemoveAll();
    EXPECT_EQ(&emptied.At(0), slot);  // inside its own buffer
    EXPECT_EQ(&emptied.At(-3), slot);
    EXPECT_EQ(&emptied.Last(), slot);
}

TEST(JOVArrayBuffer, RemoveAllReusesTheBuffer)
{
    CJOVArray<int> a = Numbers(5);
    const int* buffer = &a[0];
    a.RemoveAll();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Append(42), 0);
    EXPECT_EQ(&a[0], buffer);
    EXPECT_EQ(RoomLeft(a), 9);
}

TEST(JOVArrayBuffer, ReserveAndCompress)
{
    CJOVArray<int> a = Numbers(3);
    a.Reserve(25);
    EXPECT_EQ(RoomLeft(a), 22);
    const int* buffer = &a[0];
    a.Reserve(4);  // already room: nothing happens
    EXPECT_EQ(&a[0], buffer);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(a[i], i);

    a.Compress();
    EXPECT_EQ(RoomLeft(a), 0);
    ASSERT_EQ(a.Count(), 3);
    EXPECT_EQ(a[2], 2);
    EXPECT_EQ(a.Append(3), 3);  // grows again by its step
    EXPECT_EQ(RoomLeft(a), 9);

    CJOVArray<int> empty = Numbers(4);
    empty.RemoveAll();
    empty.Compress();  // drops the buffer altogether
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.Append(8), 0);
    EXPECT_EQ(empty[0], 8);
}

TEST(JOVArrayCopy, CopiesAreIndependentAndKeepShape)
{
    CJOVArray<std::string> source(3);
    source.Append("a");
    source.Append("b");
    CJOVArray<std::string> copy(source);
    ASSERT_EQ(copy.Count(), 2);
    copy[0] = "changed";
    EXPECT_EQ(source[0], "a");
    EXPECT_EQ(copy[1], "b");
    EXPECT_EQ(RoomLeft(copy), 1);  // capacity 3 like the source
    copy.Append("c");
    copy.Append("d");              // grows by the source's step: 6
    EXPECT_EQ(RoomLeft(copy), 2);

    CJOVArray<std::string> target(50);
    target.Append("old");
    target = source;
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target[0], "a");
    EXPECT_EQ(RoomLeft(target), 1);
    target = target;
    EXPECT_EQ(target.Count(), 2);
    EXPECT_EQ(target[1], "b");

    CJOVArray<std::string> nothing;
    target = nothing;
    EXPECT_EQ(target.Count(), 0);
    CJOVArray<std::string> copyOfNothing(nothing);
    EXPECT_EQ(copyOfNothing.Count(), 0);
}

TEST(JOVArrayCopy, NestedArraysCopyDeeply)
{
    CJOVArray<CJOVArray<int>> outer;
    outer.Append(Numbers(2));
    CJOVArray<CJOVArray<int>> copy = outer;
    copy[0][1] = 99;
    EXPECT_EQ(outer[0][1], 1);
    EXPECT_EQ(copy[0].Count(), 2);
}
