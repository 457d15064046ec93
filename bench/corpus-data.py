#!/usr/bin/env python3
"""Writes the benchmark's source trees from fixed seeds.

Every byte comes from SHAKE-256 over a fixed label, so the trees are the same
on every machine and with every Python version.

    corpus-data.py payload DIR [--tiny]   random and text-like files
    corpus-data.py many DIR [--tiny]      many small files in nested folders
"""
import argparse
import hashlib
import os
import sys

MIB = 1024 * 1024
KIB = 1024


def stream(label, size):
    return hashlib.shake_256(b"zorvane-bench/" + label.encode()).digest(size)


class TextMaker:
    """Words and lines with a roughly Zipf-shaped vocabulary, so a compressor
    sees something close to prose rather than noise or a repeated block."""

    def __init__(self, seed):
        letters = b"etaoinshrdlcumwfgypbvkjxqz"
        raw = stream(seed + "/vocabulary", 8192 * 12)
        words = []
        for i in range(8192):
            chunk = raw[i * 12:(i + 1) * 12]
            length = 2 + chunk[0] % 9
            # Skewed towards the common letters, as in real text.
            words.append(bytes(letters[b * b * 26 // 65536] for b in chunk[1:1 + length]).decode())
        # 65,536 slots; rank r gets about 1/r of them, and some slots end a
        # clause or a line so the text has punctuation and line breaks.
        total = sum(1.0 / r for r in range(1, len(words) + 1))
        table, share = [], 0.0
        for rank, word in enumerate(words, start=1):
            share += 1.0 / rank
            table.extend([word] * (min(65536, int(65536 * share / total + 0.5)) - len(table)))
        table.extend([words[-1]] * (65536 - len(table)))
        marks = stream(seed + "/marks", len(table))
        for i, mark in enumerate(marks):
            if mark < 18:
                table[i] += ".\n"
            elif mark < 40:
                table[i] += ","
        self.table = table
        self.seed = seed

    def text(self, label, size):
        # Two bytes pick one word; a word with its space is 3 to 13 bytes long.
        parts, have, round_ = [], 0, 0
        while have < size:
            picks = memoryview(stream("%s/%s/%d" % (self.seed, label, round_), (size // 5 + 64) * 2)).cast("H")
            part = " ".join(map(self.table.__getitem__, picks)).replace("\n ", "\n").encode() + b"\n"
            parts.append(part)
            have += len(part)
            round_ += 1
        return b"".join(parts)[:size]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def payload(root, tiny):
    # The pseudo-random files come in slices so that 150 MiB never sits in memory twice.
    random_size = 64 * KIB if tiny else 150 * MIB
    text_size = 32 * KIB if tiny else 50 * MIB
    maker = TextMaker("payload")
    for i in range(1, 4):
        path = os.path.join(root, "payload", "binary", "random-%d.bin" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            step = 16 * MIB
            xof = hashlib.shake_256(b"zorvane-bench/random-%d" % i)
            data = xof.digest(random_size)
            for offset in range(0, random_size, step):
                f.write(data[offset:offset + step])
            del data
    for i in range(1, 4):
        write(os.path.join(root, "payload", "text", "text-%d.txt" % i), maker.text("text-%d" % i, text_size))


def many(root, tiny):
    # 20 × 10 folders of 100 files, or 4 × 2 folders of 5 for the tiny set.
    tops, subs, files = (4, 2, 5) if tiny else (20, 10, 100)
    maker = TextMaker("many")
    count = tops * subs * files
    sizes = memoryview(stream("many/sizes", count * 2)).cast("H")
    n = 0
    for t in range(tops):
        for s in range(subs):
            folder = os.path.join(root, "many", "dir%02d" % t, "sub%d" % s)
            os.makedirs(folder, exist_ok=True)
            for f in range(files):
                size = KIB + sizes[n] % (7 * KIB + 1)
                label = "file-%d" % n
                # One file in four is binary, like the images and objects of a real tree.
                if n % 4 == 3:
                    data, name = stream(label, size), "f%03d.bin" % f
                else:
                    data, name = maker.text(label, size), "f%03d.txt" % f
                with open(os.path.join(folder, name), "wb") as out:
                    out.write(data)
                n += 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["payload", "many"])
    parser.add_argument("root")
    parser.add_argument("--tiny", action="store_true")
    args = parser.parse_args()
    (payload if args.kind == "payload" else many)(args.root, args.tiny)
    return 0


if __name__ == "__main__":
    sys.exit(main())
