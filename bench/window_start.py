#!/usr/bin/env python3
"""Whole-process start of the window, as a user sees it: from starting the
program with two project files to the screen showing the window with its
topic list painted (and staying so). Runs the window under its own Xvfb
with settings in a temporary folder, takes screenshots with xwd as fast as
it can (every few tens of milliseconds), and reports the time of the first
screenshot that equals the settled screen, best of several runs.

usage: window_start.py PROGRAM LATEST.qcp HISTORY.qcp [RUNS]
Needs Xvfb and xwd (Debian: xvfb, x11-apps); prints a notice and exits 0
without them.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time


def screen_hash(display):
    shot = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True)
    return hashlib.sha1(shot.stdout).hexdigest() if shot.returncode == 0 else None


def one_run(program, latest, history, display):
    with tempfile.TemporaryDirectory() as settings:
        env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=settings, QT_QPA_PLATFORM="xcb")
        shots = []
        start = time.monotonic()
        window = subprocess.Popen([program, latest, history], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            # Long enough for the open and the first paint to settle.
            while time.monotonic() - start < 4.0:
                shots.append((time.monotonic() - start, screen_hash(display)))
            settled = shots[-1][1]
            # The first moment from which the screen stays as it settled.
            first = shots[-1][0]
            for at, digest in reversed(shots):
                if digest != settled:
                    break
                first = at
            return first
        finally:
            window.kill()
            window.wait()


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    program, latest, history = sys.argv[1:4]
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    if not shutil.which("Xvfb") or not shutil.which("xwd"):
        print("window start: skipped (needs Xvfb and xwd)")
        return 0
    display = ":%d" % (90 + os.getpid() % 100)
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1.0)
        times = [one_run(program, latest, history, display) for _ in range(runs)]
        size = (os.path.getsize(latest) + os.path.getsize(history)) / 1e6
        print("window start to list painted (%.0f MB pair, best of %d): %.2f s  (runs: %s)" %
              (size, runs, min(times), ", ".join("%.2f" % t for t in times)))
    finally:
        server.kill()
        server.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
