#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints how many sound bursts a raw recording holds (signed 16-bit little-endian,
# 48 kHz stereo, as parec records a sink's monitor): runs of 10 ms windows louder
# than a quiet floor, each run after at least 50 ms of quiet.
import array
import math
import sys

WINDOW = 480 * 2  # 10 ms of both channels
FLOOR = 100  # RMS; a sink's silence is 0, the theme's bell about 4000
GAP = 5  # quiet windows that end a burst


def main():
    samples = array.array("h")
    with open(sys.argv[1], "rb") as recording:
        data = recording.read()
    samples.frombytes(data[: len(data) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    bursts, quiet = 0, GAP
    for start in range(0, len(samples) - WINDOW + 1, WINDOW):
        window = samples[start : start + WINDOW]
        if math.sqrt(sum(s * s for s in window) / WINDOW) > FLOOR:
            bursts += quiet >= GAP
            quiet = 0
        else:
            quiet += 1
    print(bursts)


if __name__ == "__main__":
    main()
