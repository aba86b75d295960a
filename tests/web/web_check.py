#!/usr/bin/python3
"""The browser build played in headless Chromium, beside the native program.

1. Solution replays played through the page (unpaced) end in the same game state as the native program's
   headless run of the same replays (their --dump), and the records they save are the native ones.
2. The records outlive the page: loaded again, the page reads them back from IndexedDB.
3. A hidden page pauses the game, and it goes on when the page is shown again; Alt+Enter, F11 and the
   page's button switch full screen (the picture scaled to the screen), and Alt+Enter starts nothing.
4. A player at twice the size: keys lead to the name entry, clicks on the scaled canvas spell a name,
   and leaving by GOHOME saves it (the pointer goes through the canvas's scale).
5. The title menu: the page's own screenshot (--screenshot, read back from the canvas) and Chromium's
   capture of the canvas as a player sees it match the native program's picture pixel for pixel.

    tests/web/web_check.py BUILD_WEB NATIVE_BUILD [--levels 1,8] [--figures FILE]

Run it under an X server (xvfb-run): the page's WebGL and the native program draw with the same OpenGL.
Needs python3-selenium, chromium and chromium-driver (Debian packages). Exits 77 (skipped) when one of
them is missing.
"""
import argparse
import filecmp
import functools
import http.server
import io
import json
import os
import shutil
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
RECORDS_IN_PAGE = "/home/web_user/.local/share/brillora/Maps"
# The title menu after start-up: its box steps through eight pictures, one a frame.
TITLE_FRAME = 40
BOX_FRAMES = 8

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def rgb_pixels(png_bytes):
    """The picture's pixels as raw RGB (through ImageMagick, which reads any PNG)."""
    out = subprocess.run(["convert", "png:-", "-alpha", "off", "-depth", "8", "rgb:-"], input=png_bytes,
                         capture_output=True, check=True).stdout
    size = subprocess.run(["identify", "-format", "%w %h", "png:-"], input=png_bytes, capture_output=True,
                          check=True).stdout.decode().split()
    return (int(size[0]), int(size[1])), out


def differing_pixels(a, b):
    (size_a, pix_a), (size_b, pix_b) = a, b
    if size_a != size_b:
        return -1
    return sum(1 for i in range(0, len(pix_a), 3) if pix_a[i:i + 3] != pix_b[i:i + 3])


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    # WebGL on the machine's own OpenGL (the X server's, through ANGLE), the same one the native pictures
    # are drawn with: Chromium's software renderer filters scaled pictures a few levels differently.
    gl = os.environ.get("BRILLORA_WEB_GL", "--use-angle=gl --ignore-gpu-blocklist").split()
    for flag in ["--headless=new", "--no-sandbox", "--window-size=1000,800", "--force-device-scale-factor=1",
                 "--hide-scrollbars", f"--user-data-dir={profile}"] + gl:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)


def page_url(server, args=(), unpaced=False):
    from urllib.parse import urlencode
    query = [("arg", a) for a in args] + ([("unpaced", "1")] if unpaced else [])
    return f"http://127.0.0.1:{server.server_address[1]}/brillora.html?" + urlencode(query)


def fresh_storage(driver, server):
    """Forgets the page's stored records, as for a player who opens it the first time."""
    driver.get("about:blank")
    driver.execute_cdp_cmd("Storage.clearDataForOrigin", {
        "origin": f"http://127.0.0.1:{server.server_address[1]}", "storageTypes": "indexeddb"})


def wait_for(driver, script, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.1)
    output = driver.execute_script("return Module.brillora ? Module.brillora.output : []")
    fail(f"{what} within {seconds} s; the page printed: {output[-20:]}")


def read_page_file(driver, path):
    data = driver.execute_script(
        "try { return Array.from(FS.readFile(arguments[0])); } catch (e) { return null; }", path)
    return None if data is None else bytes(data)


def native_game_folder(stage, into):
    """A game folder for the native program with the page's data (fresh records, loose media)."""
    shutil.rmtree(into, ignore_errors=True)
    shutil.copytree(stage, into)
    return into


def run_native(native_build, folder, args):
    env = dict(os.environ)
    cmd = [os.path.join(native_build, "brillora"), "--data", folder] + args
    result = subprocess.run(cmd, capture_output=True, text=True, env=env, timeout=300)
    if result.returncode != 0:
        fail(f"the native program failed ({result.returncode}): {' '.join(cmd)}\n{result.stderr}")
    return result


def check_replays(driver, server, web, native_build, levels, work, figures):
    stage = os.path.join(web, "game")
    for n in levels:
        replay = f"level{n:02d}.rpl"
        folder = native_game_folder(stage, os.path.join(work, f"native{n:02d}"))
        native_dump = os.path.join(work, f"native{n:02d}.json")
        run_native(native_build, folder, ["--headless", "--play", os.path.join(folder, "replays", replay),
                                          "--dump", native_dump])
        # A fresh page (its own IndexedDB is empty before the first level: the records start as shipped).
        fresh_storage(driver, server)
        started = time.time()
        driver.get(page_url(server, ["--play", f"/game/replays/{replay}", "--dump", "/tmp/dump.json"],
                            unpaced=True))
        wait_for(driver, "return Module.brillora && Module.brillora.exited", 600, f"the replay {replay} to end")
        seconds = time.time() - started
        status = driver.execute_script("return Module.brillora.exitStatus")
        if status != 0:
            fail(f"{replay}: the page's game ended with {status}")
        web_dump = read_page_file(driver, "/tmp/dump.json")
        if web_dump is None:
            fail(f"{replay}: the page wrote no dump")
        with open(native_dump, "rb") as f:
            native = f.read()
        if web_dump != native:
            with open(os.path.join(work, f"web{n:02d}.json"), "wb") as f:
                f.write(web_dump)
            fail(f"{replay}: the page's final state differs from the native one (both kept in {work})")
        frames = json.loads(native)["frames"]
        print(f"ok: {replay} in the page ends as natively ({frames} frames in {seconds:.1f} s)")
        figures[f"replay {replay} seconds"] = round(seconds, 1)
        # The save at the level's end reached IndexedDB and holds what the native program saved.
        wait_for(driver, "return Module.brillora.recordsStored > 0 && !Module.brillora.recordsSyncing", 30,
                 "the records to be stored")
        for name in ("Data.bin", "Name.bin"):
            if read_page_file(driver, f"{RECORDS_IN_PAGE}/{name}") != open(os.path.join(folder, "Maps", name), "rb").read():
                fail(f"{replay}: the page's {name} differs from the native program's")
        # Loaded again, the page starts with those records.
        driver.get(page_url(server, ["--frames", "5"], unpaced=True))
        wait_for(driver, "return Module.brillora && Module.brillora.exited", 120, "the page to start again")
        for name in ("Data.bin", "Name.bin"):
            if read_page_file(driver, f"{RECORDS_IN_PAGE}/{name}") != open(os.path.join(folder, "Maps", name), "rb").read():
                fail(f"{replay}: the page loaded again lost {name}")
        print(f"ok: {replay}: the records were saved as natively and read back by the page loaded again")


def process_tree(pid):
    """pid and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except OSError:
                pass
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(children.get(p, []))
    return found


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        except OSError:
            pass
    return total


def idle_cpu_share(driver, seconds):
    """CPU of the browser (every process of it) while the page shows the title menu, in % of one core."""
    pids = process_tree(driver.service.process.pid)
    before, started = cpu_seconds(pids), time.time()
    time.sleep(seconds)
    return round(100 * (cpu_seconds(pids) - before) / (time.time() - started), 1)


def check_title(driver, server, web, native_build, work, figures, measure_cpu):
    stage = os.path.join(web, "game")
    folder = native_game_folder(stage, os.path.join(work, "native-title"))
    natives = []
    for k in range(BOX_FRAMES):
        shot = os.path.join(work, f"native-title{k}.png")
        run_native(native_build, folder, ["--windowed", "--seed", "1", "--frames", str(TITLE_FRAME + k),
                                          "--screenshot", shot])
        with open(shot, "rb") as f:
            natives.append(rgb_pixels(f.read()))

    # The page's own picture of the same frame.
    fresh_storage(driver, server)
    driver.get(page_url(server, ["--seed", "1", "--frames", str(TITLE_FRAME), "--screenshot", "/tmp/title.png"],
                        unpaced=True))
    wait_for(driver, "return Module.brillora && Module.brillora.exited", 120, "the title run to end")
    shot = read_page_file(driver, "/tmp/title.png")
    if shot is None:
        fail("the page saved no screenshot: " + str(driver.execute_script("return Module.brillora.output")))
    with open(os.path.join(work, "web-title.png"), "wb") as f:
        f.write(shot)
    diff = differing_pixels(rgb_pixels(shot), natives[0])
    if diff != 0:
        fail(f"the page's title picture differs from the native one in {diff} pixels (see {work})")
    print("ok: the page's title picture (--screenshot) matches the native one pixel for pixel")

    # What a player sees: the live page, captured by the browser. The box moves, so the capture must
    # equal one of its eight native pictures. The time until it first does is the start-up time.
    fresh_storage(driver, server)
    driver.get(page_url(server, ["--seed", "1"]))
    begun = driver.execute_script("return performance.timeOrigin")
    canvas = driver.find_element(By.ID, "canvas")
    end = time.time() + 60
    matched = None
    best = None
    while time.time() < end and matched is None:
        captured = canvas.screenshot_as_png
        at = driver.execute_script("return performance.timeOrigin + performance.now()")
        pixels = rgb_pixels(captured)
        for k, native in enumerate(natives):
            d = differing_pixels(pixels, native)
            if d == 0:
                matched = (k, at - begun)
                break
            if d > 0 and (best is None or d < best[0]):
                best = (d, captured)
    if matched is None:
        if best:
            with open(os.path.join(work, "web-live-title.png"), "wb") as f:
                f.write(best[1])
        fail(f"the live page never showed the native title picture (closest: {best and best[0]} pixels differ)")
    with open(os.path.join(work, "web-live-title.png"), "wb") as f:
        f.write(canvas.screenshot_as_png)
    print(f"ok: the live page shows the native title picture (box frame {matched[0]}), "
          f"{matched[1] / 1000:.2f} s after the page was opened")
    figures["start-up to the title menu (s)"] = round(matched[1] / 1000, 2)
    if measure_cpu:
        figures["idle title CPU, all Chromium processes (% of one core)"] = idle_cpu_share(driver, 10)
    figures["start-up to Init OK (s)"] = round(driver.execute_script("return Module.brillora.startMs") / 1000, 2)


def check_pause(driver, server):
    fresh_storage(driver, server)
    driver.get(page_url(server, ["--seed", "1"]))
    wait_for(driver, "return Module.brillora && Module.brillora.frames > 30", 60, "the title menu")
    # The page as the browser leaves it when its tab goes to the background.
    show = """Object.defineProperty(document, 'hidden', {configurable: true, get: () => arguments[0]});
              Object.defineProperty(document, 'visibilityState', {configurable: true,
                                    get: () => arguments[0] ? 'hidden' : 'visible'});
              document.dispatchEvent(new Event('visibilitychange'));"""
    frames = "return Module.brillora.frames"
    driver.execute_script(show, True)
    time.sleep(0.5)
    hidden_from = driver.execute_script(frames)
    time.sleep(1.5)
    hidden_to = driver.execute_script(frames)
    driver.execute_script(show, False)
    time.sleep(1.5)
    shown = driver.execute_script(frames)
    if hidden_to != hidden_from:
        fail(f"the hidden page went on showing frames ({hidden_from} -> {hidden_to})")
    if shown - hidden_to < 20:
        fail(f"the page shown again did not go on ({hidden_to} -> {shown} frames in 1.5 s)")
    print(f"ok: hidden, the page paused the game; shown again, it went on ({shown - hidden_to} frames in 1.5 s)")

    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    state = """var r = document.getElementById('canvas').getBoundingClientRect();
               return [!!document.fullscreenElement, r.width, r.height, innerWidth, innerHeight]"""

    def expect(full, how):
        time.sleep(1.0)
        is_full, w, h, page_w, page_h = driver.execute_script(state)
        if is_full != full:
            fail(f"{how} left the page {'in' if is_full else 'out of'} full screen")
        scale = min(page_w / 640, page_h / 480)
        if full and (abs(w - 640 * scale) > 1 or abs(h - 480 * scale) > 1):
            fail(f"in full screen the picture is {w} x {h} on a {page_w} x {page_h} screen")
        if not full and (w, h) != (640, 480):
            fail(f"back in the page the picture is {w} x {h}")

    ActionChains(driver).key_down(Keys.ALT).send_keys(Keys.ENTER).key_up(Keys.ALT).perform()
    expect(True, "Alt+Enter")
    ActionChains(driver).send_keys(Keys.F11).perform()
    expect(False, "F11")
    driver.find_element(By.ID, "full").click()
    expect(True, "the page's button")
    # The button lies outside the full-screen picture: the keys bring the page back.
    ActionChains(driver).key_down(Keys.ALT).send_keys(Keys.ENTER).key_up(Keys.ALT).perform()
    expect(False, "Alt+Enter after the page's button")
    if driver.execute_script("return Module.brillora.exited") or driver.execute_script(frames) < 60:
        fail("the game did not stay on the title menu through the full-screen switches")
    print("ok: Alt+Enter, F11 and the page's button switch full screen, the picture scaled to the screen")


def check_player(driver, server, work):
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    fresh_storage(driver, server)
    driver.set_window_size(1500, 1250)
    try:
        driver.get(page_url(server, ["--seed", "1"]))
        wait_for(driver, "return Module.brillora && Module.brillora.frames > 30", 60, "the title menu")
        canvas = driver.find_element(By.ID, "canvas")
        size = driver.execute_script("var r = arguments[0].getBoundingClientRect(); return [r.width, r.height]",
                                     canvas)
        if size != [1280, 960]:
            fail(f"the canvas is shown at {size}, not at twice the picture (page "
                 f"{driver.execute_script('return [innerWidth, innerHeight]')})")
        scale = size[0] / 640

        def press(key, times=1):
            for _ in range(times):
                ActionChains(driver).send_keys(key).perform()
                time.sleep(0.6)  # the box takes 8 frames to move to the next line

        def click(px, py):
            # Selenium measures from the element's centre, in CSS pixels.
            ActionChains(driver).move_to_element_with_offset(
                canvas, int(px * scale - size[0] / 2), int(py * scale - size[1] / 2)).click().perform()
            time.sleep(0.3)

        press(Keys.ARROW_UP, 2)  # from LEVELS to PLAYER
        press(Keys.RETURN)
        time.sleep(0.5)
        # Letters are 32 x 32 cells from (128, 128): B is column 1 of the first row, O column 1 of the second.
        for px, py in ((176, 144), (176, 176), (176, 144)):
            click(px, py)
        with open(os.path.join(work, "web-name-entry.png"), "wb") as f:
            f.write(canvas.screenshot_as_png)
        click(496, 208)  # OK
        time.sleep(0.5)
        press(Keys.ARROW_DOWN, 3)  # to GOHOME, which saves the name and ends the game
        with open(os.path.join(work, "web-gohome.png"), "wb") as f:
            f.write(canvas.screenshot_as_png)
        press(Keys.RETURN)
        wait_for(driver, "return Module.brillora.exited", 30, "GOHOME to end the game")
        wait_for(driver, "return Module.brillora.recordsStored > 0 && !Module.brillora.recordsSyncing", 30,
                 "the name to be stored")
        player = read_page_file(driver, f"{RECORDS_IN_PAGE}/Player.bin")
        if not player or not player.startswith(b"BOB"):
            fail(f"the name clicked on the scaled page was saved as {player!r}, not BOB")
        print("ok: keys and clicks on the page at twice the size spelled BOB, and GOHOME saved it")
    finally:
        driver.set_window_size(1000, 800)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("web")
    parser.add_argument("native")
    parser.add_argument("--levels", default="1,8")
    parser.add_argument("--figures")
    parser.add_argument("--keep", help="folder to keep the pictures and dumps in")
    a = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        fail("no X server: run this under xvfb-run")
    for tool in ("chromium", "chromedriver", "convert"):
        if not shutil.which(tool):
            print(f"skipped: {tool} is not installed")
            sys.exit(SKIP)
    for need in ("brillora.html", "brillora.js", "brillora.wasm", "brillora.data", "game"):
        if not os.path.exists(os.path.join(a.web, need)):
            fail(f"{a.web}/{need} is missing (bash scripts/web.sh)")
    work = a.keep or tempfile.mkdtemp(prefix="brillora-web-")
    os.makedirs(work, exist_ok=True)
    profile = tempfile.mkdtemp(prefix="brillora-chromium-")
    server = serve(a.web)
    driver = start_browser(profile)
    figures = {}
    try:
        check_title(driver, server, a.web, a.native, work, figures, bool(a.figures))
        check_pause(driver, server)
        check_player(driver, server, work)
        check_replays(driver, server, a.web, a.native, [int(n) for n in a.levels.split(",")], work, figures)
        logs = [e for e in driver.get_log("browser") if e.get("level") == "SEVERE"]
        if logs:
            fail("the page logged errors: " + "; ".join(e["message"] for e in logs[:5]))
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
        if not a.keep:
            shutil.rmtree(work, ignore_errors=True)
    if a.figures:
        with open(a.figures, "w") as f:
            json.dump(figures, f, indent=1)
    print("web check passed")


if __name__ == "__main__":
    main()
