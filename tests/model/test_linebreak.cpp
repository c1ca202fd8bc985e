#include "linebreak.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

using namespace korvala;

namespace {

using Bricks = std::vector<std::array<double, 4>>; // open, high, low, close

// The bricks of a list whose first quote opens at firstOpen and whose closes are given.
Bricks Build(double firstOpen, std::initializer_list<double> closes)
{
    TFList list;
    for (double c : closes) {
        TFPoint &q = list.AddNew();
        q.Open = list.Count() == 1 ? firstOpen : c - 100; // later opens play no part
        q.Close = c;
    }
    Bricks bricks;
    for (const LineBrick &b : BuildLineBreakBricks(list))
        bricks.push_back({b.Open, b.High, b.Low, b.Close});
    return bricks;
}

} // namespace

TEST(LineBreak, TheFirstBrick)
{
    EXPECT_TRUE(BuildLineBreakBricks(TFList()).empty());
    EXPECT_EQ(Build(10, {11}), (Bricks{{10, 11, 10, 11}}));
    EXPECT_EQ(Build(11, {10}), (Bricks{{11, 11, 10, 10}}));
    EXPECT_EQ(Build(10, {10}), (Bricks{{10, 10, 10, 10}})); // a falling brick of zero height
    // Closes equal to the first close add nothing.
    EXPECT_EQ(Build(10, {11, 11, 11, 11}), (Bricks{{10, 11, 10, 11}}));
    EXPECT_EQ(Build(11, {10, 10, 10}), (Bricks{{11, 11, 10, 10}}));
}

TEST(LineBreak, TheWorkedList)
{
    // 12.5 and 11.5 add nothing; 9.5 reverses from the last brick's low; 9 continues; 10
    // stays below the reference 12 (the open of the rising brick three back); 12.5 reverses
    // from the last brick's open, although it is below the 13 reached three bricks back.
    EXPECT_EQ(Build(10, {11, 12, 13, 12.5, 11.5, 9.5, 9, 10, 12.5}),
              (Bricks{{10, 11, 10, 11}, {11, 12, 11, 12}, {12, 13, 12, 13}, {12, 12, 9.5, 9.5},
                      {9.5, 9.5, 9, 9}, {9.5, 12.5, 9.5, 12.5}}));
    // After 12–9.5 the reference is 11, the bottom of the rising brick 11–12: 11.5 makes a
    // brick whose close is below its open and whose high is below its low; the direction is
    // up now and 11.8 continues from its close.
    EXPECT_EQ(Build(10, {11, 12, 13, 9.5, 11.5, 11.8}),
              (Bricks{{10, 11, 10, 11}, {11, 12, 11, 12}, {12, 13, 12, 13}, {12, 12, 9.5, 9.5},
                      {12, 11.5, 12, 11.5}, {11.5, 11.8, 11.5, 11.8}}));
}

TEST(LineBreak, ReversalsWithOneOrTwoBricksUseTheFirstBrick)
{
    // One falling brick 11–10: 10.5 is below the reference 11, 11.5 reverses from 11.
    EXPECT_EQ(Build(11, {10, 10.5, 11.5}), (Bricks{{11, 11, 10, 10}, {11, 11.5, 11, 11.5}}));
    // One rising brick 10–11: 9.8 reverses from its low 10.
    EXPECT_EQ(Build(10, {11, 9.8}), (Bricks{{10, 11, 10, 11}, {10, 10, 9.8, 9.8}}));
    // Two falling bricks: the reference and the start are B[0].open = 11, not 10.
    EXPECT_EQ(Build(11, {10, 9, 10.5, 11.2}),
              (Bricks{{11, 11, 10, 10}, {10, 10, 9, 9}, {11, 11.2, 11, 11.2}}));
    // Two rising bricks: a fall starts at B[0].low = 10, not at 11.
    EXPECT_EQ(Build(10, {11, 12, 10.5, 9.5}),
              (Bricks{{10, 11, 10, 11}, {11, 12, 11, 12}, {10, 10, 9.5, 9.5}}));
}

TEST(LineBreak, TheReferenceIsTheBrickThreePlacesBackAndEqualityMakesNoBrick)
{
    // Four falling bricks: a rise must pass 19 (B[N−3].open) and starts at the last open 17.
    EXPECT_EQ(Build(20, {19, 18, 17, 16, 18.5, 19, 19.5}),
              (Bricks{{20, 20, 19, 19}, {19, 19, 18, 18}, {18, 18, 17, 17}, {17, 17, 16, 16},
                      {17, 19.5, 17, 19.5}}));
    // Four rising bricks: a fall must go below 11 (B[N−3].low) and starts at the last low 13.
    EXPECT_EQ(Build(10, {11, 12, 13, 14, 11.5, 11, 10.9}),
              (Bricks{{10, 11, 10, 11}, {11, 12, 11, 12}, {12, 13, 12, 13}, {13, 14, 13, 14},
                      {13, 13, 10.9, 10.9}}));
    // Equal to B[N−3].open after falls, to B[N−3].low after rises, to B[0].low: nothing.
    EXPECT_EQ(Build(20, {19, 18, 17, 20}), (Bricks{{20, 20, 19, 19}, {19, 19, 18, 18}, {18, 18, 17, 17}}));
    EXPECT_EQ(Build(10, {11, 12, 13, 10}), (Bricks{{10, 11, 10, 11}, {11, 12, 11, 12}, {12, 13, 12, 13}}));
    EXPECT_EQ(Build(10, {11, 10}), (Bricks{{10, 11, 10, 11}}));
}
