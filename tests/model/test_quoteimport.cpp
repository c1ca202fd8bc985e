// The import: one group per family of layouts, the date forms, ambiguous dates, the order
// of the lines, refusals, skipped lines, native files, the preview and its corrections.

#include "quoteimport.h"

#include "codec.h"
#include "document.h"
#include "quotedate.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <functional>
#include <tuple>
#include <string>
#include <vector>

using namespace korvala;

namespace {

// Date-times worked out by hand: 30.12.1899 is day 0, 01.01.2015 day 42005 (the common
// spreadsheet serial), 01.01.2020 day 43831.
constexpr double kJan5th2015 = 42009;
constexpr double kJan2nd2020 = 43832;

double Minutes(int h, int m) { return (h * 60 + m) / 1440.0; }

struct Row
{
    std::string DateText;
    double DateTime, Open, High, Low, Close, Volume;
};

void ExpectRow(const TFList &list, int i, const Row &want)
{
    const TFPoint *p = list.Items(i);
    ASSERT_NE(p, nullptr) << i;
    EXPECT_EQ(p->DateText, want.DateText) << i;
    EXPECT_DOUBLE_EQ(p->DateTime, want.DateTime) << i;
    EXPECT_EQ(p->Open, want.Open) << i;
    EXPECT_EQ(p->High, want.High) << i;
    EXPECT_EQ(p->Low, want.Low) << i;
    EXPECT_EQ(p->Close, want.Close) << i;
    EXPECT_EQ(p->Volume, want.Volume) << i;
}

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ImportError &e) {
        return e.what();
    }
    return "";
}

// UTF-8 text as UTF-16 with a byte-order mark, by glibc's converter.
std::string Utf16(std::string utf8, bool littleEndian)
{
    iconv_t cd = iconv_open(littleEndian ? "UTF-16LE" : "UTF-16BE", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char *src = utf8.data(), *dst = out.data();
    std::size_t srcLeft = utf8.size(), dstLeft = out.size();
    iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return (littleEndian ? "\xFF\xFE" : "\xFE\xFF") + out;
}

} // namespace

// The default export of a data site, and its relatives from a trading terminal.
TEST(ImportAngleBrackets, DataSiteAndTerminalExports)
{
    TFList list;
    const std::string site =
        "<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
        "SBER;1;20150105;000000;54.0300000;55.0000000;53.5000000;54.5000000;1000\r\n"
        "SBER;1;20150105;100030;54.5;55;53.5;54.6;1200\r\n"
        "\r\n"
        "SBER;1;20150105;100200;54.5;55;53.5\r\n";
    ImportResult r = ImportQuotes(site, list);
    EXPECT_EQ(r.Description(), "data-site export: ';', YYYYMMDD, HHMMSS, decimal point; 2 quotes; "
                               "2 lines skipped: 1 empty, 1 with 7 fields");
    ASSERT_EQ(list.Count(), 2);
    ExpectRow(list, 0, {"05.01.15 00:00", kJan5th2015, 54.03, 55, 53.5, 54.5, 1000});
    // Seconds stay in the date-time; the date text has the native form.
    ExpectRow(list, 1, {"05.01.15 10:00", kJan5th2015 + (10 * 3600 + 30) / 86400.0, 54.5, 55, 53.5, 54.6, 1200});
    ASSERT_EQ(r.firstSkipped.size(), 2u);
    EXPECT_EQ(r.firstSkipped[0].line, 4);
    EXPECT_EQ(r.firstSkipped[1].line, 5);
    EXPECT_EQ(r.SkippedLineTexts()[1], "line 5 (with 7 fields): SBER;1;20150105;100200;54.5;55;53.5");
    EXPECT_TRUE(list.HasStatistics());
    EXPECT_EQ(list.MaxClose, 54.6);

    // A terminal's history: tab, YYYY.MM.DD, seconds; VOL all 0, so the tick volume.
    const std::string terminal =
        "<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
        "2020.01.02\t10:00:00\t1.12\t1.13\t1.11\t1.125\t57\t0\t12\n"
        "2020.01.02\t10:01:00\t1.125\t1.13\t1.12\t1.121\t33\t0\t12\n";
    r = ImportQuotes(terminal, list);
    EXPECT_EQ(r.layout.family, "terminal export");
    EXPECT_TRUE(r.volumeFromTicks);
    EXPECT_NE(r.Description().find("YYYY.MM.DD, HH:MM:SS"), std::string::npos) << r.Description();
    ExpectRow(list, 1, {"02.01.20 10:01", kJan2nd2020 + Minutes(10, 1), 1.125, 1.13, 1.12, 1.121, 33});
    // One real volume: the volumes stay as they are.
    std::string traded = terminal;
    traded.replace(traded.find("\t0\t12\n"), 6, "\t5\t12\n");
    ImportQuotes(traded, list);
    EXPECT_EQ(list.Items(0)->Volume, 5);
    EXPECT_EQ(list.Items(1)->Volume, 0);

    // Tick files: the last price stands for all four; lower case, comma decimals.
    r = ImportQuotes("<ticker>,<per>,<date>,<time>,<last>,<vol>\nGAZP,0,20200102,100000,\"250,5\",10\n"
               "GAZP,0,20200102,100001,\"251\",3\n",
               list);
    EXPECT_TRUE(r.layout.tick);
    EXPECT_TRUE(r.layout.quoted);
    ExpectRow(list, 0, {"02.01.20 10:00", kJan2nd2020 + Minutes(10, 0), 250.5, 250.5, 250.5, 250.5, 10});
    EXPECT_EQ(list.Items(1)->High, 251);
}

// Spreadsheet and site exports that name their columns in words, in any case and with
// extra columns.
TEST(ImportWordHeaders, EnglishAndRussianNamesAnyCaseExtraColumns)
{
    TFList list;
    // Newest first, an Adj Close column, a row of nulls.
    ImportResult r = ImportQuotes("Date,Open,High,Low,Close,Adj Close,Volume\n"
                            "2020-01-03,10.5,11,10,10.8,10.7,1000\n"
                            "2020-01-02,10,10.6,9.9,10.5,10.4,900\n"
                            "2020-01-01,null,null,null,null,null,null\n",
                            list);
    EXPECT_EQ(r.Description(), "export with column names: ',', YYYY-MM-DD, no time, decimal point; "
                               "2 quotes; reversed to oldest first; 1 line skipped: 1 with a bad number");
    EXPECT_TRUE(r.reversed);
    ExpectRow(list, 0, {"02.01.20 00:00", kJan2nd2020, 10, 10.6, 9.9, 10.5, 900});
    ExpectRow(list, 1, {"03.01.20 00:00", kJan2nd2020 + 1, 10.5, 11, 10, 10.8, 1000});
    EXPECT_EQ(list.Items(1)->Pivot, 10.8); // the statistics ran over the reversed list

    // Date and time in one field, fractions of a second; the volume a decimal.
    r = ImportQuotes("Gmt time,Open,High,Low,Close,Volume\r\n"
               "02.01.2020 00:00:00.000,1.05,1.06,1.04,1.055,123.45\r\n"
               "02.01.2020 00:01:30.500,1.055,1.06,1.04,1.05,0\r\n",
               list);
    EXPECT_EQ(r.layout.DateForm(), "DD.MM.YYYY HH:MM:SS.fff");
    ExpectRow(list, 1, {"02.01.20 00:01", kJan2nd2020 + 90.5 / 86400, 1.055, 1.06, 1.04, 1.05, 0});
    EXPECT_EQ(list.Items(0)->Volume, 123.45);

    // No volume for an index: an empty field is 0, an empty price is no quote.
    r = ImportQuotes("Date,Open,High,Low,Close,Volume\n2020-01-02,1,2,0.5,1.5,\n2020-01-03,1,2,0.5,,7\n"
               "2020-01-06,1,2,0.5,1.25, \n", list);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(r.skipped[static_cast<int>(SkipReason::Number)], 1);
    ExpectRow(list, 1, {"06.01.20 00:00", kJan2nd2020 + 4, 1, 2, 0.5, 1.25, 0});

    r = ImportQuotes("TIMESTAMP;PRICE;VOLUME\n2020-01-02T10:00:00Z;5;7\n2020-01-02 10:00:01;6;8\n", list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(r.layout.tick);
    EXPECT_EQ(list.Items(1)->DateTime, kJan2nd2020 + 36001 / 86400.0);

    // Russian names in each encoding a spreadsheet may save; "Объём" with ё, upper case.
    const std::string russian = "ДАТА;Время;Открытие;Максимум;Минимум;Закрытие;Объём;Комментарий\r\n"
                                "05.01.2015;10:00;1,5;2;1;1,7;100;первый\r\n"
                                "05.01.2015;10:01;1,7;2;1;1,6;50;второй\r\n";
    const std::string cp1251 = Utf8ToCp1251(russian);
    const struct
    {
        std::string bytes, encoding;
    } files[] = {
        {cp1251, "cp1251"},
        {russian, "UTF-8"},
        {"\xEF\xBB\xBF" + russian, "UTF-8 with BOM"},
        {Utf16(russian, true), "UTF-16 LE with BOM"},
        {Utf16(russian, false), "UTF-16 BE with BOM"},
    };
    for (const auto &f : files) {
        r = ImportQuotes(f.bytes, list);
        EXPECT_EQ(r.Description(), "export with Russian column names: ';', DD.MM.YYYY, HH:MM, decimal comma, "
                                       + f.encoding + "; 2 quotes")
            << f.encoding;
        ASSERT_EQ(list.Count(), 2) << f.encoding;
        ExpectRow(list, 1, {"05.01.15 10:01", kJan5th2015 + Minutes(10, 1), 1.7, 2, 1, 1.6, 50});
    }
    // Line ends: CR alone, LF alone, mixed.
    for (const char *eol : {"\r", "\n"}) {
        std::string text = cp1251;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.replace(at, 2, eol), ++at;
        ImportQuotes(text, list);
        EXPECT_EQ(list.Count(), 2);
    }
}

// Files whose first line is already a quote: the columns follow from what they hold.
TEST(ImportWithoutHeader, ColumnsFromTheFirstLine)
{
    TFList list;
    ImportResult r = ImportQuotes("2017.01.02,00:00,1.05170,1.05200,1.05100,1.05150,123\n"
                            "2017.01.02,00:01,1.05150,1.05300,1.05100,1.05250,99\n",
                            list);
    EXPECT_EQ(r.Description(), "export without column names: ',', YYYY.MM.DD, HH:MM, decimal point; 2 quotes");
    EXPECT_EQ(list.Count(), 2); // nothing is lost to a header
    EXPECT_FALSE(r.Uncertain());
    EXPECT_EQ(list.Items(1)->Close, 1.0525);

    // Ticker and period columns before the date are ignored; HHMMSS.
    ImportQuotes("SBER,1,20150105,100000,54.03,55,53.5,54.5,1000\n", list);
    ExpectRow(list, 0, {"05.01.15 10:00", kJan5th2015 + Minutes(10, 0), 54.03, 55, 53.5, 54.5, 1000});

    // Daily data without a time column, tab separated, comma decimals.
    r = ImportQuotes("05.01.2015\t1,5\t2\t1\t1,7\t100\n06.01.2015\t1,7\t2\t1\t1,6\t50\n", list);
    EXPECT_EQ(r.layout.TimeForm(), "");
    EXPECT_NE(r.Description().find("DD.MM.YYYY, no time, decimal comma"), std::string::npos);
    ExpectRow(list, 1, {"06.01.15 00:00", kJan5th2015 + 1, 1.7, 2, 1, 1.6, 50});

    // Four prices and no volume: a guess worth a look.
    r = ImportQuotes("2020-01-02;1;2;0,5;1,5\n", list);
    EXPECT_TRUE(r.Uncertain());
    ExpectRow(list, 0, {"02.01.20 00:00", kJan2nd2020, 1, 2, 0.5, 1.5, 0});
}

// Every date form, each with the same day, and every time form.
TEST(ImportForms, DatesAndTimes)
{
    const struct
    {
        std::string date, form;
    } dates[] = {
        {"05.01.15", "DD.MM.YY"},   {"05.01.2015", "DD.MM.YYYY"}, {"20150105", "YYYYMMDD"},
        {"150105", "YYMMDD"},       {"2015-01-05", "YYYY-MM-DD"}, {"2015.01.05", "YYYY.MM.DD"},
        {"05/01/2015", "DD/MM/YYYY"}, {"01/05/2015", "MM/DD/YYYY"}, {"01/05/15", "MM/DD/YY"},
        {"05-01-2015", "DD-MM-YYYY"},
    };
    // A second day that tells the readings apart (there is no month 13): the 13th.
    const auto nextDay = [](std::string d) { return d.replace(d.find("05"), 2, "13"); };
    TFList list;
    for (const auto &d : dates) {
        const std::string file = "Date;Time;Open;High;Low;Close;Vol\n" + d.date + ";10:00;1;1;1;1;1\n"
                                 + nextDay(d.date) + ";10:00;1;1;1;2;1\n";
        const ImportResult r = ImportQuotes(file, list);
        EXPECT_EQ(r.layout.DateForm(), d.form) << d.date;
        ASSERT_EQ(list.Count(), 2) << d.date;
        EXPECT_EQ(list.Items(0)->DateTime, kJan5th2015 + Minutes(10, 0)) << d.date;
        EXPECT_EQ(list.Items(1)->DateTime, kJan5th2015 + 8 + Minutes(10, 0)) << d.date;
    }
    // DDMMYY needs a day that YYMMDD cannot read.
    ImportQuotes("<DATE>;<OPEN>;<HIGH>;<LOW>;<CLOSE>\n310115;1;1;1;1\n010215;1;1;1;1\n", list);
    EXPECT_EQ(list.Items(0)->DateText, "31.01.15 00:00");

    const struct
    {
        std::string time, form;
        double fraction;
    } times[] = {
        {"9:30", "HH:MM", Minutes(9, 30)},         {"09:30:15", "HH:MM:SS", (9 * 3600 + 30 * 60 + 15) / 86400.0},
        {"093015", "HHMMSS", (9 * 3600 + 30 * 60 + 15) / 86400.0}, {"93015", "HHMMSS", (9 * 3600 + 30 * 60 + 15) / 86400.0},
        {"0930", "HHMM", Minutes(9, 30)},          {"0", "0", 0},
    };
    for (const auto &t : times) {
        const ImportResult r = ImportQuotes("<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>\n20150105;" + t.time + ";1;1;1;1\n", list);
        EXPECT_EQ(r.layout.TimeForm(), t.form) << t.time;
        ASSERT_EQ(list.Count(), 1);
        EXPECT_DOUBLE_EQ(list.Items(0)->DateTime, kJan5th2015 + t.fraction) << t.time;
    }
    // Impossible dates and times are skipped lines, not quotes.
    const ImportResult r = ImportQuotes("<DATE>;<TIME>;<CLOSE>\n20150105;1000;1\n20150230;1000;1\n20150105;2460;1\n"
                                  "20150105;1001;1\n20150105;1002;1\n", list);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(r.skipped[static_cast<int>(SkipReason::Date)], 1);
    EXPECT_EQ(r.skipped[static_cast<int>(SkipReason::Time)], 1);
}

// A date form that two readings fit: the reading under which every date is valid and the
// dates run in order wins, and the description says which.
TEST(ImportAmbiguousDates, TheReadingThatKeepsEveryDateValidAndInOrder)
{
    TFList list;
    // 030417 …: both readings valid and in order. YYMMDD is preferred; the guess is
    // uncertain and said to be.
    ImportResult r = ImportQuotes("<DATE>;<CLOSE>\n030417;1\n040417;2\n050417;3\n", list);
    EXPECT_EQ(r.layout.DateForm(), "YYMMDD");
    EXPECT_TRUE(r.Uncertain());
    EXPECT_NE(r.Description().find("dates read as YYMMDD, but DDMMYY would do as well"), std::string::npos)
        << r.Description();
    EXPECT_EQ(list.Items(0)->DateText, "17.04.03 00:00");

    // 300417, 010517, 020517: as YYMMDD 2030, 2001, 2002 (out of order); as DDMMYY three
    // days in a row.
    r = ImportQuotes("<DATE>;<CLOSE>\n300417;1\n010517;2\n020517;3\n", list);
    EXPECT_EQ(r.layout.DateForm(), "DDMMYY");
    EXPECT_TRUE(r.dateOrderDecided);
    EXPECT_FALSE(r.Uncertain());
    EXPECT_EQ(list.Items(0)->DateText, "30.04.17 00:00");
    EXPECT_NE(r.Description().find("the only reading under which they are valid and in order"), std::string::npos);

    // 04/05/2020: month first is the guess for slashes…
    r = ImportQuotes("Date,Close\n04/05/2020,1\n04/06/2020,2\n", list);
    EXPECT_EQ(r.layout.DateForm(), "MM/DD/YYYY");
    EXPECT_TRUE(r.Uncertain());
    EXPECT_EQ(list.Items(0)->DateText, "05.04.20 00:00");
    // …but a day 13 anywhere in the file settles it, even past the first lines read for
    // recognising the layout.
    std::string file = "Date,Time,Close\n";
    for (int day = 1; day <= 13; ++day)
        for (int minute = 0; minute < 30; ++minute)
            file += (day < 10 ? "0" : "") + std::to_string(day) + "/02/2020,10:" + (minute < 10 ? "0" : "")
                    + std::to_string(minute) + ",1\n";
    r = ImportQuotes(file, list);
    EXPECT_EQ(r.layout.DateForm(), "DD/MM/YYYY");
    EXPECT_TRUE(r.dateOrderDecided);
    EXPECT_EQ(list.Count(), 13 * 30);
    EXPECT_EQ(list.Items(0)->DateText, "01.02.20 10:00");
    EXPECT_EQ(list.Items(list.Count() - 1)->DateText, "13.02.20 10:29");

    // The user's choice overrides the guess.
    ImportOptions dayFirst;
    dayFirst.dateOrder = DateOrder::DayMonthYear;
    r = ImportQuotes("Date,Close\n04/05/2020,1\n04/06/2020,2\n", list, dayFirst);
    EXPECT_EQ(list.Items(0)->DateText, "04.05.20 00:00");
    EXPECT_FALSE(r.Uncertain());
}

TEST(ImportOrder, NewestFirstReversedOutOfOrderKept)
{
    TFList list;
    ImportResult r = ImportQuotes("<DATE>;<TIME>;<CLOSE>\n20200102;1002;3\n20200102;1001;2\n20200102;1000;1\n", list);
    EXPECT_TRUE(r.reversed);
    EXPECT_EQ(list.Items(0)->Close, 1);
    EXPECT_EQ(list.Items(2)->Close, 3);
    EXPECT_EQ(list.Items(2)->DateText, "02.01.20 10:02");

    r = ImportQuotes("<DATE>;<TIME>;<CLOSE>\n20200102;1000;1\n20200102;1002;3\n20200102;1001;2\n20200102;1003;4\n", list);
    EXPECT_FALSE(r.reversed);
    EXPECT_EQ(r.outOfOrderLine, 4);
    EXPECT_NE(r.Description().find("out of order from line 4, kept as it is"), std::string::npos);
    EXPECT_EQ(list.Items(1)->Close, 3);
    // Equal date-times are in order.
    r = ImportQuotes("<DATE>;<CLOSE>\n20200102;1\n20200102;2\n", list);
    EXPECT_FALSE(r.reversed);
    EXPECT_EQ(r.outOfOrderLine, 0);
}

// What cannot be quotes is refused with what was expected and the first line, and the
// list stays empty.
TEST(ImportRefusal, GarbageSaysWhatWasExpected)
{
    TFList list;
    list.AddNew().Close = 1;
    const struct
    {
        std::string bytes, says;
    } cases[] = {
        {"hello world\nthis is a letter, not quotes\n", "the first line reads \"hello world\""},
        {"", "the file holds no text"},
        {"\n\n  \n", "the file holds no text"},
        {std::string("\x01\x02\xFF\xFE\x00\x13", 6), "Not a quote file"},
        {"<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n", "The file holds a header but no quotes"},
        {"Ticker;Open;Close\nAAA;1;2\n", "The header names no date column"},
        {"<DATE>;<TIME>;<CLOSE>\nyesterday;noon;cheap\n", "the first line reads \"<DATE>;<TIME>;<CLOSE>\""},
        {"Дата;Цена\nвчера;дешево\n", "\"Дата;Цена\""},
    };
    for (const auto &c : cases) {
        const std::string error = ErrorOf([&] { ImportQuotes(c.bytes, list); });
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(list.Count(), 0);
        EXPECT_FALSE(list.HasStatistics());
    }
    EXPECT_NE(ErrorOf([&] { ImportQuotes("hello\n", list); }).find("expected a header naming the columns"),
              std::string::npos);
    // A text that holds one quote among many other lines is no quote file.
    EXPECT_NE(ErrorOf([&] { ImportQuotes("Dear all,\nthe price on 2020-01-02 was 1, 2, 3, 4\nRegards\nMe\n", list); }),
              "");
}

TEST(ImportSkippedLines, CountedByReasonFirstFewNamed)
{
    std::string file = "sep=;\r\nExported by a spreadsheet\r\n<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
    for (int i = 0; i < 20; ++i)
        file += "20200102;1000;1;2;0,5;1,5;10\r\n";
    file += ";;;;;;\r\n<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n20200102;1000;1;2;x;1,5;10\r\n"
            "20200102;1000;1;2\r\n20200102;1000;1\r\n";
    TFList list;
    const ImportResult r = ImportQuotes(file, list);
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(r.SkippedCount(), 6);
    EXPECT_NE(r.Description().find("; 6 lines skipped: 1 empty, 1 with 3 fields, 1 with 4 fields, "
                                   "1 repeating the header, 1 before the table, 1 with a bad number"),
              std::string::npos)
        << r.Description();
    const std::vector<std::string> named = r.SkippedLineTexts();
    ASSERT_EQ(named.size(), 5u);
    EXPECT_EQ(named[0], "line 2 (before the table): Exported by a spreadsheet");
    EXPECT_EQ(named[1], "line 24 (empty): ;;;;;;");
    EXPECT_EQ(named[2], "line 25 (repeating the header): <DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>");
    EXPECT_EQ(named[3], "line 26 (with a bad number): 20200102;1000;1;2;x;1,5;10");

    // A faulty line far into a large file is named with its number.
    std::string big = "<DATE>;<TIME>;<CLOSE>\n";
    for (int i = 0; i < 200000; ++i)
        big += i == 150000 ? "20200102;1000;1.5.5\n" : "20200102;1000;1.5\n";
    const ImportResult b = ImportQuotes(big, list);
    ASSERT_EQ(b.firstSkipped.size(), 1u);
    EXPECT_EQ(b.firstSkipped[0].line, 150002);
    EXPECT_EQ(list.Count(), 199999);
}

// A native file in time order gives the very same quotes through the import.
TEST(ImportNativeFiles, SameQuotesAsTheNativeOpen)
{
    for (const std::string &path : {std::string(KORVALA_EXAMPLES_DIR) + "/daily.txt",
                                   std::string(KORVALA_EXAMPLES_DIR) + "/intraday.txt",
                                   std::string(KORVALA_TEST_DATA_DIR) + "/pf_example.txt"}) {
        const std::string bytes = ReadWholeFile(path);
        TFList native, imported;
        native.LoadFromStream(bytes);
        const ImportResult r = ImportQuotes(bytes, imported);
        EXPECT_EQ(r.SkippedCount(), 0) << path;
        EXPECT_EQ(r.layout.DateForm(), "DD.MM.YY");
        EXPECT_TRUE(IsNativeQuoteFile(bytes)) << path;
        ASSERT_EQ(imported.Count(), native.Count()) << path;
        for (int i = 0; i < native.Count(); ++i) {
            const TFPoint &a = *native.Items(i), &b = *imported.Items(i);
            ASSERT_EQ(std::make_tuple(a.DateText, a.DateTime, a.Open, a.High, a.Low, a.Close, a.Volume, a.MA3, a.Pivot),
                      std::make_tuple(b.DateText, b.DateTime, b.Open, b.High, b.Low, b.Close, b.Volume, b.MA3, b.Pivot))
                << path << " quote " << i;
        }
        EXPECT_EQ(std::make_tuple(native.AvgChange, native.MinLow, native.MaxHigh, native.MaxVolume),
                  std::make_tuple(imported.AvgChange, imported.MinLow, imported.MaxHigh, imported.MaxVolume));
    }
    // Files the native open would misread, or that need the import, are not native.
    for (const char *bytes : {"<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\n05.01.2015;10:00;1;1;1;1;1\n",
                              "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\n06.01.15;10:00;1;1;1;1;1\n"
                              "05.01.15;10:00;1;1;1;1;1\n",
                              "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\n05.01.15;10:00;1.5;1;1;1;1\n",
                              "05.01.15;10:00;1;1;1;1;1\n05.01.15;10:01;1;1;1;1;1\n",
                              "Date,Open,High,Low,Close,Volume\n2020-01-02,1,1,1,1,1\n"})
        EXPECT_FALSE(IsNativeQuoteFile(bytes)) << bytes;
}

// The preview: the rows as they will be read, and the user's corrections.
TEST(ImportPreviewAndOverrides, RowsAsTheyWillBeRead)
{
    const std::string file = "01/02/2020;10:00;1,5;2;1;1,25;7\n02/02/2020;10:00;x;2;1;1;7\n";
    ImportPreview p = PreviewImport(file);
    EXPECT_EQ(p.layout.separator, ';');
    EXPECT_EQ(p.layout.decimalMark, ',');
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_TRUE(p.rows[0].read);
    EXPECT_EQ(p.rows[0].DateText, "02.01.20 10:00");
    EXPECT_EQ(p.rows[0].Close, 1.25);
    EXPECT_FALSE(p.rows[1].read);
    EXPECT_EQ(p.rows[1].reason, SkipReason::Number);
    EXPECT_EQ(p.rows[1].line, 2);

    ImportOptions o;
    o.dateOrder = DateOrder::DayMonthYear;
    p = PreviewImport(file, o);
    EXPECT_EQ(p.rows[0].DateText, "01.02.20 10:00");
    // A comma as the decimal mark of a comma-separated file is impossible without quotes;
    // as the separator of this file it finds no layout.
    o = {};
    o.separator = ',';
    EXPECT_THROW(PreviewImport(file, o), ImportError);
    o = {};
    o.decimalMark = '.';
    p = PreviewImport("Date;Close\n2020-01-02;1,5\n2020-01-03;2\n", o);
    EXPECT_FALSE(p.rows[0].read); // "1,5" is no number with a decimal point
    EXPECT_TRUE(p.rows[1].read);
    // The same corrections apply to the import itself.
    TFList list;
    o = {};
    o.separator = ';';
    o.decimalMark = ',';
    o.dateOrder = DateOrder::DayMonthYear;
    ImportQuotes(file, list, o);
    EXPECT_EQ(list.Items(0)->DateText, "01.02.20 10:00");
}
