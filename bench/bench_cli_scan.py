#!/usr/bin/env python3
# The command-line scan of a generated volume against its floor, warm, medians of runs.
# Rerun (100,000 files): bench/bench_cli_scan.py build-rel --folders 1000 --files 100 --seed 7
# Rerun (a million):     bench/bench_cli_scan.py build-rel --folders 2000 --files 500 --seed 3
# BUILD is a Release build folder holding vesk-cli and vesk-mkvolume. The volume is written
# once under --dir (default /tmp) and kept for later runs; its writing time is printed.
# The floor is one find that prints the size and time of every file and reads every
# media index and database whole. Each run reports wall and CPU (user+sys) seconds; the
# scan also its peak resident size. The machine's load is printed first: other work on
# the machine stretches wall times, so compare CPU times too.
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run(command):
    """Runs a command with its output discarded; wall s, CPU s, peak resident MB."""
    with tempfile.TemporaryFile() as errors:
        start = time.monotonic()
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.monotonic() - start
        child.returncode = os.waitstatus_to_exitcode(status)  # reaped here, not by Popen
        if child.returncode != 0:
            errors.seek(0)
            sys.exit("%s failed: %s" % (command[0], errors.read().decode(errors="replace")))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


def median_of(runs, label):
    wall = statistics.median(r[0] for r in runs)
    cpu = statistics.median(r[1] for r in runs)
    rss = max(r[2] for r in runs)
    print("%-6s wall %7.2f s  CPU %7.2f s  peak %6.0f MB  (walls: %s)"
          % (label, wall, cpu, rss, " ".join("%.2f" % r[0] for r in runs)))
    return wall, cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--folders", type=int, default=1000)
    parser.add_argument("--files", type=int, default=100)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--dir", default="/tmp")
    args = parser.parse_args()
    cli = os.path.join(args.build, "cli", "vesk-cli")
    volume = os.path.join(args.dir, "vesk-bench-%dx%d-s%d" % (args.folders, args.files, args.seed))
    print("load average: %.2f %.2f %.2f" % os.getloadavg())
    if not os.path.isdir(volume):
        mkvolume = os.path.join(args.build, "tools", "vesk-mkvolume")
        wall, cpu, _ = run([mkvolume, volume + ".part", "--folders", str(args.folders),
                            "--files", str(args.files), "--seed", str(args.seed)])
        os.rename(volume + ".part", volume)
        print("wrote %s: wall %.2f s, CPU %.2f s" % (volume, wall, cpu))
    floor = ["find", volume, "-type", "f", "-printf", "%s %T@ %p\n", "(", "-name", "*.pmr", "-o",
             "-name", "*.mdb", ")", "-exec", "cat", "{}", "+"]
    scan = [cli, "scan", "--summary", volume]
    run(floor)  # warm the caches
    run(scan)
    floors, scans = [], []
    for _ in range(args.runs):
        floors.append(run(floor))
        scans.append(run(scan))
    floor_wall, floor_cpu = median_of(floors, "floor")
    scan_wall, scan_cpu = median_of(scans, "scan")
    print("scan / floor: wall %.2fx, CPU %.2fx" % (scan_wall / floor_wall, scan_cpu / floor_cpu))


if __name__ == "__main__":
    main()
