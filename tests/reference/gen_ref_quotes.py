#!/usr/bin/env python3
"""Write the quote files that the reference comparison runs over into OUTDIR.

    gen_ref_quotes.py OUTDIR

Every file is the same on every machine (seeded random walks, no clock):

  daily.txt     1500 daily bars, two decimals, CR LF, a cp1251 header
  intraday.txt  5000 minute bars on a 0,5 tick, LF, some "1," and ",5" numbers
  equal.txt     300 bars whose closes are all equal, CR line ends
  tiny.txt      800 bars of prices below 1 moving less than 0,01 a bar
  huge.txt      800 bars of prices from 2e9 up, some written with an exponent
  odd.txt       400 bars with the unusual but valid forms of a quote file
  badline.txt   200 good bars, then a number with a decimal point
  empty.txt     zero bytes
"""
import datetime as dt
import os
import random
import sys

HEADER = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>"


def num(x, decimals):
    """A number as the quote files write it: decimal comma, no grouping."""
    return ("%.*f" % (decimals, x)).replace(".", ",")


def walk(rng, n, start, step, tick, floor):
    """n bars (open, high, low, close, volume) of a random walk on a tick grid."""
    close = start
    for _ in range(n):
        o = close
        close = max(floor, o + round(rng.gauss(0, step)) * tick)
        hi = max(o, close) + abs(round(rng.gauss(0, step / 2))) * tick
        lo = max(floor / 2, min(o, close) - abs(round(rng.gauss(0, step / 2))) * tick)
        yield o, hi, lo, close, int(rng.lognormvariate(8, 1))


def days(start, n):
    t = start
    while n:
        if t.weekday() < 5:
            yield t
            n -= 1
        t += dt.timedelta(days=1)


def minutes(start, n):
    t = start
    while n:
        yield t
        n -= 1
        t += dt.timedelta(minutes=1)
        if t.hour >= 19:
            t = (t + dt.timedelta(days=1)).replace(hour=10, minute=0)


def line(t, fields):
    return "%s;%s;%s" % (t.strftime("%d.%m.%y"), t.strftime("%H:%M"), ";".join(fields))


def write(path, lines, eol, encoding="cp1251"):
    with open(path, "wb") as f:
        f.write(eol.join(lines).encode(encoding) + eol.encode())


def daily(rng):
    out = ["Котировки;дневные " + HEADER]
    for t, (o, h, l, c, v) in zip(days(dt.datetime(2003, 1, 6), 1500),
                                  walk(rng, 1500, 100.0, 60, 0.01, 0.01)):
        out.append(line(t, [num(o, 2), num(h, 2), num(l, 2), num(c, 2), str(v)]))
    return out


def intraday(rng):
    out = [HEADER]
    for t, (o, h, l, c, v) in zip(minutes(dt.datetime(2005, 12, 1, 10, 0), 5000),
                                  walk(rng, 5000, 1234.5, 2, 0.5, 0.5)):
        texts = [num(o, 1), num(h, 1), num(l, 1), num(c, 1), str(v)]
        # "1234,0" may also be written "1234," and "0,5" as ",5".
        texts = [s[:-1] if s.endswith(",0") and rng.random() < 0.3 else s for s in texts]
        out.append(line(t, texts))
    return out


def equal(rng):
    out = [HEADER]
    for t in days(dt.datetime(2010, 3, 1), 300):
        o = 50 + rng.randint(-20, 20) / 10
        out.append(line(t, [num(o, 1), num(max(o, 50) + 1, 1), num(min(o, 50) - 1, 1),
                            "50", str(rng.randint(0, 1000))]))
    return out


def tiny(rng):
    out = [HEADER]
    for t, (o, h, l, c, v) in zip(days(dt.datetime(2015, 6, 1), 800),
                                  walk(rng, 800, 0.5, 20, 0.0001, 0.0001)):
        texts = [num(x, 4) for x in (o, h, l, c)] + [num(v / 1000, 3)]
        texts = [s[1:] if s.startswith("0,") and rng.random() < 0.3 else s for s in texts]
        out.append(line(t, texts))
    return out


def huge(rng):
    out = [HEADER]
    for t, (o, h, l, c, v) in zip(days(dt.datetime(2001, 2, 1), 800),
                                  walk(rng, 800, 2e9, 3, 1e7, 1e7)):
        texts = []
        for x in (o, h, l, c):
            texts.append(num(x / 1e9, 4) + "E9" if rng.random() < 0.2 else num(x, 0))
        out.append(line(t, texts + [str(v * 1000000)]))
    return out


def odd(rng):
    """Valid but unusual input: every rule of a quote line at least once."""
    out = ["header; is; skipped"]
    bars = list(zip(days(dt.datetime(1998, 11, 2), 400), walk(rng, 400, 25.0, 4, 0.05, 0.05)))
    for i, (t, (o, h, l, c, v)) in enumerate(bars):
        f = [t.strftime("%d.%m.%y"), t.strftime("%H:%M"),
             num(o, 2), num(h, 2), num(l, 2), num(c, 2), str(v)]
        k = i % 20
        if k == 1:
            f.append("extra field")                       # ignored
        elif k == 2:
            f[2] = "  " + f[2] + " "                      # blanks round a number
        elif k == 3:
            f[6] = "+" + f[6]                             # a sign
        elif k == 4:
            f[4] = f[4] + "e0"                            # an exponent
        elif k == 5:
            f[1] = "1000"                                 # no colon: date-time 0
        elif k == 6:
            f[1] = f[1] + ":15"                           # seconds: minute 0
        elif k == 7:
            out.append("short;line;1;2;3")                # skipped
        elif k == 8:
            out.append("")                                # skipped
        elif k == 9:
            f[1] = ""                                     # empty time: date-time 0
        elif k == 10:
            f[6] = "0"
        elif k == 11 and i > 200:
            # A quote dated before its predecessor: nothing sorts the list.
            f[0] = (t - dt.timedelta(days=400)).strftime("%d.%m.%y")
        elif k == 12:
            f[5] = num(-c, 2)                             # a negative close
        elif k == 13:
            f[3] = num(l - 1, 2)                          # high below low: kept
        elif k == 14:
            f[0] = t.strftime("%d.%m.") + "49"            # year 2049
        out.append(";".join(f))
    return out


def badline(rng):
    out = daily(rng)[:201]
    out.append("01.01.11;00:00;10;11;9;10.5;100")
    out.extend(daily(rng)[1:20])
    return out


def main(argv):
    if len(argv) != 1:
        sys.stderr.write(__doc__)
        return 2
    d = argv[0]
    os.makedirs(d, exist_ok=True)
    write(os.path.join(d, "daily.txt"), daily(random.Random(1)), "\r\n")
    write(os.path.join(d, "intraday.txt"), intraday(random.Random(2)), "\n")
    write(os.path.join(d, "equal.txt"), equal(random.Random(3)), "\r")
    write(os.path.join(d, "tiny.txt"), tiny(random.Random(4)), "\r\n")
    write(os.path.join(d, "huge.txt"), huge(random.Random(5)), "\r\n")
    write(os.path.join(d, "odd.txt"), odd(random.Random(6)), "\r\n")
    write(os.path.join(d, "badline.txt"), badline(random.Random(7)), "\r\n")
    open(os.path.join(d, "empty.txt"), "wb").close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
