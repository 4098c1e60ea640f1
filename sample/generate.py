#!/usr/bin/env python3
"""Builds the sample product folder: the committed text and settings files, the
sample program padded to the real program's size, and placeholder help files.

The bulk is generated, not committed, and is the same on every run: a fixed-seed
generator, no dates, no file-system order. Its make-up is chosen so that the
payload is about as large as the real product's (about 1.1 MB compressed, 3.5 MB
installed), so that the progress bars visibly move during an installation.

usage: generate.py PROGRAM_EXE SAMPLE_DIR OUT_DIR
"""
import os
import sys

PROGRAM_SIZE = 1774080          # the real program's size: the overlay pads to it
MAIN_HELP_SIZE = 1350000
INTRO_HELP_SIZE = 372000
CALL_TARGETS = 600
STRING_ADDRESSES = 900
SENTENCES = 40
IMPORTS = 120
REPEAT_PERCENT = 8
COPIED = ["readme.txt", "versions.txt", "vorn.ini", "aliases.ini", "popups.ini",
          "servers.ini", "urls.ini"]


class Random:
    """xorshift32: small, fast enough, and the same everywhere."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def below(self, n):
        return self.next() % n


def pseudo_code(size, rng):
    """Bytes that look like 32-bit x86 code and data to a compressor: short
    instruction idioms with varying operands, calls, jumps, some tables."""
    out = bytearray()
    # Calls and pushes go to a limited set of places, as in a real program.
    functions = [rng.below(0x40000) for _ in range(CALL_TARGETS)]
    strings = [0x00400000 + rng.below(0x1B0000) for _ in range(STRING_ADDRESSES)]
    while len(out) < size:
        # one "function"
        out += b"\x55\x8b\xec\x83\xec" + bytes([4 * (1 + rng.below(16))])
        for _ in range(6 + rng.below(40)):
            if len(out) > 4096 and rng.below(100) < REPEAT_PERCENT:
                # compilers repeat themselves: an idiom seen shortly before
                start = len(out) - 64 - rng.below(3000)
                out += out[start:start + 6 + rng.below(30)]
                continue
            kind = rng.below(13)
            slot = 4 * (1 + rng.below(24))
            if kind == 0:
                out += b"\x8b\x45" + bytes([256 - slot])
            elif kind == 1:
                out += b"\x89\x45" + bytes([256 - slot])
            elif kind == 2:
                rel = (len(out) - functions[rng.below(CALL_TARGETS)]) & 0xFFFFFFFF
                out += b"\xe8" + rel.to_bytes(4, "little")
            elif kind == 3:
                out += b"\x68" + strings[rng.below(STRING_ADDRESSES)].to_bytes(4, "little")
            elif kind == 4:
                out += bytes([0x74 + rng.below(2), rng.below(128)])
            elif kind == 5:
                out += b"\x85\xc0"
            elif kind == 6:
                out += b"\x83\xc4" + bytes([4 * (1 + rng.below(6))])
            elif kind == 7:
                out += b"\x8d\x4d" + bytes([256 - slot]) + b"\x51"
            elif kind == 8:
                out += b"\xa1" + (0x00580000 + 4 * rng.below(0x4000)).to_bytes(4, "little")
            elif kind == 9:
                out += bytes([0x50 + rng.below(8)])
            elif kind == 10:
                out += b"\xc7\x45" + bytes([256 - slot]) + rng.below(256).to_bytes(4, "little")
            elif kind == 11:
                out += b"\xff\x15" + strings[rng.below(IMPORTS)].to_bytes(4, "little")
            else:
                out += bytes([rng.below(256)])
        out += b"\x8b\xe5\x5d\xc3" + b"\xcc" * rng.below(4)
        if rng.below(40) == 0:
            # a table of addresses
            base = 0x00400000 + rng.below(0x100000)
            for _ in range(8 + rng.below(24)):
                out += (base + rng.below(0x800)).to_bytes(4, "little")
    return bytes(out[:size])


WORDS = ("the a to of and in is for on with you your channel server nick message "
         "window list menu option dialog press type command network user join part "
         "query away topic mode ban kick log file folder settings alias popup "
         "address connect disconnect select choose open close help text colour font "
         "time status name change show hide").split()


def help_text(size, rng, title):
    """Placeholder help: numbered topics of plain sentences."""
    header = ("%s\r\nPlaceholder help file of the Vorn 6.02 sample build.\r\n\r\n" % title).encode()
    out = bytearray(header)
    # Help text repeats itself a lot: a small stock of sentences, recombined.
    sentences = []
    for _ in range(SENTENCES):
        words = [WORDS[rng.below(len(WORDS))] for _ in range(8 + rng.below(14))]
        sentences.append((" ".join(words).capitalize() + ".\r\n").encode())
    topic = 0
    while len(out) < size:
        topic += 1
        out += ("Topic %d: %s %s\r\n\r\n" % (topic, WORDS[rng.below(len(WORDS))].capitalize(),
                                          WORDS[rng.below(len(WORDS))])).encode()
        for _ in range(2 + rng.below(4)):
            out += sentences[rng.below(SENTENCES)]
        out += b"\r\n"
    return bytes(out[:size])


def write(path, data):
    with open(path, "wb") as output:
        output.write(data)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip().splitlines()[-1])
    program_exe, sample_dir, out_dir = sys.argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    for name in COPIED:
        with open(os.path.join(sample_dir, name), "rb") as source:
            write(os.path.join(out_dir, name), source.read())

    with open(program_exe, "rb") as source:
        program = source.read()
    if len(program) >= PROGRAM_SIZE:
        sys.exit("generate.py: %s is larger than %d bytes" % (program_exe, PROGRAM_SIZE))
    # Windows ignores bytes after the last section of an executable.
    overlay = pseudo_code(PROGRAM_SIZE - len(program), Random(0x56D0602))
    write(os.path.join(out_dir, "vorn.exe"), program + overlay)
    write(os.path.join(out_dir, "vorn.hlp"),
                     help_text(MAIN_HELP_SIZE, Random(0x0602A001), "Vorn Help"))
    write(os.path.join(out_dir, "ircintro.hlp"),
                     help_text(INTRO_HELP_SIZE, Random(0x0602B002), "Introduction to IRC"))


if __name__ == "__main__":
    main()
