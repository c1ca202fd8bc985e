#include "lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace korvala;

namespace {

// Where the lines of a text start, found the slow way: after LF, after CR not followed
// by LF, and at 0; a line end at the very end starts no line.
std::vector<std::size_t> LineStarts(const std::string &t)
{
    std::vector<std::size_t> starts;
    if (!t.empty())
        starts.push_back(0);
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool ends = t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'));
        if (ends && i + 1 < t.size())
            starts.push_back(i + 1);
    }
    return starts;
}

// Random texts of short lines with every kind of line end, and runs of empty lines.
std::string RandomText(std::mt19937 &random, std::size_t size)
{
    static const char kBytes[] = {'a', ';', '1', ',', '\r', '\n', '\r', '\n', '\0', '\xC0'};
    std::string t;
    std::uniform_int_distribution<int> pick(0, sizeof kBytes - 1);
    while (t.size() < size)
        t += kBytes[pick(random)];
    return t;
}

} // namespace

TEST(Lines, LineEndsOfEveryKind)
{
    const std::string_view t = "ab\r\ncd\ref\ngh";
    EXPECT_EQ(FindLineEnd(t, 0), 2u);
    EXPECT_EQ(SkipLineEnd(t, 2), 4u); // CR LF is one line end
    EXPECT_EQ(FindLineEnd(t, 4), 6u);
    EXPECT_EQ(SkipLineEnd(t, 6), 7u); // a CR alone
    EXPECT_EQ(FindLineEnd(t, 7), 9u);
    EXPECT_EQ(SkipLineEnd(t, 9), 10u);
    EXPECT_EQ(FindLineEnd(t, 10), t.size()); // the last line has no end
    EXPECT_EQ(SkipLineEnd(t, t.size()), t.size());
    // Inside CR LF the next line starts after the LF; LF CR is two line ends.
    EXPECT_EQ(LineStartAtOrAfter(t, 3), 4u);
    EXPECT_EQ(LineStartAtOrAfter("a\n\rb", 3), 3u);
    EXPECT_EQ(CountLines(t, 0, t.size()), 4);
    EXPECT_EQ(CountLines("\n\n\r\r\n", 0, 5), 4);
    EXPECT_EQ(CountLines("x\r", 0, 2), 1);
    EXPECT_EQ(CountLines("", 0, 0), 0);
}

// Every position of random texts: the next line start and the number of lines between
// any two line starts, against the slow reading. The texts are long enough for the
// sixteen-byte runs of CountLines, and their CR LF pairs fall on every lane boundary.
TEST(Lines, AgreeWithALineByLineReadingOfRandomTexts)
{
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const std::string t = RandomText(random, 1 + random() % 300);
        const std::vector<std::size_t> starts = LineStarts(t);
        for (std::size_t pos = 0; pos <= t.size(); ++pos) {
            std::size_t expected = t.size();
            for (std::size_t s : starts)
                if (s >= pos) {
                    expected = s;
                    break;
                }
            ASSERT_EQ(LineStartAtOrAfter(t, pos), expected) << "round " << round << " pos " << pos;
        }
        std::vector<std::size_t> bounds = starts;
        bounds.push_back(t.size());
        for (std::size_t a = 0; a < bounds.size(); ++a)
            for (std::size_t b = a; b < bounds.size(); ++b)
                ASSERT_EQ(CountLines(t, bounds[a], bounds[b]), static_cast<std::int64_t>(b - a))
                    << "round " << round << " from " << bounds[a] << " to " << bounds[b];
    }
}
