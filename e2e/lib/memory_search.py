#!/usr/bin/env python3
"""Every copy of some texts in a process's readable memory, read from outside
through /proc (under Wine a Windows process is a Linux process):

    memory_search.py PID TEXT...

One line per copy: TEXT, the encoding (8-bit or UTF-16), the address, the
mapping it lies in (its permissions and file or [heap]/[stack]), and the bytes
around it, so that a copy can be traced to what holds it.
"""
import re
import sys

CHUNK = 1 << 24


def readable_regions(pid):
    with open(f"/proc/{pid}/maps") as maps:
        for line in maps:
            fields = line.split(maxsplit=5)
            if fields[1].startswith("r"):
                start, end = (int(x, 16) for x in fields[0].split("-"))
                yield start, end, fields[1] + " " + (fields[5].strip() if len(fields) > 5 else "[anonymous]")


def around(data, at, length):
    shown = data[max(0, at - 24):at + length + 24]
    return "".join(chr(b) if 32 <= b < 127 else "." for b in shown)


def main():
    pid, texts = sys.argv[1], sys.argv[2:]
    needles = [(text, name, text.encode(encoding))
               for text in texts for name, encoding in (("8-bit", "latin-1"), ("UTF-16", "utf-16-le"))]
    overlap = max(len(needle) for _, _, needle in needles)
    with open(f"/proc/{pid}/mem", "rb", 0) as mem:
        for start, end, mapping in readable_regions(pid):
            # In pieces, each overlapping the next by a needle's length.
            for piece in range(start, end, CHUNK):
                try:
                    mem.seek(piece)
                    data = mem.read(min(CHUNK + overlap, end - piece))
                except (OSError, OverflowError, ValueError):
                    break  # [vvar], [vsyscall] and the like
                for text, name, needle in needles:
                    for found in re.finditer(re.escape(needle), data):
                        if found.start() >= CHUNK:
                            continue  # the next piece reports it
                        print(f"{text}\t{name}\t{piece + found.start():#x}\t{mapping}\t"
                              f"{around(data, found.start(), len(needle))}")


main()
