#!/usr/bin/env python3
"""A stand-in for korvala-cli that runs the real program (KORVALA_REAL_CLI) and
spoils one detail of its dump (KORVALA_MUTATION), so that the tests can show
that compare_dump.py notices the smallest differences:

  ulp      the last quote's Close moved by one unit in the last place
  zero     a 0 written as -0 (the sign of zero)
  cell     the last P&F cell left out
  text     one Memo1 line with a blank more
  digits   FBox written with 17 significant digits (not the shortest form)
"""
import json
import math
import os
import subprocess
import sys

p = subprocess.run([os.environ["KORVALA_REAL_CLI"]] + sys.argv[1:], stdout=subprocess.PIPE)
if p.returncode != 0:
    sys.exit(p.returncode)
d = json.loads(p.stdout.decode("utf-8"))
m = os.environ["KORVALA_MUTATION"]
text = None
if m == "ulp":
    q = d["QuoteList"]["Items"][-1]
    q["Close"] = math.nextafter(float(q["Close"]), math.inf)
elif m == "zero":
    d["QuoteList"]["Items"][0]["Pivot"] = -0.0
elif m == "cell":
    d["PF"]["Cells"].pop()
elif m == "text":
    d["Memo1"][0] += " "
elif m == "digits":
    text = json.dumps(d, ensure_ascii=False).replace(
        '"FBox": %s' % json.dumps(d["FBox"]), '"FBox": %.17g' % d["FBox"], 1)
else:
    sys.exit("unknown mutation " + m)
sys.stdout.write(text if text is not None else json.dumps(d, ensure_ascii=False))
