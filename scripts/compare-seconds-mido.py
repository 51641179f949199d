#!/usr/bin/python3
"""Compares the Time column of tracklens-dump with the seconds mido gives the same events.

    scripts/compare-seconds-mido.py build/release/cli/tracklens-dump FILE...

For each file of format 0 or 1, mido plays the tracks merged and gives each message its time in
seconds (floating point); tracklens-dump gives each event its time truncated to the millisecond,
computed in integers. Every message's time must match the Time of the rows at its tick to within
one millisecond, which floating point may lose. Needs Debian's python3-mido. Exits 1 on the first
file that differs.
"""

import csv
import subprocess
import sys

import mido


def tracklens_times(dump, path):
    """Time in milliseconds of every event row, by absolute tick."""
    listing = subprocess.run([dump, "--format", "csv", "--columns", "tick,time", path],
                             check=True, capture_output=True, text=True).stdout
    times = {}
    for row in list(csv.reader(listing.splitlines()))[1:]:
        tick, time = row
        if tick == "" or time == "":
            continue
        minutes, rest = time.split(":")
        seconds, millis = rest.split(".")
        times[int(tick)] = (int(minutes) * 60 + int(seconds)) * 1000 + int(millis)
    return times


def mido_times(path):
    """Absolute tick and seconds of every message, the tracks merged."""
    song = mido.MidiFile(path)
    ticks = []
    tick = 0
    for message in mido.merge_tracks(song.tracks):
        tick += message.time
        ticks.append(tick)
    seconds = []
    elapsed = 0.0
    for message in song:
        elapsed += message.time
        seconds.append(elapsed)
    return list(zip(ticks, seconds))


def compare(dump, path):
    ours = tracklens_times(dump, path)
    worst = 0.0
    for tick, seconds in mido_times(path):
        if tick not in ours:
            print(f"{path}: tick {tick} has no row in the listing")
            return False
        difference = abs(ours[tick] - seconds * 1000)
        worst = max(worst, difference)
        if difference >= 1.0:
            print(f"{path}: tick {tick}: tracklens {ours[tick]} ms, mido {seconds * 1000:.3f} ms")
            return False
    print(f"{path}: {len(ours)} ticks agree, largest difference {worst:.3f} ms")
    return True


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    dump = sys.argv[1]
    return 0 if all(compare(dump, path) for path in sys.argv[2:]) else 1


if __name__ == "__main__":
    sys.exit(main())
