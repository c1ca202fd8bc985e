// The import: the layouts it recognises, each as its description and its last quote; the
// encodings, the date forms, ambiguous dates, refusals, skipped lines, native files, the
// preview and its corrections.

#include "quoteimport.h"

#include "codec.h"
#include "document.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <tuple>
#include <string>
#include <vector>

using namespace korvala;

namespace {

// A date-time, days since 30.12.1899, by the standard library's calendar.
double Day(int y, unsigned m, unsigned d)
{
    using namespace std::chrono;
    return (sys_days{year{y} / month{m} / day{d}} - sys_days{year{1899} / December / day{30}}).count();
}
double Time(int h, int m, double s = 0) { return (h * 3600 + m * 60 + s) / 86400; }

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
    EXPECT_EQ(std::make_tuple(p->Open, p->High, p->Low, p->Close, p->Volume),
              std::make_tuple(want.Open, want.High, want.Low, want.Close, want.Volume)) << i;
}

} // namespace

// Per layout: what the description says was recognised (the family, the separator, the
// date and time forms, the decimal mark, what was done to the lines) and the last quote.
TEST(ImportLayouts, DescriptionAndLastQuote)
{
    const struct
    {
        std::string bytes, description;
        Row last;
        bool uncertain = false;
    } cases[] = {
        // A data site's default export: seconds stay in the date-time, the date text has the
        // native form; skipped lines are counted by reason.
        {"<TICKER>;<PER>;<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
         "SBER;1;20150105;000000;54.0300000;55.0000000;53.5000000;54.5000000;1000\r\n"
         "SBER;1;20150105;100030;54.5;55;53.5;54.6;1200\r\n\r\nSBER;1;20150105;100200;54.5;55;53.5\r\n",
         "data-site export: ';', YYYYMMDD, HHMMSS, decimal point; 2 quotes; 2 lines skipped: 1 empty, "
         "1 with 7 fields",
         {"05.01.15 10:00", Day(2015, 1, 5) + Time(10, 0, 30), 54.5, 55, 53.5, 54.6, 1200}},
        // A terminal's history, its VOL all 0: the tick volume.
        {"<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
         "2020.01.02\t10:00:00\t1.12\t1.13\t1.11\t1.125\t57\t0\t12\n"
         "2020.01.02\t10:01:00\t1.125\t1.13\t1.12\t1.121\t33\t0\t12\n",
         "terminal export: tab, YYYY.MM.DD, HH:MM:SS, decimal point; 2 quotes; every volume 0: tick volume used",
         {"02.01.20 10:01", Day(2020, 1, 2) + Time(10, 1), 1.125, 1.13, 1.12, 1.121, 33}},
        // Ticks: the last price stands for all four; lower case, quoted comma decimals.
        {"<ticker>,<per>,<date>,<time>,<last>,<vol>\nGAZP,0,20200102,100000,\"250,5\",10\n"
         "GAZP,0,20200102,100001,\"251\",3\n",
         "data-site export: ',', YYYYMMDD, HHMMSS, decimal comma, quoted fields; 2 quotes; last prices only: "
         "open = high = low = close",
         {"02.01.20 10:00", Day(2020, 1, 2) + Time(10, 0, 1), 251, 251, 251, 251, 3}},
        // Column names in words: newest first, an Adj Close column, a row of nulls.
        {"Date,Open,High,Low,Close,Adj Close,Volume\n2020-01-03,10.5,11,10,10.8,10.7,1000\n"
         "2020-01-02,10,10.6,9.9,10.5,10.4,900\n2020-01-01,null,null,null,null,null,null\n",
         "export with column names: ',', YYYY-MM-DD, no time, decimal point; 2 quotes; reversed to oldest "
         "first; 1 line skipped: 1 with a bad number",
         {"03.01.20 00:00", Day(2020, 1, 3), 10.5, 11, 10, 10.8, 1000}},
        // Date and time in one field, fractions of a second; the volume a decimal.
        {"Gmt time,Open,High,Low,Close,Volume\r\n02.01.2020 00:00:00.000,1.05,1.06,1.04,1.055,0\r\n"
         "02.01.2020 00:01:30.500,1.055,1.06,1.04,1.05,123.45\r\n",
         "export with column names: ',', DD.MM.YYYY HH:MM:SS.fff, decimal point; 2 quotes",
         {"02.01.20 00:01", Day(2020, 1, 2) + Time(0, 1, 30.5), 1.055, 1.06, 1.04, 1.05, 123.45}},
        // No volume for an index: an empty field is 0, an empty price is no quote.
        {"Date,Open,High,Low,Close,Volume\n2020-01-02,1,2,0.5,1.5,\n2020-01-03,1,2,0.5,,7\n"
         "2020-01-06,1,2,0.5,1.25, \n",
         "export with column names: ',', YYYY-MM-DD, no time, decimal point; 2 quotes; 1 line skipped: "
         "1 with a bad number",
         {"06.01.20 00:00", Day(2020, 1, 6), 1, 2, 0.5, 1.25, 0}},
        {"TIMESTAMP;PRICE;VOLUME\n2020-01-02T10:00:00Z;5;7\n2020-01-02 10:00:01;6;8\n",
         "export with column names: ';', YYYY-MM-DD HH:MM:SS, whole numbers; 2 quotes; last prices only: "
         "open = high = low = close",
         {"02.01.20 10:00", Day(2020, 1, 2) + Time(10, 0, 1), 6, 6, 6, 6, 8}},
        // No header: the columns follow from the first quote, nothing is lost to a header;
        // a ticker and a period before the date are ignored.
        {"2015.01.05,00:00,1.05170,1.05200,1.05100,1.05150,123\n2015.01.05,00:01,1.05150,1.05300,1.05100,1.05250,99\n",
         "export without column names: ',', YYYY.MM.DD, HH:MM, decimal point; 2 quotes",
         {"05.01.15 00:01", Day(2015, 1, 5) + Time(0, 1), 1.0515, 1.053, 1.051, 1.0525, 99}},
        {"SBER,1,20150105,100000,54.03,55,53.5,54.5,1000\n",
         "export without column names: ',', YYYYMMDD, HHMMSS, decimal point; 1 quote",
         {"05.01.15 10:00", Day(2015, 1, 5) + Time(10, 0), 54.03, 55, 53.5, 54.5, 1000}},
        {"05.01.2015\t1,5\t2\t1\t1,7\t100\n06.01.2015\t1,7\t2\t1\t1,6\t50\n",
         "export without column names: tab, DD.MM.YYYY, no time, decimal comma; 2 quotes",
         {"06.01.15 00:00", Day(2015, 1, 6), 1.7, 2, 1, 1.6, 50}},
        // Four prices and no volume: a guess worth a look.
        {"2020-01-02;1;2;0,5;1,5\n", "export without column names: ';', YYYY-MM-DD, no time, decimal comma; 1 quote",
         {"02.01.20 00:00", Day(2020, 1, 2), 1, 2, 0.5, 1.5, 0}, true},
        // Dates two readings fit: the one under which every date is valid and they run in
        // order wins; when both do, the preferred one, and the guess is said to be one.
        {"<DATE>;<CLOSE>\n030417;1\n040417;2\n050417;3\n",
         "data-site export: ';', YYMMDD, no time, whole numbers; 3 quotes; dates read as YYMMDD, but DDMMYY "
         "would do as well",
         {"17.04.05 00:00", Day(2005, 4, 17), 3, 3, 3, 3, 0}, true},
        // As YYMMDD 2030, 2001, 2002 (out of order); as DDMMYY three days in a row.
        {"<DATE>;<CLOSE>\n300417;1\n010517;2\n020517;3\n",
         "data-site export: ';', DDMMYY, no time, whole numbers; 3 quotes; dates read as DDMMYY, the only "
         "reading under which they are valid and in order",
         {"02.05.17 00:00", Day(2017, 5, 2), 3, 3, 3, 3, 0}},
        // Month first is the guess for slashes.
        {"Date,Close\n04/05/2020,1\n04/06/2020,2\n",
         "export with column names: ',', MM/DD/YYYY, no time, whole numbers; 2 quotes; dates read as "
         "MM/DD/YYYY, but DD/MM/YYYY would do as well",
         {"06.04.20 00:00", Day(2020, 4, 6), 2, 2, 2, 2, 0}, true},
        // Newest first is reversed, out of order is kept, equal date-times are in order.
        {"<DATE>;<TIME>;<CLOSE>\n20200102;1002;3\n20200102;1001;2\n20200102;1000;1\n",
         "data-site export: ';', YYYYMMDD, HHMM, whole numbers; 3 quotes; reversed to oldest first",
         {"02.01.20 10:02", Day(2020, 1, 2) + Time(10, 2), 3, 3, 3, 3, 0}},
        {"<DATE>;<TIME>;<CLOSE>\n20200102;1000;1\n20200102;1000;1\n20200102;1002;3\n20200102;1001;2\n"
         "20200102;1003;4\n",
         "data-site export: ';', YYYYMMDD, HHMM, whole numbers; 5 quotes; out of order from line 5, kept as it is",
         {"02.01.20 10:03", Day(2020, 1, 2) + Time(10, 3), 4, 4, 4, 4, 0}},
    };
    TFList list;
    for (const auto &c : cases) {
        const ImportResult r = ImportQuotes(c.bytes, list);
        EXPECT_EQ(r.Description(), c.description);
        EXPECT_EQ(r.Uncertain(), c.uncertain) << c.description;
        ExpectRow(list, list.Count() - 1, c.last);
        EXPECT_TRUE(list.HasStatistics());
    }
}

TEST(ImportValues, VolumesPivotsAndADateOrderThatOnlyTheWholeFileDecides)
{
    // One real volume among zeros: the volumes stay as they are.
    TFList list;
    ImportQuotes("<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\n"
                 "2020.01.02\t10:00:00\t1\t1\t1\t1\t57\t5\n2020.01.02\t10:01:00\t1\t1\t1\t2\t33\t0\n",
                 list);
    EXPECT_EQ(list.Items(0)->Volume + list.Items(1)->Volume, 5);
    // The statistics run over the list reversed to oldest first.
    ImportQuotes("Date,Close\n2020-01-03,10.8\n2020-01-02,10.5\n", list);
    EXPECT_EQ(list.Items(1)->Pivot, 10.8);
    // A day 13 far past the first lines, read for recognising the layout, settles slashes.
    std::string file = "Date,Time,Close\n";
    for (int day = 1; day <= 13; ++day)
        for (int minute = 0; minute < 30; ++minute)
            file += (day < 10 ? "0" : "") + std::to_string(day) + "/02/2020,10:" + (minute < 10 ? "0" : "")
                    + std::to_string(minute) + ",1\n";
    const ImportResult r = ImportQuotes(file, list);
    EXPECT_EQ(r.layout.DateForm(), "DD/MM/YYYY");
    EXPECT_TRUE(r.dateOrderDecided);
    ASSERT_EQ(list.Count(), 13 * 30);
    EXPECT_EQ(list.Items(list.Count() - 1)->DateText, "13.02.20 10:29");
}

// Russian names in each encoding a spreadsheet may save; "Объём" with ё, upper case, an
// extra column; then lines ended by CR alone.
TEST(ImportEncodings, RussianNamesInEveryEncoding)
{
    const std::string russian = "ДАТА;Время;Открытие;Максимум;Минимум;Закрытие;Объём;Комментарий\r\n"
                                "05.01.2015;10:00;1,5;2;1;1,7;100;первый\r\n"
                                "05.01.2015;10:01;1,7;2;1;1,6;50;второй\r\n";
    const std::string cp1251 = Utf8ToCp1251(russian);
    const std::pair<std::string, std::string> files[] = {
        {cp1251, "cp1251"},
        {russian, "UTF-8"},
        {"\xEF\xBB\xBF" + russian, "UTF-8 with BOM"},
        {"\xFF\xFE" + test::Iconv("UTF-16LE", "UTF-8", russian), "UTF-16 LE with BOM"},
        {"\xFE\xFF" + test::Iconv("UTF-16BE", "UTF-8", russian), "UTF-16 BE with BOM"},
    };
    TFList list;
    for (const auto &[bytes, encoding] : files) {
        const ImportResult r = ImportQuotes(bytes, list);
        EXPECT_EQ(r.Description(), "export with Russian column names: ';', DD.MM.YYYY, HH:MM, decimal comma, "
                                       + encoding + "; 2 quotes");
        ASSERT_EQ(list.Count(), 2) << encoding;
        ExpectRow(list, 1, {"05.01.15 10:01", Day(2015, 1, 5) + Time(10, 1), 1.7, 2, 1, 1.6, 50});
    }
    std::string text = cp1251;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at + 1, 1);
    ImportQuotes(text, list);
    EXPECT_EQ(list.Count(), 2);
}

// Every date form, each with the same day, and every time form.
TEST(ImportForms, DatesAndTimes)
{
    const std::pair<std::string, const char *> dates[] = {
        {"05.01.15", "DD.MM.YY"},   {"05.01.2015", "DD.MM.YYYY"}, {"20150105", "YYYYMMDD"},
        {"150105", "YYMMDD"},       {"2015-01-05", "YYYY-MM-DD"}, {"2015.01.05", "YYYY.MM.DD"},
        {"05/01/2015", "DD/MM/YYYY"}, {"01/05/2015", "MM/DD/YYYY"}, {"01/05/15", "MM/DD/YY"},
        {"05-01-2015", "DD-MM-YYYY"},
    };
    // A second day that tells the readings apart (there is no month 13): the 13th.
    const auto nextDay = [](std::string d) { return d.replace(d.find("05"), 2, "13"); };
    TFList list;
    for (const auto &[date, form] : dates) {
        const std::string file = "Date;Time;Open;High;Low;Close;Vol\n" + date + ";10:00;1;1;1;1;1\n"
                                 + nextDay(date) + ";10:00;1;1;1;2;1\n";
        const ImportResult r = ImportQuotes(file, list);
        EXPECT_EQ(r.layout.DateForm(), form) << date;
        ASSERT_EQ(list.Count(), 2) << date;
        EXPECT_EQ(list.Items(0)->DateTime, Day(2015, 1, 5) + Time(10, 0)) << date;
        EXPECT_EQ(list.Items(1)->DateTime, Day(2015, 1, 13) + Time(10, 0)) << date;
    }
    // DDMMYY needs a day that YYMMDD cannot read.
    ImportQuotes("<DATE>;<OPEN>;<HIGH>;<LOW>;<CLOSE>\n310115;1;1;1;1\n010215;1;1;1;1\n", list);
    EXPECT_EQ(list.Items(0)->DateText, "31.01.15 00:00");

    const std::tuple<std::string, const char *, double> times[] = {
        {"9:30", "HH:MM", Time(9, 30)},     {"09:30:15", "HH:MM:SS", Time(9, 30, 15)},
        {"93015", "HHMMSS", Time(9, 30, 15)}, {"0930", "HHMM", Time(9, 30)}, {"0", "0", 0},
        {"000000", "HHMMSS", 0}, // a daily export's times
    };
    for (const auto &[time, form, fraction] : times) {
        const ImportResult r = ImportQuotes("<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>\n20150105;" + time + ";1;1;1;1\n", list);
        EXPECT_EQ(r.layout.TimeForm(), form) << time;
        ASSERT_EQ(list.Count(), 1);
        EXPECT_DOUBLE_EQ(list.Items(0)->DateTime, Day(2015, 1, 5) + fraction) << time;
    }
    // Impossible dates and times are skipped lines, not quotes.
    const ImportResult r = ImportQuotes("<DATE>;<TIME>;<CLOSE>\n20150105;1000;1\n20150230;1000;1\n20150105;2460;1\n"
                                  "20150105;1001;1\n20150105;1002;1\n", list);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(r.skipped[static_cast<int>(SkipReason::Date)], 1);
    EXPECT_EQ(r.skipped[static_cast<int>(SkipReason::Time)], 1);
}

// What cannot be quotes is refused with what was expected and the first line, and the
// list stays empty.
TEST(ImportRefusal, GarbageSaysWhatWasExpected)
{
    TFList list;
    list.AddNew().Close = 1;
    const std::pair<std::string, const char *> cases[] = {
        {"hello world\nthis is a letter, not quotes\n", "the first line reads \"hello world\""},
        {"\n\n  \n", "the file holds no text"},
        {std::string("\x01\x02\xFF\xFE\x00\x13", 6), "Not a quote file"},
        {"<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n", "The file holds a header but no quotes"},
        {"Ticker;Open;Close\nAAA;1;2\n", "The header names no date column"},
        {"Дата;Цена\nвчера;дешево\n", "the first line reads \"Дата;Цена\""},
    };
    for (const auto &[bytes, says] : cases) {
        const std::string error = test::ErrorOf<ImportError>([&] { ImportQuotes(bytes, list); });
        EXPECT_NE(error.find(says), std::string::npos) << error;
        EXPECT_EQ(list.Count(), 0);
        EXPECT_FALSE(list.HasStatistics());
    }
    // A text that holds one quote among many other lines is no quote file.
    EXPECT_NE(test::ErrorOf<ImportError>([&] { ImportQuotes("Dear all,\nthe price on 2020-01-02 was 1, 2, 3, 4\nRegards\nMe\n", list); }),
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
    ASSERT_EQ(named.size(), 5u); // the first five
    EXPECT_EQ(named[0], "line 2 (before the table): Exported by a spreadsheet");
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
    for (const std::string &path :
         {test::ExamplePath("daily.txt"), test::ExamplePath("intraday.txt"), test::DataPath("pf_example.txt")}) {
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
                              "05.01.15;10:00;1;1;1;1;1\n05.01.15;10:01;1;1;1;1;1\n"})
        EXPECT_FALSE(IsNativeQuoteFile(bytes)) << bytes;
}

// The preview: the rows as they will be read, and the user's corrections.
TEST(ImportPreviewAndOverrides, RowsAsTheyWillBeRead)
{
    const std::string file = "01/02/2020;10:00;1,5;2;1;1,25;7\n02/02/2020;10:00;x;2;1;1;7\n";
    ImportPreview p = PreviewImport(file);
    EXPECT_EQ(p.layout.decimalMark, ',');
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_TRUE(p.rows[0].read);
    EXPECT_EQ(p.rows[0].DateText, "02.01.20 10:00");
    EXPECT_EQ(p.rows[0].Close, 1.25);
    EXPECT_EQ(std::make_tuple(p.rows[1].read, p.rows[1].reason, p.rows[1].line), std::make_tuple(false, SkipReason::Number, 2LL));

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

// A long file is read in pieces on all cores: whatever the pieces, the quotes and every
// finding are those of one reading from the start (skipped lines of each kind, the first
// ones named, a date order only late lines decide, a fall out of order, a file newest
// first, tick volumes, line ends of every kind, a last line without one).
TEST(ImportInPieces, SameAsOneReadingFromTheStart)
{
    std::mt19937 random(11);
    const auto make = [&random](bool newestFirst, bool ticks) {
        std::string file = "Exported\r\nDate;Time;Open;High;Low;Close;Vol;TickVol\r\n";
        const char *const ends[] = {"\r\n", "\n", "\r"};
        const int lines = 30000;
        for (int i = 0; i < lines; ++i) {
            // 16 minutes apart: the first lines' days are all below 13, so that both
            // orders of day and month read them; later days decide.
            const int at = (newestFirst ? lines - 1 - i : i) * 16, day = at / 1440;
            char line[96];
            const double close = 100 + std::uniform_int_distribution<int>(0, 999)(random) / 10.0;
            std::snprintf(line, sizeof line, "%02d/%02d/2021;%02d:%02d;%.1f;%.1f;%.1f;%.1f;%d;%d",
                          1 + day % 28, 1 + day / 28, at % 1440 / 60, at % 60, close, close + 1,
                          close - 1, close, ticks ? 0 : at % 50, at % 7);
            switch (std::uniform_int_distribution<int>(0, 60)(random)) {
            case 0: file += ";;;;;;;"; break;
            case 1: file += "01/01/2021;10:00;1;2"; break;
            case 2: file += "01/01/2021;10:00;1;2;x;1;1;1"; break;
            case 3: file += "Date;Time;Open;High;Low;Close;Vol;TickVol"; break;
            case 4: file += "31/31/2021;10:00;1;2;1;1;1;1"; break;
            case 5: // mostly a fall, in the file that is otherwise in order
                file += newestFirst ? line : "02/01/2021;00:30;1.0;2.0;0.5;1.5;1;1";
                break;
            default: file += line;
            }
            if (i + 1 < lines)
                file += ends[std::uniform_int_distribution<int>(0, 2)(random)];
        }
        return file;
    };
    const auto findings = [](const ImportResult &r) {
        std::string s = r.Description() + " | " + std::to_string(r.outOfOrderLine) + " "
                        + std::to_string(r.dateOrderDecided) + " " + std::to_string(r.otherDateOrders.size())
                        + " " + r.layout.decimalMark;
        for (const std::string &named : r.SkippedLineTexts())
            s += " | " + named;
        return s;
    };
    for (const auto &[newestFirst, ticks] : {std::pair{false, false}, {true, true}}) {
        const std::string file = make(newestFirst, ticks);
        ImportOptions oneThread;
        oneThread.split = {1 << 20, SIZE_MAX};
        TFList serial;
        const ImportResult expected = ImportQuotes(file, serial, oneThread);
        ASSERT_GT(expected.SkippedCount(), 500);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{977}, std::size_t{65536}}) {
            ImportOptions pieces;
            pieces.split = {chunk, 0};
            TFList list;
            const ImportResult got = ImportQuotes(file, list, pieces);
            EXPECT_EQ(findings(got), findings(expected)) << chunk;
            ASSERT_EQ(list.Count(), serial.Count()) << chunk;
            for (int i = 0; i < list.Count(); ++i) {
                const TFPoint &p = *list.Items(i), &q = *serial.Items(i);
                ASSERT_TRUE(p.DateText == q.DateText && p.DateTime == q.DateTime && p.Open == q.Open
                            && p.High == q.High && p.Low == q.Low && p.Close == q.Close
                            && p.Volume == q.Volume && p.MA3 == q.MA3 && p.Pivot == q.Pivot)
                    << chunk << ", item " << i;
            }
            EXPECT_EQ(list.AvgChange, serial.AvgChange);
        }
    }
}
