#!/usr/bin/env python3
"""The game beside a bare SDL2 + OpenGL program (bench/bare_sdl_floor.cpp), run interleaved.

Each round runs every measure once for the game and once for the floor, alternating which goes first;
the figures printed are medians over the rounds, with the floor's and their ratio. CPU is the process's
user + system time over wall time (all its threads; one core = 100 %), peak memory its VmHWM. The
start is timed twice: from exec to the end of a run of 7 frames, and from exec until the first title
frame is on the screen (a pixel of the screen read until it shows the title picture; for the floor,
its first black frame on the white screen). The floor drawing one textured quad (--textured) shows
what the software GL itself needs as soon as any texel is drawn. Runs its
own virtual X servers (Xvfb) on displays :71 to :73; the window is measured on a 1024 x 768 screen,
where it opens at 1x (640 x 480). Needs a build (scripts/build.sh default).

    python3 bench/compare_with_floor.py [--rounds 3] [--seconds 8]
"""
import argparse
import ctypes
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(os.path.dirname(HERE), "build")
GAME = os.path.join(BUILD, "brillora")
FLOOR = os.path.join(BUILD, "bench", "bare_sdl_floor")
BENCH = os.path.join(BUILD, "bench", "play_frames_bench")
TICKS = os.sysconf("SC_CLK_TCK")
# Start-up frames the game shows before its first title frame, on its own schedule: "Loading...", and
# the five frames of the screen mode switch, at 60 frames per second.
STARTUP_FRAMES_MS = 6 * 1000.0 / 60.0
# Where the first frames are watched for on the screen, in window pixels: a point of the title picture
# that the start-up frames leave black, and the picture's colour there; the floor clears to black.
PROBE = (100, 440)
TITLE_COLOUR = 0x3A2357
FLOOR_COLOUR = 0x000000


class ScreenWatch:
    """Reads single pixels of an X screen (the windows open centred on it)."""

    def __init__(self, display, width, height):
        x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.c_void_p
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XGetPixel.restype = ctypes.c_ulong
        x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x = x
        self.dpy = x.XOpenDisplay(display.encode())
        self.root = x.XDefaultRootWindow(self.dpy)
        self.at = ((width - 640) // 2 + PROBE[0], (height - 480) // 2 + PROBE[1])

    def pixel(self):
        image = self.x.XGetImage(self.dpy, self.root, self.at[0], self.at[1], 1, 1, 0xFFFFFFFF, 2)
        if not image:
            return None
        value = self.x.XGetPixel(image, 0, 0) & 0xFFFFFF
        self.x.XDestroyImage(image)
        return value


def first_frame_ms(cmd, display, watch, colour, timeout=10.0):
    """Milliseconds from exec until the watched pixel shows `colour`, then the program is let run to its
    end; NaN if it never does."""
    t0 = time.monotonic()
    p = subprocess.Popen(cmd, env=display.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    seen = float("nan")
    while time.monotonic() - t0 < timeout:
        if watch.pixel() == colour:
            seen = 1000.0 * (time.monotonic() - t0)
            break
        if p.poll() is not None:
            break
        time.sleep(0.0005)
    p.wait()
    return seen


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def peak_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


class Display:
    def __init__(self, number, size):
        self.name = f":{number}"
        self.size = tuple(int(v) for v in size.split("x"))
        # A white root, so that the floor's black first frame shows where no window was before.
        self.proc = subprocess.Popen(["Xvfb", self.name, "-screen", "0", f"{size}x24", "-nolisten", "tcp", "-wr"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)

    def env(self):
        e = dict(os.environ)
        e["DISPLAY"] = self.name
        return e

    def close(self):
        self.proc.terminate()
        self.proc.wait()


def idle(cmd, display, warm, seconds):
    """CPU share of an idle screen over `seconds` after `warm` seconds, and the peak memory."""
    p = subprocess.Popen(cmd, env=display.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(warm)
        c0, t0 = cpu_seconds(p.pid), time.monotonic()
        time.sleep(seconds)
        c1, t1 = cpu_seconds(p.pid), time.monotonic()
        return 100.0 * (c1 - c0) / (t1 - t0), peak_mib(p.pid)
    finally:
        p.terminate()
        p.wait()


def timed_with_cpu(cmd, display=None):
    """Wall and CPU (user + system, all threads) milliseconds from exec to exit. On a shared machine the
    CPU figure holds where the wall figure waits for other work."""
    t0 = time.monotonic()
    p = subprocess.Popen(cmd, env=display.env() if display else None, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(p.pid, 0)
    p.returncode = 0
    return 1000.0 * (time.monotonic() - t0), 1000.0 * (usage.ru_utime + usage.ru_stime)


def media_floor():
    """Wall and CPU milliseconds of reading and decoding all media once, in process."""
    out = subprocess.run([BENCH, "--benchmark_filter=ReadAndDecodeAllMedia", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True).stdout
    b = json.loads(out)["benchmarks"][0]
    return b["real_time"], b["cpu_time"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--seconds", type=float, default=8.0)
    args = ap.parse_args()

    data = tempfile.mkdtemp(prefix="brillora-floor-")
    os.makedirs(os.path.join(data, "Maps"))
    for name in ("Graphic.kpq", "smalfont.bmp"):
        shutil.copy(os.path.join(BUILD, name), data)
    for name in os.listdir(os.path.join(BUILD, "Maps")):
        shutil.copy(os.path.join(BUILD, "Maps", name), os.path.join(data, "Maps"))

    game = [GAME, "--data", data]
    results = {}

    def add(key, game_value, floor_value):
        results.setdefault(key, ([], []))
        results[key][0].append(game_value)
        results[key][1].append(floor_value)

    window = Display(73, "1024x768")
    watch = ScreenWatch(window.name, *window.size)
    small = Display(71, "1280x1024")
    large = Display(72, "1920x1080")
    try:
        for r in range(args.rounds):
            game_first = r % 2 == 0
            for key, display, g_cmd, f_cmd in (
                ("idle title, 640 x 480 window, % of a core", window, game + ["--windowed"], [FLOOR]),
                ("idle title, 1280 x 1024 full screen, % of a core", small, game, [FLOOR, "--fullscreen"]),
                ("idle title, 1920 x 1080 full screen, % of a core", large, game, [FLOOR, "--fullscreen"]),
            ):
                runs = [(g_cmd, 3.0), (f_cmd, 1.0)]
                if not game_first:
                    runs.reverse()
                textured = f_cmd + ["--textured"]
                if "640" in key:
                    runs.append((textured, 1.0))
                measured = {tuple(c): idle(c, display, w, args.seconds) for c, w in runs}
                g, f = measured[tuple(g_cmd)], measured[tuple(f_cmd)]
                add(key, g[0], f[0])
                if "640" in key:
                    t = measured[tuple(textured)]
                    add("peak memory, 640 x 480 window, MiB", g[1], f[1])
                    add("  beside the floor drawing one textured quad, MiB", g[1], t[1])
                    add("CPU per idle frame at 26 fps, ms", g[0] / 100 * 1000 / 26, f[0] / 100 * 1000 / 26)
            pair = [(game + ["--windowed", "--frames", "7"], True), ([FLOOR, "--frames", "1"], False)]
            if not game_first:
                pair.reverse()
            t = {is_game: timed_with_cpu(c, window) for c, is_game in pair}
            add("exec to first title frame, windowed, ms", t[True][0], t[False][0])
            add("  the same without the 6 start-up frames' schedule, ms", t[True][0] - STARTUP_FRAMES_MS,
                t[False][0])
            add("  CPU time of the windowed start, ms", t[True][1], t[False][1])
            textured = timed_with_cpu([FLOOR, "--textured", "--frames", "1"], window)
            add("  CPU time beside the floor drawing one textured quad, ms", t[True][1], textured[1])
            # The same start watched on the screen: exec until the first title frame (the floor's first
            # frame) is there, without the end of the program.
            # (the floor's first frame stays up for a period: a window that closes at once may be missed)
            pair = [(game + ["--windowed", "--frames", "30"], True), ([FLOOR, "--frames", "3"], False)]
            if not game_first:
                pair.reverse()
            seen = {g: first_frame_ms(c, window, watch, TITLE_COLOUR if g else FLOOR_COLOUR) for c, g in pair}
            add("exec to first title frame on the screen, windowed, ms", seen[True], seen[False])
            add("  the same without the 6 start-up frames' schedule (on the screen), ms",
                seen[True] - STARTUP_FRAMES_MS, seen[False])
            headless = timed_with_cpu(game + ["--headless", "--frames", "7"])
            media = media_floor()
            add("headless start-up (--frames 7) vs reading + decoding the media, ms", headless[0], media[0])
            add("  CPU time of the headless start vs the media's, ms", headless[1], media[1])
    finally:
        window.close()
        small.close()
        large.close()
        shutil.rmtree(data, ignore_errors=True)

    print(f"{'measure':<70} {'game':>9} {'floor':>9} {'ratio':>7}")
    for key, (g, f) in results.items():
        gm, fm = statistics.median(g), statistics.median(f)
        ratio = gm / fm if fm else float("nan")
        print(f"{key:<70} {gm:9.2f} {fm:9.2f} {ratio:7.2f}")
        print(f"{'  rounds':<70} {' '.join(f'{x:.1f}' for x in g)} | {' '.join(f'{x:.1f}' for x in f)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
