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
import hashlib
import http.server
import json
import math
import os
import re
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
LABEL_RGB = bytes((255, 239, 57))  # an item's label, shown while the pointer rests on it
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


def without_pointers(rgb, pointers, size=34):
    """The picture with a square blacked out where the game's arrow stands at each point."""
    if not rgb or not pointers:
        return rgb
    out = bytearray(rgb)
    for px, py in pointers:
        for y in range(max(0, py - 2), min(480, py - 2 + size)):
            x0, x1 = max(0, px - 2), min(640, px - 2 + size)
            out[(y * 640 + x0) * 3:(y * 640 + x1) * 3] = bytes(3 * (x1 - x0))
    return bytes(out)


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

    def wait_screen(self, name, timeout, pointers=()):
        """Until the canvas is the headless host's screen `name`; the squares of the
        game's arrow at each of `pointers` (picture pixels) are left out of both."""
        width, height, want = read_png(os.path.join(self.screens, name + ".png"))
        assert (width, height) == (640, 480)
        want = without_pointers(want, pointers)
        end = time.time() + timeout
        got = None
        pointed = time.time()
        while time.time() < end:
            got = without_pointers(self.canvas_rgb(), pointers)
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


def phone_driver(profile, width, height):
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--autoplay-policy=no-user-gesture-required"]:
        options.add_argument(flag)
    options.add_experimental_option("mobileEmulation", {
        "deviceMetrics": {"width": width, "height": height, "pixelRatio": 3.0, "touch": True},
        "userAgent": "Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) "
                     "Chrome/120.0 Mobile Safari/537.36"})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def rects(driver):
    return driver.execute_script(
        "function r(id) { var b = document.getElementById(id).getBoundingClientRect();"
        " return [b.left, b.top, b.right, b.bottom]; }"
        " return {canvas: r('canvas'), bar: r('bar'), say: r('say'), w: innerWidth, h: innerHeight};")


def overlap(a, b):
    """Whether two client rectangles [left, top, right, bottom] share any area."""
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3] and a[2] > a[0] and a[3] > a[1]


def touch(driver, kind, points):
    """One touch event through the browser's own input, at once: `points` are
    (id, picture x, picture y) of every finger down."""
    c = rects(driver)["canvas"]
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
        {"id": i, "x": c[0] + (x + 0.5) * (c[2] - c[0]) / 640, "y": c[1] + (y + 0.5) * (c[3] - c[1]) / 480}
        for i, x, y in points]})


def tap(driver, x, y):
    """A finger on picture pixel (x, y), lifted there a moment later."""
    touch(driver, "touchStart", [(0, x, y)])
    time.sleep(0.08)
    touch(driver, "touchEnd", [])
    time.sleep(0.4)


def drag(driver, start, end, second=None):
    """A finger pressed on picture pixel `start`, dragged to `end` and lifted there; a
    second finger, when given, touches `second` midway and lifts after the first."""
    touch(driver, "touchStart", [(0, start[0], start[1])])
    others = []
    for i in range(1, 11):
        x, y = start[0] + (end[0] - start[0]) * i // 10, start[1] + (end[1] - start[1]) * i // 10
        if second and i == 5:
            others = [(1, second[0], second[1])]
            touch(driver, "touchStart", [(0, x, y)] + others)
        elif others:
            others = [(1, others[0][1] + 4, others[0][2] + 4)]
        touch(driver, "touchMove", [(0, x, y)] + others)
        time.sleep(0.03)
    touch(driver, "touchEnd", others)
    time.sleep(0.2)
    if others:
        touch(driver, "touchEnd", [])
    time.sleep(0.4)


def check_phone(url, refs, out, failures):
    """A first run on a phone (390 x 844 at 3x, touch): the picture fills the width, the
    box opens the phone's keyboard through the page's input, whole words arrive as the
    letters the box takes, a drag packs an item and a second finger is ignored; in
    landscape the picture fills the height with the links beside it. Each screen is the
    headless host's but for the arrow, which stands where the finger last was."""
    with open(os.path.join(refs, "steps-first.txt")) as f:
        steps = [line.split() for line in f]
    at = steps.index(["shot", "web-level"])
    pick, move = steps[at + 1], steps[at + 2]
    pick, drop = (int(pick[1]), int(pick[2])), (int(move[1]), int(move[2]))
    shown = (600, 400)  # where the headless host's screens have the arrow
    profile = tempfile.mkdtemp(prefix="valimo-web-phone-")
    driver = phone_driver(profile, 390, 844)
    run = PageRun(driver, refs, out)
    try:
        driver.get(url)
        if not run.wait_screen("web-welcome", 60, pointers=[shown, (320, 240)]):
            failures.append("phone: " + run.failures[-1])
            return
        r = rects(driver)
        canvas = r["canvas"]
        if abs((canvas[2] - canvas[0]) - 390) > 1 or abs((canvas[3] - canvas[1]) - 292.5) > 1:
            failures.append("phone: in portrait the picture is %r, not the width of the screen" % canvas)
        for part in ("bar", "say"):
            if overlap(r[part], canvas):
                failures.append("phone: in portrait the %s %r covers the picture %r" % (part, r[part], canvas))
        if driver.execute_script("return getComputedStyle(document.getElementById('canvas')).imageRendering;") != "pixelated":
            failures.append("phone: the picture is not drawn pixelated")
        driver.save_screenshot(os.path.join(out, "phone-portrait-welcome.png"))
        tap(driver, 315, 290)  # "Continue..."
        tap(driver, 300, 242)  # the id box
        focused = driver.execute_script("return document.activeElement.id;")
        if focused != "typing":
            failures.append("phone: a tap on the Player Id box focused %r, not the page's input" % focused)
        else:
            field = driver.switch_to.active_element
            # A soft keyboard: a composed word with a blank, a letter no key of the game
            # types and more than the box has room for; then all of it deleted, and
            # letters one by one with a correction of the whole word.
            driver.execute_script(
                "var t = document.getElementById('typing');"
                " t.dispatchEvent(new CompositionEvent('compositionstart'));"
                " t.value = 'anna-Mari'; t.dispatchEvent(new InputEvent('input'));"
                " t.value = 'anna-Maria \u00d6berg-Lindqvist-Johansson'; t.dispatchEvent(new InputEvent('input'));"
                " t.dispatchEvent(new CompositionEvent('compositionend'));")
            time.sleep(2.0)
            whole = "anna-Mariaberg-Lindqvist-Johansson"
            held = driver.execute_script("return document.getElementById('typing').value;")
            if len(held) < 8 or len(held) >= len(whole) or not whole.startswith(held):
                failures.append("phone: after a composed word the box holds %r, not the first letters of %r "
                                "it has room for" % (held, whole))
            driver.save_screenshot(os.path.join(out, "phone-portrait-long-name.png"))
            driver.execute_script("var t = document.getElementById('typing'); t.value = '';"
                                  " t.dispatchEvent(new InputEvent('input'));")
            time.sleep(1.5)
            field.send_keys("mya")
            time.sleep(0.3)
            driver.execute_script("var t = document.getElementById('typing'); t.value = 'maya';"
                                  " t.dispatchEvent(new InputEvent('input'));")
            time.sleep(1.0)
            driver.save_screenshot(os.path.join(out, "phone-portrait-player-id.png"))
        tap(driver, 276, 297)  # "Create Player"
        time.sleep(0.5)
        prefs = store_text(driver, "prefs.dat")
        if prefs != "PLAYERS 1\nmaya 0 0 0\n":
            failures.append("phone: after typing on the phone's keyboard prefs.dat reads %r" % prefs)
        tap(driver, 416, 327)  # "Continue..."
        time.sleep(2.5)
        tap(driver, 320, 163)  # "Play"
        tap(driver, 320, 272)  # "Continue"
        if not run.wait_screen("web-level", 20, pointers=[shown, (320, 272)]):
            failures.append("phone: " + run.failures[-1])
            return
        # Press, drag and release, with a second finger down on the way: the first item
        # packed by the first finger alone, as the headless host packed it.
        drag(driver, pick, drop, second=(560, 60))
        driver.save_screenshot(os.path.join(out, "phone-portrait-packed.png"))
        # A tap on the bare table takes the arrow off the item, to where the headless
        # host's stands, within the picture pixels a CSS pixel of the phone spans.
        tap(driver, *shown)
        if not run.wait_screen("web-packed", 10, pointers=[shown]):
            failures.append("phone: a drag did not pack the first item (%s)" % run.failures[-1])
        # A long press over an item shows its label, as hover does, and takes nothing up.
        touch(driver, "touchStart", [(0, 335, 440)])
        time.sleep(1.0)
        held = run.canvas_rgb() or b""
        touch(driver, "touchEnd", [])
        time.sleep(0.4)
        if sum(1 for i in range(0, len(held), 3) if held[i:i + 3] == LABEL_RGB) < 50:
            failures.append("phone: a long press over the radio showed no label")
        tap(driver, *shown)
        if not run.wait_screen("web-packed", 10, pointers=[shown]):
            failures.append("phone: after a long press (%s)" % run.failures[-1])
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 844, "height": 390, "deviceScaleFactor": 3, "mobile": True})
        time.sleep(1.0)
        r = rects(driver)
        canvas = r["canvas"]
        if abs((canvas[3] - canvas[1]) - 390) > 1:
            failures.append("phone: in landscape the picture is %r, not the height of the screen" % canvas)
        for part in ("bar", "say"):
            if overlap(r[part], canvas):
                failures.append("phone: in landscape the %s %r covers the picture %r" % (part, r[part], canvas))
        driver.save_screenshot(os.path.join(out, "phone-landscape.png"))
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


STAND_IN_PADS = """
// Stands in for controllers: the browser's Gamepad API answers with these.
function pad(index, id, mapping) {
  var buttons = [];
  for (var i = 0; i < 17; i++) buttons.push({ pressed: false, value: 0 });
  return { index: index, id: id, mapping: mapping, connected: true, axes: [0, 0, 0, 0], buttons: buttons };
}
window.standInPads = [pad(0, "Stand-in pad (STANDARD GAMEPAD)", "standard"), pad(1, "Stand-in wheel", "")];
Object.defineProperty(navigator, "getGamepads", { configurable: true, value: function () { return window.standInPads; } });
"""
PAD_BUTTONS = {"A": 0, "B": 1, "RB": 5, "Start": 9, "up": 12, "down": 13, "left": 14, "right": 15}


def press_pad(driver, name, times=1, pad=0):
    """Presses a stand-in pad's button and lets it go, each state held for some frames."""
    for _ in range(times):
        for down in (True, False):
            driver.execute_script("var b = window.standInPads[%d].buttons[%d]; b.pressed = %s; b.value = %d;" %
                                  (pad, PAD_BUTTONS[name], "true" if down else "false", 1 if down else 0))
            time.sleep(0.09)


def check_pad(url, refs, out, failures):
    """A first run with a controller alone in the page (a script stands in for the pad,
    and for a wheel the browser has no layout for): the D-pad steps the pointer, A
    clicks, the game's own keyboard types the name and B closes it, the stick glides,
    the right shoulder switches full screen, and each pad is one console line."""
    profile = tempfile.mkdtemp(prefix="valimo-web-pad-")
    driver = desktop_driver(profile)
    run = PageRun(driver, refs, out)
    shown = (600, 400)
    try:
        driver.get(url)
        driver.execute_script(STAND_IN_PADS)
        # No mouse ever moves: the arrow stands in the middle.
        if not run.wait_screen("web-welcome", 60, pointers=[shown, (320, 240)]):
            failures.append("pad: " + run.failures[-1])
            return
        press_pad(driver, "A", pad=1)  # the wheel's buttons do nothing
        press_pad(driver, "down", 12)  # 4 pixels a press: onto "Continue..."
        if not run.wait_screen("web-welcome", 5, pointers=[shown, (320, 288)]):
            failures.append("pad: the D-pad did not step the arrow (%s)" % run.failures[-1])
            return
        press_pad(driver, "A")
        press_pad(driver, "up", 12)  # the Player Id box
        press_pad(driver, "A")
        time.sleep(0.3)
        driver.save_screenshot(os.path.join(out, "page-pad-keyboard.png"))
        # The highlight starts on "q": m, a, y, a, each by the D-pad and A.
        for moves in ([("down", 2), ("right", 6)], [("up", 1), ("left", 6)], [("up", 1), ("right", 5)],
                      [("down", 1), ("left", 5)]):
            for button, count in moves:
                press_pad(driver, button, count)
            press_pad(driver, "A")
        time.sleep(0.3)
        driver.save_screenshot(os.path.join(out, "page-pad-keyboard-maya.png"))
        press_pad(driver, "B")  # closes the game's keyboard
        press_pad(driver, "down", 14)
        press_pad(driver, "left", 11)  # "Create Player"
        press_pad(driver, "A")
        time.sleep(0.5)
        prefs = store_text(driver, "prefs.dat")
        if prefs != "PLAYERS 1\nmaya 0 0 0\n":
            failures.append("pad: after typing on the game's keyboard prefs.dat reads %r" % prefs)
        press_pad(driver, "right", 35)
        press_pad(driver, "down", 8)  # "Continue..."
        press_pad(driver, "A")
        if not run.wait_screen("web-main-menu", 10, pointers=[shown, (416, 328)]):
            failures.append("pad: no main menu after a first run with the pad alone (%s)" % run.failures[-1])
        driver.execute_script("window.standInPads[0].axes[0] = 1;")
        time.sleep(0.5)
        driver.execute_script("window.standInPads[0].axes[0] = 0;")
        time.sleep(0.3)
        if run.wait_screen("web-main-menu", 1, pointers=[shown, (416, 328)]):
            failures.append("pad: the stick held right did not move the arrow")
        else:
            run.failures.pop()
        press_pad(driver, "RB")
        time.sleep(1.0)
        said = driver.execute_script("return document.getElementById('say').textContent;")
        if not driver.execute_script("return !!document.fullscreenElement;") and "full screen" not in said:
            failures.append("pad: the right shoulder did not ask for full screen")
        driver.execute_script("window.standInPads = [];")
        time.sleep(0.5)
        lines = [e["message"] for e in driver.get_log("browser") if "valimo: " in e["message"] and "controller" in e["message"]]
        want = ["valimo: controller connected: Stand-in pad (STANDARD GAMEPAD)",
                "valimo: a controller the browser has no mapping for is ignored: Stand-in wheel",
                "valimo: controller removed"]
        if len(lines) != len(want) or not all(w in line for w, line in zip(want, lines)):
            failures.append("pad: the console says %r of the pads" % lines)
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def desktop_driver(profile):
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1366,768", "--autoplay-policy=no-user-gesture-required"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    # The page as on a 1366 x 768 screen at one device pixel per CSS pixel.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": 1366, "height": 768, "deviceScaleFactor": 1, "mobile": False})
    return driver


WORKER_FILES = PAGE_FILES + ["sw.js", "manifest.webmanifest", "icon-192.png", "icon-512.png", "order.html", "faq.html"]
KEPT = """
var done = arguments[arguments.length - 1];
caches.keys().then(function (names) {
  names = names.filter(function (n) { return n.indexOf('valimo-') === 0; });
  if (names.length !== 1) { done([names, 0]); return; }
  caches.open(names[0]).then(function (c) { return c.match('valimo.data'); })
    .then(function (r) { return r ? r.arrayBuffer() : new ArrayBuffer(0); })
    .then(function (b) { done([names, b.byteLength]); });
}).catch(function (e) { done([String(e), 0]); });
"""


def newer_build(page, folder, damaged=False):
    """A build after the page's: valimo.data longer by a few bytes (damaged in one when
    asked, which its files.json does not know), files.json and the worker's version to match."""
    for f in WORKER_FILES:
        if f not in ("valimo.data", "files.json", "sw.js"):
            os.symlink(os.path.join(page, f), os.path.join(folder, f))
    with open(os.path.join(page, "valimo.data"), "rb") as f:
        data = bytearray(f.read()) + bytes(16)
    with open(os.path.join(page, "files.json")) as f:
        files = f.read()
    old = json.loads(files)["valimo.data"]
    files = files.replace(str(old["size"]), str(len(data))).replace(old["sha256"], hashlib.sha256(data).hexdigest())
    if damaged:
        data[len(data) // 3] ^= 0xFF
    with open(os.path.join(folder, "valimo.data"), "wb") as f:
        f.write(data)
    with open(os.path.join(folder, "files.json"), "w") as f:
        f.write(files)
    with open(os.path.join(page, "sw.js")) as f:
        worker = re.sub(r'var VERSION = "[^"]*"', 'var VERSION = "newer%s"' % ("-damaged" if damaged else ""), f.read())
    with open(os.path.join(folder, "sw.js"), "w") as f:
        f.write(worker)
    return len(data)


def check_offline(page, refs, out, failures):
    """After one visit the page plays with the server stopped; a newer build on the
    server replaces the kept one whole, and one that does not arrive whole leaves it."""
    port = serve(page)
    port.shutdown()
    port.server_close()
    port = port.server_address[1]
    url = "http://127.0.0.1:%d/" % port
    folders = [tempfile.mkdtemp(prefix="valimo-web-offline-") for _ in range(3)]
    for f in WORKER_FILES:
        os.symlink(os.path.join(page, f), os.path.join(folders[0], f))
    newer_size = newer_build(page, folders[2])
    newer_build(page, folders[1], damaged=True)
    profile = tempfile.mkdtemp(prefix="valimo-web-offline-")
    driver = desktop_driver(profile)
    run = PageRun(driver, refs, out)
    server = None

    def serving(folder):
        nonlocal server
        if server:
            server.shutdown()
            server.server_close()
            server = None
        if folder:
            http.server.ThreadingHTTPServer.allow_reuse_address = True
            server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Quiet, directory=folder))
            server.daemon_threads = True
            threading.Thread(target=server.serve_forever, daemon=True).start()

    def kept(want_name, want_size, timeout):
        end = time.time() + timeout
        got = None
        while time.time() < end:
            got = driver.execute_async_script(KEPT)
            if got[0] == [want_name] and got[1] == want_size:
                return None
            time.sleep(0.5)
        return got

    def plays(what):
        if not run.wait_screen("web-welcome", 60, pointers=[(600, 400), (320, 240)]):
            failures.append("offline: %s (%s)" % (what, run.failures[-1]))
            return False
        return True

    try:
        driver.set_script_timeout(20)
        first = re.search(r'var VERSION = "([^"]*)"', open(os.path.join(page, "sw.js")).read()).group(1)
        size = os.path.getsize(os.path.join(page, "valimo.data"))
        serving(folders[0])
        driver.get(url)
        if not plays("the first visit does not play"):
            return
        got = kept("valimo-" + first, size, 30)
        if got:
            failures.append("offline: after one visit the browser keeps %r, not this build's files" % (got,))
            return
        serving(None)
        driver.refresh()
        if not plays("with the server stopped the page does not play"):
            return
        driver.save_screenshot(os.path.join(out, "page-offline.png"))
        # The newer build whole: kept instead of the old, and played offline.
        serving(folders[2])
        driver.refresh()
        plays("with a newer build on the server the kept one does not play")
        got = kept("valimo-newer", newer_size, 30)
        if got:
            failures.append("offline: a newer build on the server left %r kept" % (got,))
        serving(None)
        driver.refresh()
        plays("the newer build kept does not play with the server stopped")
        # A build after that whose valimo.data arrives damaged, then no server at all:
        # the kept build stays, whole, and plays.
        serving(folders[1])
        driver.refresh()
        plays("with a damaged build on the server the kept one does not play")
        time.sleep(5)
        serving(None)
        time.sleep(2)
        got = kept("valimo-newer", newer_size, 5)
        if got:
            failures.append("offline: a build that arrived damaged left %r kept" % (got,))
        driver.refresh()
        plays("after a damaged build the kept one does not play with the server stopped")
    finally:
        serving(None)
        driver.quit()
        for folder in folders + [profile]:
            shutil.rmtree(folder, ignore_errors=True)


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
    driver = desktop_driver(profile)
    report = {}
    run = PageRun(driver, refs, out)
    try:
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
        check_phone(url, refs, out, run.failures)
        check_pad(url, refs, out, run.failures)
        check_offline(page, refs, out, run.failures)
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
