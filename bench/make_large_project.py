#!/usr/bin/env python3
"""Writes a project of ordinary lines, about SIZE_MB megabytes, for load and save benchmarks.

    bench/make_large_project.py TEMPLATE.ovp SIZE_MB OUT.ovp

TEMPLATE is any project (orthovane-cli new gives one); its top-level tree is replaced by one
group of lines, each a short segment on a grid so that the scene has a sensible extent.
"""
import sys

LINE = """    Child{n} = {{
      Name = Line {n}
      NodeType = 1
      Hidden = 0
      ShowVanishPoint = 0
      RotateX = 0
      RotateY = 0
      RotateZ = 0
      Line = {{
        StartPoint = {{
          x = {x}
          y = {y}
          z = 0
        }}
        EndPoint = {{
          x = {x}
          y = {y}
          z = 1.5
        }}
      }}
    }}
"""


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    template, size_mb, out = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    text = open(template, encoding="utf-8", newline="").read().replace("\r\n", "\n")
    start = text.index("Tree = {")
    end = text.index("\n}\n", start) + 3
    one = len(LINE.format(n=100000, x=1.25, y=2.5))
    count = max(1, int(size_mb * 1e6 / one))
    with open(out, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(text[:start])
        f.write("Tree = {\n  Name = Lines\n  NodeType = 0\n  Hidden = 0\n  ShowVanishPoint = 0\n"
                "  RotateX = 0\n  RotateY = 0\n  RotateZ = 0\n  ChildCount = %d\n" % count)
        for n in range(1, count + 1):
            f.write(LINE.format(n=n, x=(n % 1000) * 0.01, y=(n // 1000) * 0.01))
        f.write("}\n")
        f.write(text[end:])


main()
