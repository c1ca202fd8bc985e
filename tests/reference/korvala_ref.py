#!/usr/bin/env python3
"""An independent, deliberately plain second implementation of what
`korvala-cli dump FILE [options]` computes: the open sequence, the Refresh
pipeline (P&F grid, three-line-break bricks, candle range), the indicator
series and the two analysis reports.  Standard library only; written from the
rules of the program, not from its C++ sources, so that the two can be checked
against each other field by field (see compare_dump.py).

    korvala_ref.py FILE [--box T] [--reverse T] [--days N] [--period P]
                   [--offset S] [--depth N] [--mm LINE]...

Prints the dump's JSON object on stdout and exits 0; a failed open or a box or
reversal text that does not convert prints the error text on stderr and exits
1; bad usage exits 2.

Where a value is left to the implementation (the size of a grid built over no
quotes), the object carries "_free": the JSON paths of those values, which the
comparison only checks for their kind.
"""
import codecs
import datetime
import json
import math
import re
import sys

# ---------------------------------------------------------------------------
# Number texts

SENTINEL_MIN = 1000000000.0


class ConvertError(Exception):
    pass


# Optional blanks, optional sign, digits with at most one decimal comma (at
# least one digit in all), optional exponent, optional blanks.
_FLOAT_RE = re.compile(r"^ *[+-]?(?:[0-9]+,?[0-9]*|,[0-9]+)(?:[eE][+-]?[0-9]+)? *$")


def str_to_float(text):
    """The text-to-float conversion with the decimal comma."""
    if not _FLOAT_RE.match(text):
        raise ConvertError("'%s' is not a valid floating point value" % text)
    v = float(text.strip(" ").replace(",", "."))
    if math.isinf(v):  # out of the range of a 64-bit float
        raise ConvertError("'%s' is not a valid floating point value" % text)
    return v


def try_str_to_float(text):
    try:
        return str_to_float(text)
    except ConvertError:
        return None


def _group(digits):
    out = []
    while len(digits) > 3:
        out.insert(0, digits[-3:])
        digits = digits[:-3]
    out.insert(0, digits)
    return " ".join(out)


def format_n(v, decimals):
    """"%.3n" / "%.2n": fixed decimals, decimal comma, blank between thousands."""
    s = "%.*f" % (decimals, v)
    sign = ""
    if s.startswith("-"):
        sign, s = "-", s[1:]
    if "." in s:
        ip, fp = s.split(".")
        return sign + _group(ip) + "," + fp
    return sign + _group(s)


def format_f(v, decimals):
    """"%.3f": fixed decimals, decimal comma, no grouping."""
    return ("%.*f" % (decimals, v)).replace(".", ",")


# ---------------------------------------------------------------------------
# Quote record and quote file

def _int_part(text):
    """A date or time part: a plain integer, anything else counts as 0."""
    if re.match(r"^[+-]?[0-9]+$", text):
        v = int(text)
        if -2**31 <= v < 2**31:
            return v
    return 0


_EPOCH = datetime.date(1899, 12, 30)


def _undefined_byte(err):
    # The one byte that cp1251 leaves undefined (0x98) reads as the character
    # of the same number.
    b = err.object[err.start:err.end]
    return "".join(chr(x) for x in b), err.end


codecs.register_error("korvala-cp1251", _undefined_byte)


def parse_quote_date_time(date_text, time_text):
    # Date: day before the first ".", month between the first and second ".",
    # year all the rest.  Time: hour before the first ":", minute the rest.
    d = date_text.split(".", 2)
    t = time_text.split(":", 1)
    if len(d) < 3 or len(t) < 2:
        return 0.0
    day, month, year, hour, minute = d[0], d[1], d[2], t[0], t[1]
    if "" in (day, month, year, hour, minute):
        return 0.0
    day, month, year = _int_part(day), _int_part(month), _int_part(year)
    hour, minute = _int_part(hour), _int_part(minute)
    year = 2000 + year if year < 50 else 1900 + year
    try:
        if not (0 <= hour < 24 and 0 <= minute < 60):
            raise ValueError
        days = (datetime.date(year, month, day) - _EPOCH).days
    except (ValueError, OverflowError):
        raise ConvertError("'%s %s' is not a valid date and time" % (date_text, time_text))
    return days + (hour * 60 + minute) / 1440.0


def new_point():
    return {"Close": 0.0, "Open": 0.0, "Low": 0.0, "Volume": 0.0, "High": 0.0,
            "DateText": "", "PeriodEnd": "", "PeriodStart": "", "Direction": 0,
            "XOP": 0.0, "COP": 0.0, "OP": 0.0, "MA3": 0.0, "Pivot": 0.0,
            "Retrace681": 0.0, "Retrace382": 0.0, "PivotEnabled": False,
            "DateTime": 0.0}


def parse_line(p, line):
    f = line.split(";")
    if len(f) < 7:
        return False
    p["DateTime"] = parse_quote_date_time(f[0], f[1])
    p["DateText"] = f[0] + " " + f[1]
    p["Open"] = str_to_float(f[2])
    p["High"] = str_to_float(f[3])
    p["Low"] = str_to_float(f[4])
    p["Close"] = str_to_float(f[5])
    p["Volume"] = str_to_float(f[6])
    return True


# ---------------------------------------------------------------------------
# Quote list

class TFList:
    def __init__(self):
        self.items = []
        self.LevelDepth = 0
        self.reset()
        self.AvgChange = -1.0

    def reset(self):
        self.MaxLow = self.MaxClose = self.MaxHigh = self.MaxOpen = 0.0
        self.MinLow = self.MinOpen = self.MinClose = self.MinHigh = SENTINEL_MIN
        self.AvgChange = -1.0
        self.MaxVolume = 0.0

    def load(self, text):
        self.reset()
        self.items = []
        lines = re.split(r"\r\n|\r|\n", text)
        for line in lines[1:]:
            p = new_point()
            if parse_line(p, line):
                self.items.append(p)
        self.statistics()

    def statistics(self):
        it = self.items
        self.MaxLow = self.MaxClose = self.MaxHigh = self.MaxOpen = 0.0
        self.MinLow = self.MinOpen = self.MinClose = self.MinHigh = SENTINEL_MIN
        self.MaxVolume = 0.0
        total = 0.0
        rising = True
        e = it[0]["Close"] if it else 0.0
        for i, p in enumerate(it):
            if p["Open"] > self.MaxOpen:
                self.MaxOpen = p["Open"]
            if p["Open"] < self.MinOpen:
                self.MinOpen = p["Open"]
            if p["High"] > self.MaxHigh:
                self.MaxHigh = p["High"]
            if p["High"] < self.MinHigh:
                self.MinHigh = p["High"]
            if p["Low"] > self.MaxLow:
                self.MaxLow = p["Low"]
            if p["Low"] < self.MinLow:
                self.MinLow = p["Low"]
            if p["Close"] > self.MaxClose:
                self.MaxClose = p["Close"]
            if p["Close"] < self.MinClose:
                self.MinClose = p["Close"]
            if p["Volume"] > self.MaxVolume:
                self.MaxVolume = p["Volume"]
            if i >= 1:
                total += abs(it[i - 1]["Close"] - p["Close"])
            if i >= 2:
                p["MA3"] = (it[i - 2]["Close"] + it[i - 1]["Close"] + p["Close"]) / 3
            else:
                p["MA3"] = p["Close"]
            if i >= 1:
                p["PivotEnabled"] = True
                c = p["Close"]
                if (rising and c > e) or (not rising and c < e):
                    e = c
                    p["Pivot"] = c
                    it[i - 1]["Pivot"] = 0.0
                elif (rising and c < e) or (not rising and c > e):
                    e = c
                    p["Pivot"] = c
                    rising = not rising
                else:
                    p["Pivot"] = 0.0
        self.calc_levels()
        self.AvgChange = total / len(it) if len(it) >= 1 else 0.0

    def calc_levels(self):
        it = self.items

        def qualifies(k):
            return it[k]["Pivot"] != 0 and it[k]["PivotEnabled"]

        def scan(k):
            while k > 2 and not qualifies(k):
                k -= 1
            return k

        if len(it) - 1 <= 2:
            return
        k1 = len(it) - 1
        remaining = self.LevelDepth
        while True:
            k1 = scan(k1)
            k2 = scan(k1 - 1)
            k3 = scan(k2 - 1)
            p1, p2, p3 = it[k1]["Pivot"], it[k2]["Pivot"], it[k3]["Pivot"]
            q = it[k1]
            q["Retrace382"] = p1 - 0.382 * (p1 - p2)
            q["Retrace681"] = p1 - 0.681 * (p1 - p2)
            q["OP"] = p3 + (p2 - p1)
            q["COP"] = p3 + 0.618 * (p2 - p1)
            q["XOP"] = p3 + 1.618 * (p2 - p1)
            k1 = k2 - 1
            remaining -= 1
            if remaining < 0:
                return
            if not k1 > 2:
                return


# ---------------------------------------------------------------------------
# Point & Figure build

# The program's own limits (not rules of the chart): a grid of more than
# MAX_ROWS rows or more than MAX_BOXES boxes is refused, and the build fails.
MAX_ROWS = 1000000000
MAX_BOXES = 50000000


class LimitError(Exception):
    pass


def build_pf(ql, box, rev, count_only=None):
    """Returns (RowCount, ColCount, top, bottom, columns, cells); cells maps
    (column, row) to [mark, quote index or None].  With count_only, only the
    top and bottom rows are worked out and returned."""
    it = ql.items
    top, bottom, cells, columns = [], [], {}, []
    if not it:
        return None  # the grid keeps its default size; see main()
    row_count = round((ql.MaxClose - ql.MinClose) / box) + 2
    if row_count > MAX_ROWS:
        raise LimitError("more than %d rows" % MAX_ROWS)
    if count_only is None:
        # The program refuses a chart of more boxes than it can hold; count
        # them first with a build that keeps no cells.
        tops, bottoms = build_pf(ql, box, rev, count_only=True)
        if sum(b - t + 1 for t, b in zip(tops, bottoms)) > MAX_BOXES:
            raise LimitError("more than %d boxes" % MAX_BOXES)
    col_count = 1
    q0 = it[0]
    last = q0["Close"]
    row = row_count - math.trunc((q0["Close"] - ql.MinClose) / box) - 1
    bottom.append(row)
    top.append(row)
    k = 0
    mark = "x"
    cells[(0, row)] = ["x", 0]
    columns.append({"PeriodStart": q0["DateText"], "PeriodEnd": q0["DateText"] + " - UP",
                    "Direction": 1, "Open": q0["Open"], "High": q0["High"],
                    "Low": q0["Low"], "Close": q0["Close"], "Volume": q0["Volume"]})

    def fill(col, r1, r2, m, qi):
        if count_only:
            cells[(col, r1)] = cells[(col, r2)] = [m, qi]
            return
        step = 1 if r2 >= r1 else -1
        for r in range(r1, r2 + step, step):
            cells[(col, r)] = [m, qi]

    def update(rec, q, suffix):
        rec["PeriodEnd"] = q["DateText"] + suffix
        rec["Close"] = q["Close"]
        if q["High"] > rec["High"]:
            rec["High"] = q["High"]
        if q["Low"] < rec["Low"]:
            rec["Low"] = q["Low"]
        rec["Volume"] = rec["Volume"] + q["Volume"]

    def new_column(q, direction, suffix):
        columns.append({"PeriodStart": q["DateText"], "PeriodEnd": q["DateText"] + suffix,
                        "Direction": direction, "Open": q["Open"], "High": q["High"],
                        "Low": q["Low"], "Close": q["Close"], "Volume": q["Volume"]})

    for qi in range(1, len(it)):
        q = it[qi]
        c = q["Close"]
        d = abs(c - last)
        rec = columns[k]
        if d <= box:
            update(rec, q, " - UP" if mark == "x" else " - DOWN")
        elif mark == "x":
            if c > last:
                n = math.trunc(d / box)
                target = row - n
                fill(k, row, target, "x", qi)
                update(rec, q, " - UP")
                row = target
                top[k] = target
                last = last + n * box
            elif d < rev:
                cells[(k, row)][1] = None
                update(rec, q, " - UP")
            else:
                col_count += 1
                k += 1
                row = row + 1
                n = math.trunc(d / box)
                target = row + n
                mark = "0"
                new_column(q, -1, " - DOWN")
                top.append(row)
                fill(k, row, target, "0", qi)
                row = target
                bottom.append(target)
                last = last - n * box
        else:
            if c < last:
                n = math.trunc(d / box)
                target = row + n
                fill(k, row, target, "0", qi)
                update(rec, q, " - DOWN")
                row = target
                bottom[k] = target
                last = last - n * box
            elif d < rev:
                cells[(k, row)][1] = None
                update(rec, q, " - DOWN")
            else:
                col_count += 1
                k += 1
                row = row - 1
                n = math.trunc(d / box)
                target = row - n
                mark = "x"
                bottom.append(row)
                fill(k, row, target, "x", qi)
                new_column(q, 1, " - UP")
                row = target
                top.append(target)
                last = last + n * box
    if count_only:
        return top, bottom
    return row_count, col_count, top, bottom, columns, cells


def columns_max_volume(columns):
    mv = 0.0
    for c in columns:
        if c["Volume"] > mv:
            mv = c["Volume"]
    return mv


# ---------------------------------------------------------------------------
# Three-line-break bricks

def build_line_break(ql):
    it = ql.items
    b = []
    if not it:
        return b
    q0 = it[0]
    up = q0["Open"] < q0["Close"]
    if up:
        b.append([q0["Open"], q0["Close"], q0["Open"], q0["Close"]])
    else:
        b.append([q0["Open"], q0["Open"], q0["Close"], q0["Close"]])
    for q in it[1:]:
        c = q["Close"]
        n = len(b)
        last = b[n - 1]
        if c > last[3]:
            if up:
                b.append([last[3], c, last[3], c])
            elif n >= 3:
                if c > b[n - 3][0]:
                    b.append([last[0], c, last[0], c])
                    up = True
            else:
                if c > b[0][0]:
                    b.append([b[0][0], c, b[0][0], c])
                    up = True
        elif c <= last[3] and c < last[2]:
            if not up:
                b.append([last[2], last[2], c, c])
            elif n >= 3:
                if c < b[n - 3][2]:
                    b.append([last[2], last[2], c, c])
                    up = False
            else:
                if c < b[0][2]:
                    b.append([b[0][2], b[0][2], c, c])
                    up = False
    return b


# ---------------------------------------------------------------------------
# Candles

def build_candles(ql, start, end):
    out = []
    for q in ql.items:
        if q["DateTime"] < start:
            continue
        if q["DateTime"] > end:
            break
        out.append([q["DateTime"], q["Open"], q["High"], q["Low"], q["Close"]])
    return out


# ---------------------------------------------------------------------------
# Indicator

def calc_indicator(ql, period, offset):
    close = [q["Close"] for q in ql.items]
    n = len(close)
    s1, s2 = [], []
    if n < 1:
        return s1, s2
    avg = close[0]
    i = 0
    while i <= n - 1 + offset:
        if i < period - 1:
            if i < n:
                s2.append(close[i])
            else:
                # Nothing more is appended before position period - 1.
                i = period - 1
                continue
        else:
            j = i - offset
            if j < 0:
                if i < n:
                    s2.append(close[i])
            else:
                if period == 0:  # the division by zero ends the computation
                    return s1, s2
                avg = avg + (close[j] - avg) / period
                s2.append(avg)
        if i < n:
            s1.append(close[i])
        i += 1
    return s1, s2


# ---------------------------------------------------------------------------
# Reports

def targets_report(ql):
    out = []
    for i in range(len(ql.items) - 1, -1, -1):
        q = ql.items[i]
        if q["Pivot"] > 0 and q["PivotEnabled"] and q["OP"] > 0:
            out.append("=== " + q["DateText"] + " ==================")
            out.append("Цель 1: " + format_n(q["OP"], 2))
            out.append("Цель 2: " + format_n(q["COP"], 2))
            out.append("Цель 3: " + format_n(q["XOP"], 2))
            out.append("Res/Sup 1: " + format_n(q["Retrace382"], 2))
            out.append("Res/Sup 2: " + format_n(q["Retrace681"], 2))
            out.append("")
    return out


# The whole part of a number grouped by thousands: one to three digits, then groups
# of three, each after a blank or a no-break space (U+00A0, U+202F).
_GROUPED_RE = re.compile(r"^( *[+-]?[0-9]{1,3})((?:[ \u00a0\u202f][0-9]{3})+)(?![0-9])(.*)$")


def fnodes_report(mm):
    def num(line):
        m = _GROUPED_RE.match(line)
        if m:
            line = m.group(1) + re.sub(r"[ \u00a0\u202f]", "", m.group(2)) + m.group(3)
        v = try_str_to_float(line)
        return 0.0 if v is None else v

    f = 0.0
    nodes = []
    if len(mm) > 1:
        f = num(mm[0])
        for j in range(1, len(mm)):
            nodes.append(num(mm[j]))
    out = ["F: " + format_n(f, 2)]
    for k, v in enumerate(nodes):
        out.append("%2d: %s" % (k, format_n(v, 2)))
    out.append("=== F nodes ===")
    for k, v in enumerate(nodes):
        out.append("%2d F3: %s" % (k, format_n(f - (f - v) * 0.382, 2)))
        out.append("%2d F5: %s" % (k, format_n(f - (f - v) * 0.618, 2)))
    return out


# ---------------------------------------------------------------------------
# The document: open sequence and Refresh

class Doc:
    # The pickers' value from the window layout: 19.12.2005 15:26.
    PICKER_START = (datetime.date(2005, 12, 19) - _EPOCH).days + (15 * 60 + 26) / 1440.0

    def __init__(self, days):
        self.ql = TFList()
        self.eBox, self.eReverse = "1", "3"
        self.FBox = self.FReverse = 0.0
        self.Memo1, self.mm_Common, self.stb = [], [], ""
        self.caption = "Корвала, ver 0.0.1 alfa"
        self.days = days
        self.picker1 = self.picker2 = self.PICKER_START
        self.built = False
        self.pf = self.line_break = self.candles = None

    def read_params(self):
        self.FBox = str_to_float(self.eBox)
        self.FReverse = str_to_float(self.eReverse)
        return self.FBox >= 0.01 and self.FReverse >= 0.01

    def show_statistics(self):
        self.Memo1 = []
        self.read_params()
        ql = self.ql
        self.Memo1 = [
            "Count point = %d" % len(ql.items),
            "OPEN  max = " + format_n(ql.MaxOpen, 3),
            "OPEN  min = " + format_n(ql.MinOpen, 3),
            "HIGH  max = " + format_n(ql.MaxHigh, 3),
            "HIGH  min = " + format_n(ql.MinHigh, 3),
            "LOW   max = " + format_n(ql.MaxLow, 3),
            "LOW   min = " + format_n(ql.MinLow, 3),
            "CLOSE max = " + format_n(ql.MaxClose, 3),
            "CLOSE min = " + format_n(ql.MinClose, 3),
            "Avg (High-Low) = " + format_n(ql.AvgChange, 3),
            "Auto box = " + format_n(self.FBox, 3),
            "Auto reversal = " + format_n(self.FReverse, 3),
        ]

    def open(self, path):
        self.ql.items = []
        with open(path, "rb") as fh:
            data = fh.read()
        self.ql.load(data.decode("cp1251", errors="korvala-cp1251"))
        a = self.ql.AvgChange
        if a < 0.01:
            self.eBox, self.eReverse = "0,01", "0,03"
        else:
            self.eBox, self.eReverse = format_f(a, 3), format_f(3 * a, 3)
        self.read_params()
        self.show_statistics()
        name = re.split(r"[\\:/]", path)[-1]
        self.caption = "P & F file: " + name
        if self.ql.items:
            self.picker2 = self.ql.items[-1]["DateTime"]
            self.picker1 = self.picker2 - self.days
            self.candles = build_candles(self.ql, self.picker1, self.picker2)
        ql = self.ql
        self.mm_Common = ["Количество котировок = %d" % len(ql.items),
                          "Максимальная цена закрытия = " + format_n(ql.MaxClose, 3),
                          "Минимальная цена закрытия = " + format_n(ql.MinClose, 3)]
        self.refresh()

    def refresh(self):
        if not self.read_params():
            self.built = False
            return
        self.show_statistics()
        self.pf = build_pf(self.ql, self.FBox, self.FReverse)
        self.stb = "Количество периодов = %d" % len(self.ql.items)
        self.line_break = build_line_break(self.ql)
        self.candles = build_candles(self.ql, self.picker1, self.picker2)
        self.built = True


# ---------------------------------------------------------------------------
# Command line and JSON

def usage(msg):
    sys.stderr.write("korvala_ref: %s\n" % msg)
    sys.exit(2)


def whole(opt, text):
    if not re.match(r"^[+-]?[0-9]+$", text) or not -2**31 <= int(text) < 2**31:
        usage("option %s needs a whole number, not '%s'" % (opt, text))
    return int(text)


def parse_args(argv):
    if not argv:
        usage("FILE missing")
    o = {"file": argv[0], "box": None, "reverse": None, "days": 222, "period": 7,
         "offset": 5, "depth": None, "mm": []}
    i = 1
    while i < len(argv):
        a = argv[i]
        if i + 1 >= len(argv):
            usage("option %s needs a value" % a)
        v = argv[i + 1]
        if a == "--box":
            o["box"] = v
        elif a == "--reverse":
            o["reverse"] = v
        elif a in ("--days", "--period", "--offset", "--depth"):
            o[a[2:]] = whole(a, v)
        elif a == "--mm":
            o["mm"].append(v)
        else:
            usage("unknown option %s" % a)
        i += 2
    if not o["mm"]:
        o["mm"] = ["mm"]
    return o


def point_json(p):
    return {k: p[k] for k in ("DateText", "DateTime", "Open", "High", "Low", "Close",
                              "Volume", "MA3", "Pivot", "PivotEnabled", "Retrace382",
                              "Retrace681", "OP", "COP", "XOP")}


def dump(o):
    doc = Doc(o["days"])
    try:
        doc.open(o["file"])
        if o["box"] is not None or o["reverse"] is not None:
            if o["box"] is not None:
                doc.eBox = o["box"]
            if o["reverse"] is not None:
                doc.eReverse = o["reverse"]
            doc.refresh()
    except ConvertError as e:
        sys.stderr.write(str(e) + "\n")
        sys.exit(1)
    except LimitError as e:
        sys.stderr.write("The chart would need %s; choose a larger box\n" % e)
        sys.exit(1)
    except OSError as e:
        sys.stderr.write(str(e) + "\n")
        sys.exit(1)
    ql = doc.ql
    s1, s2 = calc_indicator(ql, o["period"], o["offset"])
    if o["depth"] is not None:
        ql.LevelDepth = o["depth"]
        ql.calc_levels()
    out = {
        "caption": doc.caption, "eBox": doc.eBox, "eReverse": doc.eReverse,
        "FBox": doc.FBox, "FReverse": doc.FReverse, "built": doc.built,
        "Memo1": doc.Memo1, "mm_Common": doc.mm_Common, "stb": doc.stb,
        "QuoteList": {
            "Count": len(ql.items), "MaxOpen": ql.MaxOpen, "MinOpen": ql.MinOpen,
            "MaxHigh": ql.MaxHigh, "MinHigh": ql.MinHigh, "MaxLow": ql.MaxLow,
            "MinLow": ql.MinLow, "MaxClose": ql.MaxClose, "MinClose": ql.MinClose,
            "MaxVolume": ql.MaxVolume, "AvgChange": ql.AvgChange,
            "LevelDepth": ql.LevelDepth, "Items": [point_json(p) for p in ql.items]},
        "PF": None, "LineBreak": None, "Candles": None,
        "Indicator": {"Series1": s1, "Series2": s2},
        "TargetsReport": targets_report(ql),
        "FNodesReport": fnodes_report(o["mm"]),
    }
    if doc.built:
        if doc.pf is None:
            # A build over no quotes: a fresh grid with no marks, of the grid's
            # default size, which is the implementation's own choice.
            out["_free"] = ["PF.RowCount", "PF.ColCount"]
            out["PF"] = {"RowCount": None, "ColCount": None,
                         "FColTopRow": [], "FColBottomRow": [],
                         "FColumns": {"MaxVolume": 0.0, "Items": []}, "Cells": []}
        else:
            rc, cc, top, bottom, cols, cells = doc.pf
            out["PF"] = {"RowCount": rc, "ColCount": cc, "FColTopRow": top,
                         "FColBottomRow": bottom,
                         "FColumns": {"MaxVolume": columns_max_volume(cols),
                                      "Items": cols},
                         "Cells": [[c, r, cells[(c, r)][0], cells[(c, r)][1]]
                                   for (c, r) in sorted(cells)]}
        out["LineBreak"] = doc.line_break
        out["Candles"] = {"DateTimePicker1": doc.picker1, "DateTimePicker2": doc.picker2,
                          "Items": doc.candles}
    return out


def main(argv):
    o = parse_args(argv)
    out = dump(o)
    sys.stdout.write(json.dumps(out, ensure_ascii=False, allow_nan=False))
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
