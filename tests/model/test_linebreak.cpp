#include "linebreak.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace korvala;

namespace {

// A list whose first quote opens at firstOpen and whose closes are the given ones.
void Fill(TFList &list, double firstOpen, std::initializer_list<double> closes)
{
    for (double c : closes) {
        TFPoint &q = list.AddNew();
        q.Open = list.Count() == 1 ? firstOpen : c - 100; // later opens play no part
        q.Close = c;
    }
}

std::vector<TLineBrick> Build(double firstOpen, std::initializer_list<double> closes)
{
    TFList list;
    Fill(list, firstOpen, closes);
    return BuildLineBreakBricks(list);
}

void ExpectBricks(const std::vector<TLineBrick> &got, const std::vector<TLineBrick> &want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < want.size(); ++k) {
        EXPECT_EQ(got[k].Open, want[k].Open) << "brick " << k;
        EXPECT_EQ(got[k].High, want[k].High) << "brick " << k;
        EXPECT_EQ(got[k].Low, want[k].Low) << "brick " << k;
        EXPECT_EQ(got[k].Close, want[k].Close) << "brick " << k;
    }
}

} // namespace

TEST(LineBreakFirstBrick, EmptyListGivesNoBrick)
{
    TFList list;
    EXPECT_TRUE(BuildLineBreakBricks(list).empty());
}

TEST(LineBreakFirstBrick, DirectionOfTheFirstQuote)
{
    ExpectBricks(Build(10, {11}), {{10, 11, 10, 11}});
    ExpectBricks(Build(11, {10}), {{11, 11, 10, 10}});
    // Open equal to close: a falling brick of zero height.
    ExpectBricks(Build(10, {10}), {{10, 10, 10, 10}});
}

TEST(LineBreakFirstBrick, EqualClosesAddNothing)
{
    ExpectBricks(Build(10, {11, 11, 11, 11}), {{10, 11, 10, 11}});
    ExpectBricks(Build(11, {10, 10, 10}), {{11, 11, 10, 10}});
}

TEST(LineBreakSequence, RisingFallingAndReversalsOfTheWorkedList)
{
    // Open 10, close 11, then 12, 13; 12.5 and 11.5 add nothing; 9.5 reverses from the
    // last brick's low; 9 continues; 10 stays below the reference 12 (the open of the
    // rising brick three back); 12.5 reverses from the last brick's open.
    ExpectBricks(Build(10, {11, 12, 13, 12.5, 11.5, 9.5, 9, 10, 12.5}),
                 {{10, 11, 10, 11},
                  {11, 12, 11, 12},
                  {12, 13, 12, 13},
                  {12, 12, 9.5, 9.5},
                  {9.5, 9.5, 9, 9},
                  {9.5, 12.5, 9.5, 12.5}});
}

TEST(LineBreakSequence, UpwardReversalBelowTheLastOpenKeepsItsValues)
{
    // Bricks 10–11, 11–12, 12–13 rising and 12–9.5 falling: the reference is 11, the
    // bottom of the rising brick 11–12, so 11.5 makes a brick whose close is below its
    // open and whose high is below its low.
    const auto bricks = Build(10, {11, 12, 13, 9.5, 11.5, 11.8});
    ASSERT_GE(bricks.size(), 5u);
    ExpectBricks({bricks.begin(), bricks.begin() + 5},
                 {{10, 11, 10, 11},
                  {11, 12, 11, 12},
                  {12, 13, 12, 13},
                  {12, 12, 9.5, 9.5},
                  {12, 11.5, 12, 11.5}});
    // The direction is up now and the next rise continues from that brick's close.
    ExpectBricks({bricks.begin() + 5, bricks.end()}, {{11.5, 11.8, 11.5, 11.8}});
}

TEST(LineBreakSequence, ReversalsWithOneOrTwoBricksUseTheFirstBrick)
{
    // One falling brick 11–10: 10.5 is below the reference 11, 11.5 reverses from 11.
    ExpectBricks(Build(11, {10, 10.5, 11.5}), {{11, 11, 10, 10}, {11, 11.5, 11, 11.5}});
    // One rising brick 10–11: 9.8 reverses from its low 10.
    ExpectBricks(Build(10, {11, 9.8}), {{10, 11, 10, 11}, {10, 10, 9.8, 9.8}});
    // Two falling bricks 11–10, 10–9: the reference and the start are B[0].open = 11,
    // not the last brick's open 10.
    ExpectBricks(Build(11, {10, 9, 10.5, 11.2}),
                 {{11, 11, 10, 10}, {10, 10, 9, 9}, {11, 11.2, 11, 11.2}});
    // Two rising bricks 10–11, 11–12: a fall starts at B[0].low = 10, not at 11.
    ExpectBricks(Build(10, {11, 12, 10.5, 9.5}),
                 {{10, 11, 10, 11}, {11, 12, 11, 12}, {10, 10, 9.5, 9.5}});
}

TEST(LineBreakSequence, ReferenceIsTheBrickThreePlacesBack)
{
    // Falling 20–19, 19–18, 18–17, 17–16: a rise must pass 19 (B[N−3].open, the top of
    // the oldest of the last three) and starts at the last brick's open 17.
    ExpectBricks(Build(20, {19, 18, 17, 16, 18.5, 19, 19.5}),
                 {{20, 20, 19, 19},
                  {19, 19, 18, 18},
                  {18, 18, 17, 17},
                  {17, 17, 16, 16},
                  {17, 19.5, 17, 19.5}});
    // Rising 10–11, 11–12, 12–13, 13–14: a fall must go below 11 (B[N−3].low) and starts
    // at the last brick's low 13.
    ExpectBricks(Build(10, {11, 12, 13, 14, 11.5, 11, 10.9}),
                 {{10, 11, 10, 11},
                  {11, 12, 11, 12},
                  {12, 13, 12, 13},
                  {13, 14, 13, 14},
                  {13, 13, 10.9, 10.9}});
}

TEST(LineBreakSequence, CloseEqualToAReferenceMakesNoBrick)
{
    // Equal to B[N−3].open after falls, to B[N−3].low after rises, to the first brick's
    // low with a single brick.
    ExpectBricks(Build(20, {19, 18, 17, 20}),
                 {{20, 20, 19, 19}, {19, 19, 18, 18}, {18, 18, 17, 17}});
    ExpectBricks(Build(10, {11, 12, 13, 10}),
                 {{10, 11, 10, 11}, {11, 12, 11, 12}, {12, 13, 12, 13}});
    ExpectBricks(Build(10, {11, 10}), {{10, 11, 10, 11}});
}
