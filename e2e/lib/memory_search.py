#!/usr/bin/env python3
"""Every copy of some texts in a process's readable memory, read from outside
through /proc (under Wine a Windows process is a Linux process):

    memory_search.py PID TEXT... [--allow-utf16 TEXT...]

One line per copy: TEXT, the encoding (8-bit or UTF-16), the address, the
mapping it lies in (its permissions and file or [anonymous]), and the bytes
around it, so that a copy can be traced to what holds it. A copy that lies
inside a UTF-16 text given after --allow-utf16 is not reported; there \\x00
stands for a zero character.
"""
import codecs
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
    args = sys.argv[2:]
    split = args.index("--allow-utf16") if "--allow-utf16" in args else len(args)
    needles = [(text, name, text.encode(encoding))
               for text in args[:split] for name, encoding in (("8-bit", "latin-1"), ("UTF-16", "utf-16-le"))]
    allowed = [codecs.decode(text, "unicode_escape").encode("utf-16-le") for text in args[split + 1:]]
    overlap = max(len(needle) for _, _, needle in needles + [("", "", a) for a in allowed])
    with open(f"/proc/{sys.argv[1]}/mem", "rb", 0) as mem:
        for start, end, mapping in readable_regions(sys.argv[1]):
            # In pieces, each overlapping the next by the longest text.
            for piece in range(start, end, CHUNK):
                try:
                    mem.seek(piece)
                    data = mem.read(min(CHUNK + overlap, end - piece))
                except (OSError, OverflowError, ValueError):
                    break  # [vvar], [vsyscall] and the like
                spared = [(m.start(), m.end()) for a in allowed for m in re.finditer(re.escape(a), data)]
                for text, name, needle in needles:
                    for found in re.finditer(re.escape(needle), data):
                        at = found.start()
                        if at >= CHUNK or any(s <= at and found.end() <= e for s, e in spared):
                            continue  # the next piece reports it, or it is allowed
                        print(f"{text}\t{name}\t{piece + at:#x}\t{mapping}\t{around(data, at, len(needle))}")


main()
