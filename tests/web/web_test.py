#!/usr/bin/python3
"""The page played in headless Chromium.

The page is served on 127.0.0.1; a fresh browser profile loads it, watches the
intro end, creates a player, reaches the main menu and a level, packs an item,
reloads the page and finds the player again. At each screen the canvas must hold
the same 640 x 480 pixels as the headless host's screen of the same state
(valimo-web-screens writes those and the moves that reach them). The report gives
the page's size, the time from loading to the first intro frame and the CPU the
page's process takes in the main menu.

usage: web_test.py --page build-web --screens build/tests/valimo-web-screens [--out DIR]
"""
import argparse
import base64
import functools
import http.server
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGE_FILES = ["index.html", "files.json", "valimo.js", "valimo.wasm", "valimo.data"]
SIZE_TARGET = 4 * 1024 * 1024
FIRST_FRAME_TARGET_MS = 2000
CPU_TARGET = 10.0


def read_png(path):
    """Width, height and RGB bytes of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is no PNG")
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if depth != 8 or colour not in (2, 6):
        raise ValueError(path + ": only 8-bit RGB or RGBA")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    out = bytearray(height * stride)
    prev = bytearray(stride)
    at = 0
    for y in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out[y * stride:(y + 1) * stride] = line
        prev = line
    if bpp == 4:
        out = bytearray(b for i in range(0, len(out), 4) for b in out[i:i + 3])
    return width, height, bytes(out)


def write_png(path, width, height, rgb):
    rows = b"".join(b"\0" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


CANVAS_RGB = """
var c = document.getElementById('canvas');
if (c.width !== 640) return null;
var d = c.getContext('2d').getImageData(0, 0, 640, 480).data;
var rgb = new Uint8Array(640 * 480 * 3);
for (var i = 0, o = 0; i < d.length; i += 4) { rgb[o++] = d[i]; rgb[o++] = d[i + 1]; rgb[o++] = d[i + 2]; }
var s = '';
for (var k = 0; k < rgb.length; k += 8192) s += String.fromCharCode.apply(null, rgb.subarray(k, k + 8192));
return btoa(s);
"""


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

    def log_message(self, *args):
        pass


def serve(directory):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def browser_processes(root):
    """Every process under the driver's: {pid: command line}."""
    parents, commands = {}, {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                # Chromium rewrites its arguments into one line.
                commands[int(entry)] = f.read().replace(b"\0", b" ")
        except (OSError, IndexError, ValueError):
            continue
    found, todo = {}, [root]
    while todo:
        parent = todo.pop()
        for pid, ppid in parents.items():
            if ppid == parent and pid not in found:
                found[pid] = commands.get(pid, b"")
                todo.append(pid)
    return found


def cpu_share(pids, seconds):
    """Per cent of one core the processes used over the next `seconds`."""
    def ticks():
        total = 0
        for pid in pids:
            try:
                total += cpu_ticks(pid)
            except OSError:
                pass
        return total
    before, start = ticks(), time.time()
    time.sleep(seconds)
    return 100.0 * (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.time() - start)


class PageRun:
    def __init__(self, driver, screens, out):
        self.driver = driver
        self.screens = screens
        self.out = out
        self.broken = []
        self.failures = []
        self.compared = []
        self.last_point = None
        self.order_page = None

    def canvas_rgb(self):
        try:
            text = self.driver.execute_script(CANVAS_RGB)
        except Exception:  # the page is being loaded again
            return None
        return base64.b64decode(text) if text else None

    def point(self, x, y):
        """Moves the page's pointer over picture pixel (x, y)."""
        self.last_point = (x, y)
        r = self.driver.execute_script(
            "var r = document.getElementById('canvas').getBoundingClientRect(); return [r.left, r.top, r.width, r.height];")
        # The first whole client pixel inside picture pixel (x, y): the page need not
        # place the canvas on whole pixels.
        cx = int(math.ceil(r[0] + x * r[2] / 640))
        cy = int(math.ceil(r[1] + y * r[3] / 480))
        # By way of the next pixel: a page loaded again sees no move to where the pointer already is.
        actions = ActionBuilder(self.driver, duration=0)
        actions.pointer_action.move_to_location(cx + 1, cy + 1)
        actions.pointer_action.move_to_location(cx, cy)
        actions.perform()

    def wait_screen(self, name, timeout):
        width, height, want = read_png(os.path.join(self.screens, name + ".png"))
        assert (width, height) == (640, 480)
        end = time.time() + timeout
        got = None
        pointed = time.time()
        while time.time() < end:
            got = self.canvas_rgb()
            if got == want:
                self.compared.append(name)
                return True
            time.sleep(0.1)
            # A page still starting has not seen the pointer arrive: move it again.
            if self.last_point and time.time() - pointed > 1:
                self.point(*self.last_point)
                pointed = time.time()
        differing = -1
        if got:
            differing = sum(1 for i in range(0, len(want), 3) if got[i:i + 3] != want[i:i + 3])
            write_png(os.path.join(self.out, name + "-browser.png"), 640, 480, got)
        self.failures.append("%s: %d of 307200 pixels differ from the headless host's screen" % (name, differing))
        return False

    def play(self, steps_file, first_timeout):
        timeout = first_timeout
        with open(steps_file) as f:
            for line in f:
                word, _, rest = line.strip().partition(" ")
                if word == "move":
                    x, y = map(int, rest.split())
                    self.point(x, y)
                elif word == "click":
                    x, y = map(int, rest.split())
                    self.point(x, y)
                    time.sleep(0.1)
                    ActionChains(self.driver, duration=0).click().perform()
                    time.sleep(0.2)
                elif word == "key":
                    key = {"Escape": Keys.ESCAPE}[rest]
                    ActionChains(self.driver, duration=0).key_down(key).pause(0.08).key_up(key).perform()
                    time.sleep(0.2)
                elif word == "type":
                    for ch in rest:
                        ActionChains(self.driver, duration=0).key_down(ch).pause(0.08).key_up(ch).perform()
                        time.sleep(0.08)
                elif word == "shot":
                    if not self.wait_screen(rest, timeout):
                        return False
                    timeout = 60  # the outro plays before the closing screen
                    yield rest
        return True


def store_text(driver, name):
    return driver.execute_script("try { return FS.readFile('/store/' + arguments[0], {encoding: 'utf8'}); }"
                                 " catch (e) { return null; }", name)


def check_focus(driver, run):
    """The page losing the focus is the window going inactive; back, the game restores."""
    driver.execute_script("window.dispatchEvent(new FocusEvent('blur'));")
    time.sleep(0.5)
    driver.execute_script("window.dispatchEvent(new FocusEvent('focus'));")
    # The game restores 32 frames after it is active again.
    end = time.time() + 10
    while True:
        log = store_text(driver, "valimo.log") or ""
        at = log.find("Window is Minimized\n")
        restored = at >= 0 and log.find("Window is Maximized\n", at) >= 0 and log.find("RestoringGraphics...\n", at) >= 0
        if restored or time.time() > end:
            break
        time.sleep(0.2)
    if not restored:
        run.failures.append("blur and focus did not deactivate, activate and restore the game: %r" % log[-300:])
    elif run.wait_screen("web-player-kept", 10):
        run.compared[-1] += " (again after a restore)"


def check_upload(driver, run, path):
    """An uploaded prefs.dat replaces the kept one whole, and the game reads it as its own."""
    chooser = driver.find_element(By.ID, "file")
    driver.execute_script("arguments[0].hidden = false; window.valimoBeforeUpload = true;", chooser)
    chooser.send_keys(path)
    with open(path) as f:
        wanted = f.read()
    # The page starts again once the file is kept.
    end = time.time() + 30
    while time.time() < end:
        try:
            if driver.execute_script("return !window.valimoBeforeUpload && window.valimoFrames > 0;"):
                break
        except Exception:
            pass
        time.sleep(0.2)
    else:
        run.failures.append("the page did not start again after the upload")
        return
    kept = store_text(driver, "prefs.dat")
    if kept != wanted:
        run.failures.append("after the upload prefs.dat reads %r, not the file's %r" % (kept, wanted))
    run.point(600, 400)
    run.wait_screen("web-uploaded", 60)


def check_full_screen(driver, run, out):
    """The page's link fills the screen; Alt+Enter, which the game never sees, leaves it."""
    driver.find_element(By.ID, "full").click()
    time.sleep(1.5)
    if not driver.execute_script("return !!document.fullscreenElement;"):
        run.failures.append("the page's full-screen link did not fill the screen")
    driver.save_screenshot(os.path.join(out, "page-full-screen.png"))
    ActionChains(driver).key_down(Keys.ALT).send_keys(Keys.ENTER).key_up(Keys.ALT).perform()
    time.sleep(1)
    if driver.execute_script("return !!document.fullscreenElement;"):
        run.failures.append("Alt+Enter did not leave full screen")
        driver.execute_script("document.exitFullscreen();")
        time.sleep(0.5)


def check_order_page(driver, run):
    """"Order Now!" opens the order page beside the game's page, and the game ends."""
    end = time.time() + 10
    opened = said = ""
    while time.time() < end:
        for handle in driver.window_handles[1:]:
            driver.switch_to.window(handle)
            opened = driver.current_url
            driver.close()
        driver.switch_to.window(driver.window_handles[0])
        # A browser that holds the new tab back gets the page's link instead.
        said = driver.execute_script("var a = document.querySelector('#say a'); return a ? a.href : '';")
        if opened.endswith("/order.html") or said.endswith("/order.html"):
            break
        time.sleep(0.3)
    else:
        run.failures.append("\"Order Now!\" opened neither a tab nor a link to order.html (%r, %r)" % (opened, said))
    log = store_text(driver, "valimo.log") or ""
    if "The user clicked Order Game button\n" not in log or not log.endswith("DirectDraw Release\n"):
        run.failures.append("the game did not end after \"Order Now!\": %r" % log[-200:])
    run.order_page = opened or ("a link: " + said)


def wait_for(driver, script, timeout):
    """The script's value once it is true, or its last value after timeout seconds."""
    end = time.time() + timeout
    value = None
    while time.time() < end:
        try:
            value = driver.execute_script(script)
        except Exception:
            value = None
        if value:
            return value
        time.sleep(0.2)
    return value


def check_two_tabs(driver, run, url):
    """One tab plays: a second tab says the game is open in another, and its "Play here"
    moves the game there with the players whole; the first tab says where it went."""
    say = "return document.getElementById('say').textContent;"
    first = driver.current_window_handle
    before = store_text(driver, "prefs.dat")
    driver.switch_to.new_window("tab")
    driver.get(url)
    said = wait_for(driver, "var t = document.getElementById('say').textContent;"
                            " return t.indexOf('open in another tab') >= 0 ? t : null;", 15)
    if not said:
        run.failures.append("a second tab says %r" % driver.execute_script(say))
    if driver.execute_script("return window.valimoFrames || 0;"):
        run.failures.append("a second tab started a second game")
    driver.find_element(By.ID, "play-here").click()
    if not wait_for(driver, "return window.valimoFrames > 0;", 30):
        run.failures.append("\"Play here\" did not start the game in the second tab")
    moved = store_text(driver, "prefs.dat")
    if moved != before:
        run.failures.append("the second tab has the players %r, the first had %r" % (moved, before))
    second = driver.current_window_handle
    driver.switch_to.window(first)
    if "moved to another tab" not in (wait_for(driver, "var t = document.getElementById('say').textContent;"
                                                       " return t.indexOf('moved') >= 0 ? t : null;", 10) or ""):
        run.failures.append("the first tab says %r after the game moved" % driver.execute_script(say))
    # The first tab's game ends in order and presents nothing more.
    time.sleep(2)
    shown = driver.execute_script("return Module.valimoPresented;")
    time.sleep(1)
    if driver.execute_script("return Module.valimoPresented;") != shown:
        run.failures.append("the first tab's game still runs after the game moved")
    driver.switch_to.window(second)
    driver.close()
    driver.switch_to.window(first)
    # A closed tab lets go of the game's lock a moment later; the next check reloads.
    end = time.time() + 10
    while time.time() < end and driver.execute_async_script(
            "var done = arguments[arguments.length - 1];"
            " navigator.locks.query().then(function (q) { done(q.held.length); });"):
        time.sleep(0.2)


def check_storage_refused(driver, run):
    """Without IndexedDB (a private window) the page says so and the game still plays."""
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                           {"source": "Object.defineProperty(window, 'indexedDB', {value: undefined});"})
    driver.refresh()
    end = time.time() + 30
    while time.time() < end:
        try:
            if driver.execute_script("return window.valimoFrames > 0;"):
                break
        except Exception:
            pass
        time.sleep(0.2)
    said = driver.execute_script("return document.getElementById('say').textContent;")
    if "will not be kept" not in said:
        run.failures.append("with storage refused the page says %r" % said)
    run.point(600, 400)
    if run.wait_screen("web-welcome", 60):
        run.compared[-1] += " (storage refused)"


class Stalling(Quiet):
    """Sends the first megabyte of valimo.data, then nothing more: a server that stops answering."""

    def do_GET(self):
        if not self.path.startswith("/valimo.data"):
            return super().do_GET()
        path = os.path.join(self.directory, "valimo.data")
        self.send_response(200)
        self.send_header("Content-Length", str(os.path.getsize(path)))
        self.end_headers()
        with open(path, "rb") as f:
            self.wfile.write(f.read(1 << 20))
        self.wfile.flush()
        time.sleep(30)


def check_broken_downloads(driver, run, page):
    """A page whose files do not arrive whole names the part that failed, offers "Try
    again" and never starts the game: valimo.data cut after 1 MB, damaged in one byte,
    stalled, and valimo.wasm missing. Each is served at an origin of its own."""
    cases = [("cut", "valimo.data", "cut short"), ("damaged", "valimo.data", "damaged"),
             ("missing", "valimo.wasm", "404"), ("stalled", "valimo.data", "stopped arriving")]
    for case, name, words in cases:
        folder = tempfile.mkdtemp(prefix="valimo-web-%s-" % case)
        for f in PAGE_FILES:
            os.symlink(os.path.join(page, f), os.path.join(folder, f))
        if case in ("cut", "damaged"):
            os.unlink(os.path.join(folder, "valimo.data"))
            with open(os.path.join(page, "valimo.data"), "rb") as f:
                data = bytearray(f.read())
            if case == "cut":
                data = data[:1 << 20]
            else:
                data[len(data) // 2] ^= 0xFF
            with open(os.path.join(folder, "valimo.data"), "wb") as f:
                f.write(data)
        if case == "missing":
            os.unlink(os.path.join(folder, "valimo.wasm"))
        handler = Stalling if case == "stalled" else Quiet
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(handler, directory=folder))
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            driver.get("http://127.0.0.1:%d/" % server.server_address[1])
            said = wait_for(driver, "return document.getElementById('try-again') ?"
                                    " document.getElementById('say').textContent : null;", 15)
            if not said or name not in said or words not in said:
                run.failures.append("with %s %s the page says %r" % (case, name, said or
                                    driver.execute_script("return document.getElementById('say').textContent;")))
            driver.save_screenshot(os.path.join(run.out, "page-broken-%s.png" % case))
            run.broken.append("%s %s" % (case, name))
            if driver.execute_script("return !!(window.Module && Module.calledRun) || window.valimoFrames > 0;"):
                run.failures.append("with %s %s the game started" % (case, name))
        finally:
            server.shutdown()
            shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--screens", required=True, help="the valimo-web-screens program")
    parser.add_argument("--out", help="screens and results (default PAGE/test)")
    args = parser.parse_args()
    page = os.path.abspath(args.page)
    out = os.path.abspath(args.out or os.path.join(page, "test"))
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    refs = os.path.join(out, "headless")
    for mode in ("first", "again", "upload"):
        subprocess.run([os.path.abspath(args.screens), refs, mode], check=True, stdout=subprocess.DEVNULL)

    size = sum(os.path.getsize(os.path.join(page, f)) for f in PAGE_FILES)
    server = serve(page)
    url = "http://127.0.0.1:%d/" % server.server_address[1]
    profile = tempfile.mkdtemp(prefix="valimo-web-test-")
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1366,768", "--autoplay-policy=no-user-gesture-required"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    report = {}
    run = PageRun(driver, refs, out)
    try:
        # The page as on a 1366 x 768 screen at one device pixel per CSS pixel.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 1366, "height": 768, "deviceScaleFactor": 1, "mobile": False})
        driver.get(url)
        end = time.time() + 30
        first = None
        while time.time() < end and first is None:
            first = driver.execute_script("return window.valimoFirstFrameAt || null;")
            time.sleep(0.02)
        if first is None:
            run.failures.append("no frame was shown within 30 s")
        else:
            report["first intro frame"] = first
            driver.save_screenshot(os.path.join(out, "page-intro-1366x768.png"))
            # The movie decoded in the page: each sampled frame is one the desktop's decoder made.
            with open(os.path.join(refs, "intro-frames.txt")) as f:
                intro = set(int(line, 16) for line in f if line.strip())
            sampled = matched = 0
            seen = set()
            for _ in range(8):
                rgb = run.canvas_rgb()
                if rgb:
                    sampled += 1
                    matched += zlib.crc32(rgb) in intro
                    seen.add(zlib.crc32(rgb))
                time.sleep(0.25)
            report["intro"] = (matched, sampled, len(seen))
            if len(seen) < 2:
                run.failures.append("the intro did not move in the page")
            if matched != sampled or not sampled:
                run.failures.append("%d of %d intro frames sampled in the page are not the desktop's" %
                                    (sampled - matched, sampled))
            menu_blocks = 0
            for shot in run.play(os.path.join(refs, "steps-first.txt"), 60):
                driver.save_screenshot(os.path.join(out, "page-%s-1366x768.png" % shot))
                if shot == "web-new-player":
                    # The first click started the sound: the mixer's blocks go to Web Audio.
                    report["sound blocks"] = driver.execute_script("return window.valimoSoundBlocks || 0;")
                    if not report["sound blocks"]:
                        run.failures.append("no sound was queued after the first clicks")
                if shot == "web-packed":
                    # The drop's sound wakes the audio that rested through the menu.
                    if driver.execute_script("return window.valimoSoundBlocks || 0;") <= menu_blocks:
                        run.failures.append("no sound was queued for the drop after the audio rested")
                    check_full_screen(driver, run, out)
                if shot == "web-main-menu":
                    processes = browser_processes(driver.service.process.pid)
                    pages = [p for p, cmd in processes.items()
                             if b"--type=renderer" in cmd and b"--extension-process" not in cmd and b"--top-chrome-webui" not in cmd]
                    if not pages:
                        run.failures.append("no page process of the browser was found")
                    frames = driver.execute_script("return Module.valimoPresented;")
                    start = time.time()
                    report["main menu CPU"] = cpu_share(pages, 5)
                    report["main menu fps"] = (driver.execute_script("return Module.valimoPresented;") - frames) / (
                        time.time() - start)
                    report["browser CPU"] = cpu_share(list(processes), 5)
                    # Silent for ten seconds: the audio context rests rather than keep its threads at work.
                    if driver.execute_script("return audio ? audio.state : null;") != "suspended":
                        run.failures.append("the audio context did not rest through the silent main menu")
                    menu_blocks = driver.execute_script("return window.valimoSoundBlocks || 0;")
            check_order_page(driver, run)
            prefs = driver.execute_script("return FS.readFile('/store/prefs.dat', {encoding: 'utf8'});")
            if "maya" not in prefs:
                run.failures.append("prefs.dat in the store lacks the new player: %r" % prefs)
            if not driver.execute_script("return window.valimoPersistAsked === true;"):
                run.failures.append("the page did not ask the browser to keep the first player")
            if not run.failures:
                driver.refresh()
                list(run.play(os.path.join(refs, "steps-again.txt"), 60))
                kept = driver.execute_script("return FS.readFile('/store/prefs.dat', {encoding: 'utf8'});")
                if kept != prefs:
                    run.failures.append("after the reload prefs.dat reads %r, before %r" % (kept, prefs))
                check_focus(driver, run)
                check_upload(driver, run, os.path.join(refs, "upload-prefs.dat"))
                check_two_tabs(driver, run, url)
                check_storage_refused(driver, run)
                check_broken_downloads(driver, run, page)
    finally:
        logs = driver.get_log("browser")
        with open(os.path.join(out, "console.txt"), "w") as f:
            for entry in logs:
                f.write("%s %s\n" % (entry["level"], entry["message"]))
        driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)

    print("Valimo in headless Chromium (%s)" % url)
    if "intro" in report:
        print("  intro frames sampled in the page equal to the headless host's: %d of %d (%d different)" %
              report["intro"])
    print("  screens equal to the headless host's: %s" % (", ".join(run.compared) or "none"))
    print("  page download size: %d bytes (%.2f MB; target at most 4 MB): %s" %
          (size, size / 1048576, "met" if size <= SIZE_TARGET else "MISSED"))
    if "first intro frame" in report:
        ms = report["first intro frame"]
        print("  load to first intro frame: %.0f ms (target at most 2000 ms): %s" %
              (ms, "met" if ms <= FIRST_FRAME_TARGET_MS else "MISSED"))
    if "main menu CPU" in report:
        cpu = report["main menu CPU"]
        print("  page process CPU in the main menu: %.1f%% of a core (target at most 10%%): %s" %
              (cpu, "met" if cpu <= CPU_TARGET else "MISSED"))
        print("  the whole browser meanwhile: %.1f%% of a core; the game ran at %.1f frames a second" %
              (report["browser CPU"], report["main menu fps"]))
    if run.order_page:
        print("  \"Order Now!\" opened %s" % run.order_page)
    if "sound blocks" in report:
        print("  sound: %d blocks of mixed sound queued to Web Audio after the first clicks" % report["sound blocks"])
    if run.broken:
        print("  downloads that did not arrive whole, each named and not started: %s" % ", ".join(run.broken))
    print("  screenshots and the console: %s" % out)
    for failure in run.failures:
        print("FAILED: " + failure)
    return 1 if run.failures else 0


if __name__ == "__main__":
    sys.exit(main())
