#!/usr/bin/env python3
"""Run `korvala-cli dump FILE [options]` and the independent implementation
korvala_ref.py on the same file and options, and compare every field (the
sections listed in NOT_MODELLED excepted).

    compare_dump.py CLI_BINARY FILE [dump options...]

Numbers must be the same 64-bit floats (bit for bit, the sign of zero
included), integers and texts equal, and the program must write its numbers in
the shortest form that reads back to the same float.  When the open fails both
must exit 1 with the same error text and the program must print nothing on
stdout (the text of a conversion error must be the same; other failures may
be worded differently).  Prints the first differences with their JSON paths; exits 0 when all
fields agree, 1 on any difference, 2 on bad usage.
"""
import json
import os
import re
import struct
import subprocess
import sys
import time

MAX_SHOWN = 20
CONVERT_ERROR = re.compile(r"^'.*' is not a valid floating point value$", re.S)
REF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "korvala_ref.py")
# The P&F signals, lines and counts: checked by the program's own tests.
NOT_MODELLED = ("Signals",)


def significant(tok):
    """The significant digits of a JSON number text."""
    m = tok.lstrip("-").lower().split("e")[0].replace(".", "")
    return m.strip("0") or "0"


class Loader:
    """json.loads with hooks that keep "-0" a float and note every number text
    that is longer than the shortest round-trip form."""

    def __init__(self):
        self.long_numbers = []

    def _check(self, tok, v):
        if len(significant(tok)) > len(significant(repr(v))):
            self.long_numbers.append(tok)

    def parse_float(self, tok):
        v = float(tok)
        self._check(tok, v)
        return v

    def parse_int(self, tok):
        if tok == "-0":
            return -0.0
        v = int(tok)
        if abs(v) > 2**53:
            self._check(tok, float(v))
        return v

    def loads(self, text):
        return json.loads(text, parse_float=self.parse_float, parse_int=self.parse_int)


def bits(x):
    return struct.pack("<d", float(x))


def is_num(x):
    return isinstance(x, (int, float)) and not isinstance(x, bool)


def show(v):
    if isinstance(v, float):
        return repr(v)
    s = json.dumps(v, ensure_ascii=False)
    return s if len(s) <= 200 else s[:200] + "..."


def compare(path, ref, got, free, diffs):
    if path in free:
        if not (is_num(got) and float(got).is_integer()):
            diffs.append((path, "a whole number", got))
        return
    if is_num(ref) and is_num(got):
        if isinstance(ref, float) or isinstance(got, float):
            if bits(ref) != bits(got):
                diffs.append((path, ref, got))
        elif ref != got:
            diffs.append((path, ref, got))
        return
    if type(ref) is not type(got):
        diffs.append((path, ref, got))
        return
    if isinstance(ref, dict):
        for k in ref:
            p = k if not path else path + "." + k
            if k not in got:
                diffs.append((p, ref[k], "<missing>"))
            else:
                compare(p, ref[k], got[k], free, diffs)
        for k in got:
            if k not in ref:
                diffs.append((path + "." + k if path else k, "<absent>", got[k]))
        return
    if isinstance(ref, list):
        if len(ref) != len(got):
            diffs.append((path + ".length", len(ref), len(got)))
        for i in range(min(len(ref), len(got))):
            compare("%s[%d]" % (path, i), ref[i], got[i], free, diffs)
        return
    if ref != got:
        diffs.append((path, ref, got))


def run(cmd):
    t = time.monotonic()
    p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace"), time.monotonic() - t


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    cli, args = argv[0], argv[1:]
    label = " ".join(args)
    prog = [sys.executable, cli] if cli.endswith(".py") else [cli]
    rc_c, out_c, err_c, t_c = run(prog + ["dump"] + args)
    rc_r, out_r, err_r, t_r = run([sys.executable, REF] + args)
    if rc_r not in (0, 1):
        sys.stderr.write("reference failed (%d): %s\n" % (rc_r, err_r))
        return 2
    if rc_c != rc_r:
        print("DIFF %s: exit status: reference %d, program %d" % (label, rc_r, rc_c))
        print("  reference stderr: %s" % err_r.strip())
        print("  program stderr:   %s" % err_c.strip())
        return 1
    if rc_r == 1:
        problems = []
        # The text of a conversion error is fixed; the wording of the other
        # failures (an impossible date, a chart too large) is the program's own.
        # The program names the file and the line on a second line of its own.
        exact = CONVERT_ERROR.match(err_r.strip())
        if (exact and err_c.strip().split("\n")[0] != err_r.strip()) or not err_c.strip():
            problems.append("error text: reference %r, program %r" % (err_r.strip(), err_c.strip()))
        if out_c:
            problems.append("program wrote %d bytes on stdout" % len(out_c))
        for p in problems:
            print("DIFF %s: %s" % (label, p))
        if not problems:
            print("OK   %s: both fail with %r%s" % (label, err_c.strip(), "" if exact else
                                                   " (reference: %r)" % err_r.strip()))
        return 1 if problems else 0

    ref = json.loads(out_r.decode("utf-8"))
    free = set(ref.pop("_free", []))
    loader = Loader()
    try:
        got = loader.loads(out_c.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as e:
        print("DIFF %s: the program's output is not UTF-8 JSON: %s" % (label, e))
        return 1
    # Sections the reference does not model are left out of the comparison.
    for key in NOT_MODELLED:
        if isinstance(got, dict):
            got.pop(key, None)
    diffs = []
    compare("", ref, got, free, diffs)
    for tok in loader.long_numbers[:MAX_SHOWN]:
        diffs.append(("<number text>", "shortest round-trip form", tok))
    if diffs:
        print("DIFF %s: %d difference(s)%s" % (label, len(diffs),
                                                ", first %d:" % MAX_SHOWN if len(diffs) > MAX_SHOWN else ":"))
        for path, r, g in diffs[:MAX_SHOWN]:
            print("  %s\n    reference: %s\n    program:   %s" % (path, show(r), show(g)))
        return 1
    n_items = ref["QuoteList"]["Count"]
    n_cells = len(ref["PF"]["Cells"]) if ref["PF"] else 0
    print("OK   %s: %d quotes, %d cells, all fields agree (program %.2f s, reference %.2f s)"
          % (label, n_items, n_cells, t_c, t_r))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
