#include "numtext.h"
#include "quotes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

using namespace korvala;

namespace {

// A date-time (days since 30.12.1899) as "yyyy-mm-dd hh:mm", by the standard library's
// calendar.
std::string When(double dateTime)
{
    using namespace std::chrono;
    const long minutes = std::lround(dateTime * 1440);
    const year_month_day d{sys_days{year{1899} / December / day{30}} + days{minutes / 1440}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()), minutes % 1440 / 60,
                  minutes % 60);
    return text;
}

// What ParseLine makes of a line: "rejected", the conversion error, or the record.
std::string Parsed(const std::string &line)
{
    TFPoint p;
    std::ostringstream s;
    try {
        if (!p.ParseLine(line))
            return "rejected";
    } catch (const ConvertError &e) {
        return e.what();
    }
    s << p.DateText << " | " << When(p.DateTime) << " | " << p.Open << ' ' << p.High << ' ' << p.Low << ' '
      << p.Close << ' ' << p.Volume;
    return s.str();
}

// One field of every item.
std::vector<double> Field(const TFList &list, double TFPoint::*field = &TFPoint::Pivot)
{
    std::vector<double> v;
    list.ForEach([&](const TFPoint &p, int) { v.push_back(p.*field); });
    return v;
}

// The list-wide figures: MaxOpen MinOpen MaxHigh MinHigh MaxLow MinLow MaxClose MinClose
// MaxVolume AvgChange.
using Wide = std::array<double, 10>;
Wide Of(const TFList &m)
{
    return {m.MaxOpen, m.MinOpen, m.MaxHigh, m.MinHigh, m.MaxLow, m.MinLow, m.MaxClose, m.MinClose,
            m.MaxVolume, m.AvgChange};
}
const Wide kStartValues{0, 1e9, 0, 1e9, 0, 1e9, 0, 1e9, 0, -1};

} // namespace

// ---------------------------------------------------------------------------------------
// ParseLine and ParseQuoteDateTime
// ---------------------------------------------------------------------------------------

TEST(ParseLine, FieldsNumbersAndTheLineCheck)
{
    const std::pair<const char *, const char *> cases[] = {
        {"01.12.05;10:00;1,5;2,5;1;2;100", "01.12.05 10:00 | 2005-12-01 10:00 | 1.5 2.5 1 2 100"},
        // An eighth field, even an empty one, is ignored; no check between the prices.
        {"01.12.05;10:00;5;1;9;-3;-7;x", "01.12.05 10:00 | 2005-12-01 10:00 | 5 1 9 -3 -7"},
        {"01.12.05;10:00;1;2;1;2;3;", "01.12.05 10:00 | 2005-12-01 10:00 | 1 2 1 2 3"},
        {"01.12.05;10:00;1,5;2,5;1;2", "rejected"}, // six fields
        {"", "rejected"},
        // Blanks belong to their field; a time without a colon gives 0, the line stays.
        {"01.12.05;10:00 ; 1,5 ;2,5;1;2; 100", "01.12.05 10:00  | 2005-12-01 10:00 | 1.5 2.5 1 2 100"},
        {"01.12.05;1000;1;2;1;2;1", "01.12.05 1000 | 1899-12-30 00:00 | 1 2 1 2 1"},
        {"01.12.05;10:00;;2;1;2;100", "'' is not a valid floating point value"},
        {"01.12.05;10:00;1;2;1;12.5;1", "'12.5' is not a valid floating point value"}};
    for (const auto &[line, parsed] : cases)
        EXPECT_EQ(Parsed(line), parsed) << line;
    TFPoint p;
    EXPECT_NE(test::ErrorOf<ConvertError>([&] { p.ParseLine("01.12.05;10:00;;2;1;2;100"); }), "");
    EXPECT_EQ(p.DateText, "01.12.05 10:00"); // assigned before the failing field
    ASSERT_TRUE(p.ParseLine("01.12.05;10:00;1,5;2,5;1;2;100"));
    EXPECT_EQ(p.DateTime, 38687.416666666664);
}

TEST(DateTime, YearsAroundFiftyIncompleteTextsAndImpossibleDates)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"01.01.49", "00:00", "2049-01-01 00:00"}, {"01.01.50", "00:00", "1950-01-01 00:00"},
        {"29.02.00", "23:59", "2000-02-29 23:59"}, {"01.01.2005", "00:00", "3905-01-01 00:00"},
        {"1.1.50", "0:0", "1950-01-01 00:00"}, // the general path, besides the usual DD.MM.YY one
        // Parts that are not whole numbers count as 0: seconds make the minute part "30:15".
        {"01.12.05", "10:30:15", "2005-12-01 10:00"}, {"01.12.05", "1x:30", "2005-12-01 00:30"},
        {"01.12.05.7", "10:00", "2000-12-01 10:00"},
        // Incomplete texts give 0 without an error.
        {"01.12.05", "10:", "1899-12-30 00:00"}, {"01..05", "10:00", "1899-12-30 00:00"}};
    for (const auto &[date, time, when] : cases)
        EXPECT_EQ(When(ParseQuoteDateTime(date, time)), when) << date << ' ' << time;
    const std::string message = test::ErrorOf<ConvertError>([] { ParseQuoteDateTime("31.02.05", "10:00"); });
    EXPECT_NE(message.find("31.02.05"), std::string::npos) << message;
    EXPECT_NE(message.find("10:00"), std::string::npos) << message;
    for (auto [d, t] : std::vector<std::pair<const char *, const char *>>{
             {"00.12.05", "10:00"}, {"32.12.05", "10:00"}, {"01.13.05", "10:00"}, {"29.02.05", "10:00"},
             {"31.04.05", "10:00"}, {"01.12.05", "24:00"}, {"01.12.05", "10:60"}})
        EXPECT_NE(test::ErrorOf<ConvertError>([&] { ParseQuoteDateTime(d, t); }), "") << d << ' ' << t;
}

// ---------------------------------------------------------------------------------------
// Loading (line ends, short and empty lines and faulty lines: the pieces tests below)
// ---------------------------------------------------------------------------------------

TEST(Load, TheHeaderEmptyFilesAFaultyLineAndASecondLoad)
{
    TFList list;
    // The header holds a valid quote: it is still skipped.
    ASSERT_TRUE(list.LoadFromStream("01.12.05;10:00;1;2;1;7;1\n02.12.05;10:00;1;2;1;8;1\r"));
    EXPECT_EQ(Field(list, &TFPoint::Close), (std::vector<double>{8}));
    EXPECT_EQ(Of(list), (Wide{1, 1, 2, 2, 1, 1, 8, 8, 1, 0}));
    EXPECT_FALSE(list.Items(0)->PivotEnabled);
    for (const std::string &bytes : {std::string(), std::string("h\r\n\r\nx;y\r\n")}) {
        ASSERT_TRUE(list.LoadFromStream(bytes));
        EXPECT_EQ(list.Count(), 0);
        Wide start = kStartValues;
        start[9] = 0; // AvgChange: the sum 0 over no item
        EXPECT_EQ(Of(list), start);
    }

    list.SetLevelDepth(3);
    ASSERT_TRUE(list.LoadFromStream(test::ReadFile(test::DataPath("small.txt"))));
    const std::string faulty = test::ReadFile(test::DataPath("bad_number.txt"));
    EXPECT_EQ(test::ErrorOf<ConvertError>([&] { list.LoadFromStream(faulty); }),
              "'12.5' is not a valid floating point value");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Items(2) == nullptr && list.Items(-1) == nullptr); // none outside the list
    // No statistics: the list-wide fields hold their start values, nothing of small.txt.
    EXPECT_EQ(Of(list), kStartValues);
    EXPECT_FALSE(list.HasStatistics());
    // A second load replaces every figure; LevelDepth stays.
    ASSERT_TRUE(list.LoadFromStream(test::ReadFile(test::DataPath("small.txt"))));
    EXPECT_EQ(Of(list), (Wide{5.5, 5, 7, 6, 5, 4, 6.5, 5.5, 20, 0.5}));
    EXPECT_EQ(list.LevelDepth, 3);
}

// ---------------------------------------------------------------------------------------
// Statistics and levels
// ---------------------------------------------------------------------------------------

// Worked by hand; the random lists below follow the reference's steps.
TEST(Statistics, PivotsMa3AverageChangeAndTheWorkedLevels)
{
    TFList list;
    test::SetCloses(list, {10, 11, 12, 11, 10, 13});
    EXPECT_EQ(Field(list), (std::vector<double>{0, 0, 12, 0, 10, 13}));
    EXPECT_EQ(Field(list, &TFPoint::MA3), (std::vector<double>{10, 11, 11, 34.0 / 3, 11, 34.0 / 3}));
    EXPECT_DOUBLE_EQ(list.AvgChange, 7.0 / 6); // over Count, not Count - 1
    // Pivots 100, 120, 110 on the three newest items of a list of four.
    test::SetCloses(list, {105, 100, 120, 110});
    ASSERT_EQ(Field(list), (std::vector<double>{0, 100, 120, 110}));
    const TFPoint &p = *list.Items(3);
    EXPECT_DOUBLE_EQ(p.Retrace382, 113.82);
    EXPECT_DOUBLE_EQ(p.Retrace681, 116.81);
    EXPECT_DOUBLE_EQ(p.OP, 110);
    EXPECT_DOUBLE_EQ(p.COP, 106.18);
    EXPECT_DOUBLE_EQ(p.XOP, 116.18);
}

// ---------------------------------------------------------------------------------------
// Statistics and levels against a literal re-implementation of their steps
// ---------------------------------------------------------------------------------------

namespace ref {

bool Qualifies(const std::vector<TFPoint> &v, int k) { return v[k].Pivot != 0 && v[k].PivotEnabled; }

int ScanDown(const std::vector<TFPoint> &v, int k)
{
    while (k > 2 && !Qualifies(v, k))
        k = k - 1;
    return k;
}

void CalcLevels(std::vector<TFPoint> &v, int depth)
{
    if (static_cast<int>(v.size()) - 1 <= 2)
        return;
    for (int k1 = static_cast<int>(v.size()) - 1, remaining = depth;;) {
        k1 = ScanDown(v, k1);
        const int k2 = ScanDown(v, k1 - 1), k3 = ScanDown(v, k2 - 1);
        const double p1 = v[k1].Pivot, p2 = v[k2].Pivot, p3 = v[k3].Pivot;
        v[k1].Retrace382 = p1 - 0.382 * (p1 - p2);
        v[k1].Retrace681 = p1 - 0.681 * (p1 - p2);
        v[k1].OP = p3 + (p2 - p1);
        v[k1].COP = p3 + 0.618 * (p2 - p1);
        v[k1].XOP = p3 + 1.618 * (p2 - p1);
        k1 = k2 - 1;
        remaining = remaining - 1;
        if (remaining < 0 || !(k1 > 2))
            return;
    }
}

Wide Statistics(std::vector<TFPoint> &v, int depth)
{
    Wide w{0, 1e9, 0, 1e9, 0, 1e9, 0, 1e9, 0, 0}; // even places maximums, odd minimums
    double sum = 0, e = 0;
    bool rising = true;
    for (std::size_t i = 0; i < v.size(); ++i) {
        TFPoint &it = v[i];
        const double f[] = {it.Open,  it.Open,  it.High, it.High, it.Low,
                            it.Low,   it.Close, it.Close, it.Volume};
        for (std::size_t j = 0; j < 9; ++j)
            if (j % 2 == 0 ? f[j] > w[j] : f[j] < w[j])
                w[j] = f[j];
        if (i >= 1)
            sum += std::fabs(v[i - 1].Close - it.Close);
        it.MA3 = i >= 2 ? (v[i - 2].Close + v[i - 1].Close + it.Close) / 3 : it.Close;
        if (i == 0) {
            e = it.Close;
            continue;
        }
        it.PivotEnabled = true;
        const double c = it.Close;
        if (rising ? c > e : c < e) {
            e = c;
            it.Pivot = c;
            v[i - 1].Pivot = 0;
        } else if (rising ? c < e : c > e) {
            e = c;
            it.Pivot = c;
            rising = !rising;
        } else {
            it.Pivot = 0;
        }
    }
    CalcLevels(v, depth);
    w[9] = v.empty() ? 0 : sum / static_cast<double>(v.size());
    return w;
}

} // namespace ref

namespace {

std::array<double, 8> Levels(const TFPoint &p)
{
    return {p.MA3, p.Pivot, double(p.PivotEnabled), p.Retrace382, p.Retrace681, p.OP, p.COP, p.XOP};
}

void ExpectSame(const std::vector<TFPoint> &r, const Wide &w, const TFList &m)
{
    ASSERT_EQ(Of(m), w);
    ASSERT_EQ(m.Count(), static_cast<int>(r.size()));
    for (int i = 0; i < m.Count(); ++i)
        ASSERT_EQ(Levels(*m.Items(i)), Levels(r[i])) << "item " << i;
}

} // namespace

TEST(Statistics, RandomListsAgreeWithTheReference)
{
    std::mt19937 rng(424242);
    for (int trial = 0; trial < 3000 && !HasFailure(); ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const int style = static_cast<int>(rng() % 4);
        const auto price = [&]() -> double {
            switch (style) {
            case 0: return rng() % 4;                                          // many equal closes
            case 1: return (static_cast<int>(rng() % 2001) - 1000) / 100.0;    // negatives too
            case 2: return 1e9 + (rng() % 5) * 1e8;                            // at the sentinel
            default: return std::ldexp(static_cast<double>(rng()), -static_cast<int>(rng() % 40));
            }
        };
        std::vector<TFPoint> r(rng() % 40);
        TFList m;
        for (TFPoint &it : r) {
            it.Open = price(), it.High = price(), it.Low = price(), it.Close = price();
            it.Volume = static_cast<double>(rng() % 1000) - 100;
            m.AddNew() = it;
        }
        int depth = static_cast<int>(rng() % 6) - 1;
        m.SetLevelDepth(depth);
        m.Statistics();
        const Wide w = ref::Statistics(r, depth);
        ExpectSame(r, w, m);
        // The analysis window's use: switch pivots off and on, change the depth, recompute.
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < m.Count(); ++i)
                if (rng() % 3 == 0)
                    m.Items(i)->PivotEnabled = r[i].PivotEnabled = rng() % 2;
            depth = static_cast<int>(rng() % 8);
            m.SetLevelDepth(depth);
            m.CalcLevels();
            ref::CalcLevels(r, depth);
            ExpectSame(r, w, m);
        }
        m.Statistics(); // again over the same items
        ExpectSame(r, ref::Statistics(r, depth), m);
    }
}

// ---------------------------------------------------------------------------------------
// Loading in pieces on all cores
// ---------------------------------------------------------------------------------------

namespace {

// A quote file of random lines with every kind of line end. Quote lines carry their own
// line number as the volume, so the records show which lines were kept and in which
// order; faulty lines (a bad number or an impossible date) go where the caller says.
struct MadeFile
{
    std::string bytes;
    std::vector<double> keptVolumes; // the quotes a load keeps, in order
    long long faultyLine = -1;       // the first faulty line (the header is line 1)
    std::string faultyText;          // what that line's error names
};

MadeFile MakeFile(std::mt19937 &random, int lines, const std::vector<int> &faulty, bool endsWithLineEnd)
{
    static const char *const kEnds[] = {"\n", "\r", "\r\n"};
    MadeFile f;
    std::string lastEnd;
    // A CR, an empty line and an LF would read as one CR LF: an empty line after a CR
    // ends with CR or CR LF.
    auto end = [&](bool afterEmpty = false) {
        lastEnd = kEnds[afterEmpty && lastEnd == "\r" ? 1 + random() % 2 : random() % 3];
        return lastEnd;
    };
    f.bytes = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>" + end();
    for (int n = 2; n < lines + 2; ++n) {
        const std::string day = std::to_string(10 + static_cast<int>(random() % 18));
        std::string line;
        const bool isFaulty = std::find(faulty.begin(), faulty.end(), n) != faulty.end();
        if (isFaulty && random() % 2) {
            line = day + ".13.05;10:00;1;2;1;3;" + std::to_string(n);
            if (f.faultyLine < 0)
                f.faultyText = day + ".13.05 10:00";
        } else if (isFaulty) {
            line = day + ".12.05;10:00;1;2;1x;3;" + std::to_string(n);
            if (f.faultyLine < 0)
                f.faultyText = "'1x'";
        } else {
            switch (random() % 6) {
            case 0: line = ""; break;                              // empty: skipped
            case 1: line = day + ".12.05;10:00;1;2;3"; break;       // short: skipped
            case 2: line = day + ".12.05;11:30;1;2;1;4,5;" + std::to_string(n) + ";x;y"; break;
            default:
                line = day + ".12.05;10:" + std::to_string(10 + random() % 50) + ";"
                       + std::to_string(random() % 100) + ",25;7;0,5;" + std::to_string(random() % 1000)
                       + "," + std::to_string(random() % 10) + ";" + std::to_string(n);
            }
        }
        if (isFaulty && f.faultyLine < 0)
            f.faultyLine = n;
        const bool kept = !isFaulty && std::count(line.begin(), line.end(), ';') >= 6;
        if (kept && f.faultyLine < 0)
            f.keptVolumes.push_back(n);
        f.bytes += line;
        if (n < lines + 1 || endsWithLineEnd)
            f.bytes += end(line.empty());
    }
    return f;
}

// Loads bytes with the given split: the error's text and line ("" and 0 without one).
struct LoadOutcome
{
    std::string error;
    long long line = 0;
};
LoadOutcome LoadWith(TFList &list, const std::string &bytes, const TFList::LoadSplit &split)
{
    LoadOutcome out;
    try {
        EXPECT_TRUE(list.LoadFromStream(bytes, split));
    } catch (const QuoteLineError &e) {
        out.error = e.what();
        out.line = e.Line();
    }
    return out;
}

// Every field a load writes, and the list-wide figures, are the same in both lists.
void ExpectSameLists(const TFList &a, const TFList &b, const std::string &where)
{
    ASSERT_EQ(a.Count(), b.Count()) << where;
    EXPECT_EQ(Of(a), Of(b)) << where;
    for (int i = 0; i < a.Count(); ++i) {
        const TFPoint &p = *a.Items(i), &q = *b.Items(i);
        ASSERT_TRUE(p.DateText == q.DateText && p.DateTime == q.DateTime && p.Open == q.Open
                    && p.High == q.High && p.Low == q.Low && p.Close == q.Close
                    && p.Volume == q.Volume && p.MA3 == q.MA3 && p.Pivot == q.Pivot
                    && p.PivotEnabled == q.PivotEnabled && p.OP == q.OP)
            << where << ", item " << i;
    }
}

const TFList::LoadSplit kSerial{1 << 20, SIZE_MAX};

} // namespace

// Files with faulty lines at chosen places, read in pieces of every size from one byte
// up (so that a piece ends at every place of a line, between CR and LF included): the
// list, the error and its line are those of a reading on one thread, and both agree
// with what the file was made to hold.
TEST(ParallelLoad, PiecesOfEverySizeGiveTheSerialResult)
{
    std::mt19937 random(5);
    const std::vector<std::vector<int>> faultPlaces = {
        {}, {2}, {40}, {41, 42}, {90, 12}, {119, 120}, {121}, {3, 60, 61, 100}};
    for (std::size_t f = 0; f < faultPlaces.size(); ++f) {
        for (bool lastEnd : {true, false}) {
            const MadeFile file = MakeFile(random, 120, faultPlaces[f], lastEnd);
            TFList serial;
            const LoadOutcome expected = LoadWith(serial, file.bytes, kSerial);
            // The file as made: its first faulty line, the quotes before it.
            EXPECT_EQ(expected.line, file.faultyLine < 0 ? 0 : file.faultyLine);
            EXPECT_NE(expected.error.find(file.faultyText), std::string::npos) << expected.error;
            ASSERT_EQ(Field(serial, &TFPoint::Volume), file.keptVolumes);
            EXPECT_EQ(serial.HasStatistics(), file.faultyLine < 0);

            TFList parallel;
            for (std::size_t chunk = 1; chunk <= 120; chunk += (chunk < 64 ? 1 : 13)) {
                const std::string where = "faults " + std::to_string(f) + ", chunk " + std::to_string(chunk);
                const LoadOutcome got = LoadWith(parallel, file.bytes, {chunk, 0});
                EXPECT_EQ(got.error, expected.error) << where;
                EXPECT_EQ(got.line, expected.line) << where;
                ExpectSameLists(parallel, serial, where);
            }
        }
    }
}

// A file of more quotes than one block of records holds, read by default (on all cores):
// with a faulty line in the first block (the second block goes), then mended. Over the
// mended list the compact closes and the bounded sweep cross the block boundary; the
// closes follow an append, a swap and a clear.
TEST(ParallelLoad, TwoRecordBlocksByDefaultMatchTheSerialReading)
{
    constexpr int kBlock = 1 << 18;
    std::mt19937 random(8);
    const int lines = 2 * kBlock; // two thirds of the lines are quotes
    MadeFile file = MakeFile(random, lines, {kBlock}, true);
    TFList serial, list;
    const LoadOutcome expected = LoadWith(serial, file.bytes, kSerial);
    EXPECT_EQ(expected.line, kBlock);
    EXPECT_EQ(LoadWith(list, file.bytes, {}).line, expected.line);
    ExpectSameLists(list, serial, "faulty");
    // Items appended after the statistics: in the list, their closes taken on demand.
    list.AddNew().Close = -7;
    EXPECT_EQ(list.Items(serial.Count())->Close, -7.0);
    ASSERT_EQ(list.Closes().size(), serial.Count() + 1u);
    EXPECT_EQ(list.Closes().back(), -7.0);

    file = MakeFile(random, lines, {}, false);
    ASSERT_GT(file.keptVolumes.size(), kBlock + 1000u);
    LoadWith(serial, file.bytes, kSerial);
    EXPECT_EQ(LoadWith(list, file.bytes, {}).line, 0);
    ASSERT_EQ(Field(list, &TFPoint::Volume), file.keptVolumes);
    ExpectSameLists(list, serial, "whole");

    std::span<const double> closes = list.Closes();
    EXPECT_EQ(std::vector<double>(closes.begin(), closes.end()), Field(list, &TFPoint::Close));
    std::vector<double> seen;
    list.ForEachBetween(kBlock - 2, kBlock + 1, [&](const TFPoint &p, int) { seen.push_back(p.Volume); });
    EXPECT_EQ(seen, std::vector<double>(&file.keptVolumes[kBlock - 2], &file.keptVolumes[kBlock + 1]));
    seen.clear();
    list.ForEachBetween(list.Count() - 1, list.Count() + 900, [&](const TFPoint &p, int) { seen.push_back(p.Volume); });
    EXPECT_EQ(seen, std::vector<double>{file.keptVolumes.back()}); // stops at the list's end
    list.ForEachBetween(5, 5, [&](const TFPoint &, int) { ADD_FAILURE() << "empty range visited"; });

    TFList other;
    other.AddNew().Close = 3;
    other.Statistics();
    other.Swap(list);
    EXPECT_EQ(std::vector<double>(list.Closes().begin(), list.Closes().end()), std::vector<double>{3});
    EXPECT_EQ(other.Closes().size(), file.keptVolumes.size());
    other.Clear();
    EXPECT_TRUE(other.Closes().empty());
}

// A list of several pieces of 65 536 items, as the statistics split them between
// threads, where whole pieces leave some extreme at its start value (all prices
// negative, all at or above the sentinel) and equal closes meet at piece borders: the
// same figures and per-item values as one pass of the reference.
TEST(Statistics, LongListsInPiecesAgreeWithTheReference)
{
    std::mt19937 rng(77);
    constexpr int kPiece = 1 << 16;
    std::vector<TFPoint> r(3 * kPiece + 1234);
    TFList m;
    for (std::size_t i = 0; i < r.size(); ++i) {
        TFPoint &it = r[i];
        const int piece = static_cast<int>(i / kPiece);
        const double base = piece == 0 ? -50.0 : piece == 1 ? 2e9 : 7.0;
        const auto price = [&] { return piece == 2 ? base : base + static_cast<double>(rng() % 100) / 4; };
        it.Open = price(), it.High = price(), it.Low = price(), it.Close = price();
        it.Volume = piece == 0 ? -1.0 : static_cast<double>(rng() % 1000);
        m.AddNew() = it;
    }
    m.SetLevelDepth(5);
    m.Statistics();
    ExpectSame(r, ref::Statistics(r, 5), m);
    EXPECT_EQ(m.MaxVolume, 999.0);
    EXPECT_EQ(m.MinLow, -50.0);
}
