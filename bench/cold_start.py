#!/usr/bin/env python3
"""Cold start of corvelle to its first shown window, against a bare Qt window started the same way.

Each round starts the program on a private Xvfb display and polls until its window is mapped and
visible, then ends it; the two programs alternate so drift of the machine's speed hits both alike.
Usage: cold_start.py BUILD_DIR [ROUNDS]
"""
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import e2e_run  # noqa: E402
import xwindow  # noqa: E402


def time_to_window(command, title, cwd, env, attempts=3):
    """Seconds from the start of command until a visible window with title exists. A start whose window
    never shows (seen now and then when the previous one was killed a moment before) is tried again."""
    for _ in range(attempts):
        start = time.monotonic()
        proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            while time.monotonic() - start < 10:
                if xwindow.find_windows(title):
                    return time.monotonic() - start
                time.sleep(0.005)
        finally:
            proc.kill()
            proc.wait()
        time.sleep(0.2)
    raise RuntimeError(f"{command[0]} showed no window in {attempts} tries")


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    display, xvfb = e2e_run.start_display()
    env = dict(os.environ, DISPLAY=display)
    env.pop("QT_QPA_PLATFORM", None)
    os.environ["DISPLAY"] = display
    work = tempfile.mkdtemp(prefix="corvelle-cold-")
    program, bare = [], []
    try:
        for round_number in range(rounds + 1):
            p = time_to_window([str(build / "corvelle")], "^Corvelle 3.0", work, env)
            b = time_to_window([str(build / "bench" / "bench_bare_window")], "^Bare window$", work, env)
            if round_number:  # the first round warms the file cache
                program.append(p)
                bare.append(b)
    finally:
        xvfb.kill()
    ratios = [p / b for p, b in zip(program, bare)]
    print(f"cold start: corvelle {statistics.median(program) * 1000:.0f} ms, bare Qt window "
          f"{statistics.median(bare) * 1000:.0f} ms, ratio {statistics.median(ratios):.2f} (median of {rounds})")


if __name__ == "__main__":
    main()
