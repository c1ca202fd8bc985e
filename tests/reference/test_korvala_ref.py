#!/usr/bin/env python3
"""The reference implementation on the program's worked examples, so that an
agreement between it and korvala-cli means something on its own."""
import datetime
import datetime as dt
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import korvala_ref as ref  # noqa: E402


def quote_list(closes, opens=None):
    ql = ref.TFList()
    for i, c in enumerate(closes):
        p = ref.new_point()
        p["Close"] = c
        p["Open"] = opens[i] if opens else c
        p["High"] = p["Low"] = c
        p["Volume"] = 1.0
        p["DateText"] = "d%d" % i
        ql.items.append(p)
    ql.statistics()
    return ql


class Numbers(unittest.TestCase):
    def test_conversion(self):
        self.assertEqual(ref.str_to_float(",5"), 0.5)
        self.assertEqual(ref.str_to_float("1,"), 1.0)
        self.assertEqual(ref.str_to_float(" -1,5e2 "), -150.0)
        for bad in ("", "12.5", "1 000", ",", "1e", "inf", "1_0", "\t1"):
            with self.assertRaises(ref.ConvertError) as e:
                ref.str_to_float(bad)
            self.assertEqual(str(e.exception), "'%s' is not a valid floating point value" % bad)

    def test_formats(self):
        self.assertEqual(ref.format_n(1234.5, 3), "1 234,500")
        self.assertEqual(ref.format_n(1e9, 3), "1 000 000 000,000")
        self.assertEqual(ref.format_n(-0.001, 2), "-0,00")
        self.assertEqual(ref.format_n(-1234567.125, 2), "-1 234 567,12")  # binary value is exact: half to even
        self.assertEqual(ref.format_f(1234.5, 3), "1234,500")
        self.assertEqual(ref.format_f(3 * 1.23456, 3), "3,704")


class QuoteLines(unittest.TestCase):
    def test_line(self):
        p = ref.new_point()
        self.assertTrue(ref.parse_line(p, "01.12.05;10:00;1,5;2,5;1;2;100;x"))
        self.assertEqual(p["DateText"], "01.12.05 10:00")
        self.assertEqual(p["DateTime"], 38687 + 10 / 24)
        self.assertEqual((p["Open"], p["High"], p["Low"], p["Close"], p["Volume"]),
                         (1.5, 2.5, 1.0, 2.0, 100.0))
        self.assertFalse(ref.parse_line(ref.new_point(), "01.12.05;10:00;1,5;2,5;1;2"))
        with self.assertRaises(ref.ConvertError):
            ref.parse_line(ref.new_point(), "01.12.05;10:00;;2;1;2;100")

    def test_dates(self):
        d = ref.parse_quote_date_time
        epoch = datetime.date(1899, 12, 30)
        self.assertEqual(d("01.01.49", "00:00"), (datetime.date(2049, 1, 1) - epoch).days)
        self.assertEqual(d("01.01.50", "12:00"), (datetime.date(1950, 1, 1) - epoch).days + 0.5)
        self.assertEqual(d("01.01.2005", "00:00"), (datetime.date(3905, 1, 1) - epoch).days)
        self.assertEqual(d("01.12.05", "1000"), 0.0)
        self.assertEqual(d("01.12.05", "10:30:15"), d("01.12.05", "10:00"))
        for bad in (("31.02.05", "10:00"), ("01.12.05", "24:00"), ("00.12.05", "10:00")):
            with self.assertRaises(ref.ConvertError):
                d(*bad)


class Statistics(unittest.TestCase):
    def test_pivots_ma3_avgchange(self):
        ql = quote_list([10, 11, 12, 11, 10, 13])
        self.assertEqual([p["Pivot"] for p in ql.items], [0, 0, 12, 0, 10, 13])
        self.assertEqual([p["MA3"] for p in ql.items][:3], [10, 11, 11])
        self.assertAlmostEqual(ql.items[3]["MA3"], 34 / 3)
        self.assertAlmostEqual(ql.AvgChange, 7 / 6)
        self.assertEqual([p["Pivot"] for p in quote_list([1, 2, 2, 3]).items], [0, 2, 0, 3])

    def test_levels(self):
        # Pivots 100, 120 and 110 on the three newest qualifying items.
        ql = quote_list([90, 90, 90, 100, 100, 120, 110])
        self.assertEqual([p["Pivot"] for p in ql.items], [0, 0, 0, 100, 0, 120, 110])
        last = ql.items[-1]
        self.assertAlmostEqual(last["Retrace382"], 113.82)
        self.assertAlmostEqual(last["Retrace681"], 116.81)
        self.assertAlmostEqual(last["OP"], 110)
        self.assertAlmostEqual(last["COP"], 106.18)
        self.assertAlmostEqual(last["XOP"], 116.18)
        self.assertEqual(ref.targets_report(ql),
                         ["=== d6 ==================", "Цель 1: 110,00", "Цель 2: 106,18",
                          "Цель 3: 116,18", "Res/Sup 1: 113,82", "Res/Sup 2: 116,81", ""])


class PointAndFigure(unittest.TestCase):
    def test_worked_example(self):
        ql = quote_list([10, 12.5, 13, 9.5, 9, 12.6])
        rc, cc, top, bottom, cols, cells = ref.build_pf(ql, 1.0, 3.0)
        self.assertEqual((rc, cc, bottom, top), (6, 3, [4, 6, 5], [2, 3, 2]))
        self.assertEqual(sorted(r for (c, r) in cells if c == 1), [3, 4, 5, 6])
        self.assertEqual(cells[(0, 2)], ["x", None])
        self.assertEqual(cols[0]["Close"], 9.5)
        self.assertTrue(cols[0]["PeriodEnd"].endswith(" - UP"))
        self.assertEqual([c["Direction"] for c in cols], [1, -1, 1])

    def test_one_box_is_no_move(self):
        ql = quote_list([10, 11, 12])
        rc, cc, top, bottom, cols, cells = ref.build_pf(ql, 1.0, 3.0)
        self.assertEqual(sorted(cells), [(0, 1), (0, 2), (0, 3)])


class LineBreak(unittest.TestCase):
    def test_worked_example(self):
        ql = quote_list([11, 12, 13, 12.5, 11.5, 9.5, 9, 10, 12.5], opens=[10] + [0] * 8)
        self.assertEqual(ref.build_line_break(ql),
                         [[10, 11, 10, 11], [11, 12, 11, 12], [12, 13, 12, 13],
                          [12, 12, 9.5, 9.5], [9.5, 9.5, 9, 9], [9.5, 12.5, 9.5, 12.5]])

    def test_reversal_below_open(self):
        ql = quote_list([11, 12, 13, 9.5, 11.5], opens=[10] + [0] * 4)
        self.assertEqual(ref.build_line_break(ql)[-1], [12, 11.5, 12, 11.5])


class Indicator(unittest.TestCase):
    def test_worked_example(self):
        s1, s2 = ref.calc_indicator(quote_list([10, 11, 12, 13]), 2, 1)
        self.assertEqual(s1, [10, 11, 12, 13])
        self.assertEqual(s2, [10, 10, 10.5, 11.25, 12.125])

    def test_three_quotes_default(self):
        c = [5.0, 6.0, 8.0]
        s1, s2 = ref.calc_indicator(quote_list(c), 7, 5)
        a1 = c[0] + (c[1] - c[0]) / 7
        self.assertEqual(s2, [5, 6, 8, a1, a1 + (c[2] - a1) / 7])

    def test_period_zero_stops(self):
        s1, s2 = ref.calc_indicator(quote_list([1, 2, 3, 4]), 0, 2)
        self.assertEqual((s1, s2), ([1, 2], [1, 2]))


class Reports(unittest.TestCase):
    def test_fnodes(self):
        self.assertEqual(ref.fnodes_report(["mm"]), ["F: 0,00", "=== F nodes ==="])
        self.assertEqual(ref.fnodes_report(["100", "90"]),
                         ["F: 100,00", " 0: 90,00", "=== F nodes ===", " 0 F3: 96,18", " 0 F5: 93,82"])
        self.assertEqual(ref.fnodes_report(["mm", "10"])[3:], [" 0 F3: 3,82", " 0 F5: 6,18"])
        # Prices with their thousands grouping read as the price; other blanks do not.
        self.assertEqual(ref.fnodes_report(["1 300,00", "1\u00a0285,00", "1 28,00", "1 285 000,5"])[1:4],
                         [" 0: 1 285,00", " 1: 0,00", " 2: 1 285 000,50"])


class OpenSequence(unittest.TestCase):
    def test_caption_and_candle_range(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "quotes.txt")
            lines = ["header"]
            day = dt.date(2004, 1, 1)
            close = 100.0
            while day <= dt.date(2005, 3, 31):
                lines.append("%s;00:00;1;1;1;%s;1" % (day.strftime("%d.%m.%y"),
                                                    ("%.2f" % close).replace(".", ",")))
                close += 1.23456 if day.day % 2 else -1.23456
                day += dt.timedelta(days=1)
            with open(path, "w", newline="") as f:
                f.write("\r\n".join(lines))
            doc = ref.Doc(222)
            doc.open(path)
            self.assertEqual(doc.caption, "P & F file: quotes.txt")
            self.assertEqual(doc.picker1, (dt.date(2004, 8, 21) - dt.date(1899, 12, 30)).days)
            self.assertEqual(doc.candles[0][0], doc.picker1)
            self.assertEqual(doc.candles[-1][0], doc.picker2)
            self.assertEqual(len(doc.candles), 223)
            self.assertEqual(doc.stb, "Количество периодов = %d" % (len(lines) - 1))
            doc.days = 1
            doc.picker1 = doc.picker2 - 1
            doc.refresh()
            self.assertEqual(len(doc.candles), 2)


if __name__ == "__main__":
    unittest.main()
