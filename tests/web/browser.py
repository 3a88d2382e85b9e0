"""Drives Debian's headless Chromium over the DevTools protocol, against pages served by a
plain static server on 127.0.0.1 (no special headers), for the web build's browser tests.

One Browser keeps one profile folder for its whole life, so what a page stores in
IndexedDB is there again after a reload. Everything it writes (the profile, Chromium's own
temporary files) stays inside a temporary folder it owns and removes.
"""

import base64
import contextlib
import http.server
import json
import math
import os
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket  # Debian's python3-websocket

GAME_WIDTH = 640
GAME_HEIGHT = 480

CHROMIUM_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--autoplay-policy=user-gesture-required",
    "--window-size=1000,800",
]


class BrowserError(Exception):
    pass


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@contextlib.contextmanager
def static_server(folder):
    """Serves `folder` on 127.0.0.1 at a free port, as any static host would; yields its URL."""

    def handler(*args, **kwargs):
        return QuietHandler(*args, directory=folder, **kwargs)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


def wait_until(check, timeout, what):
    """Polls `check` until it returns something true; fails with `what` after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise BrowserError("timed out after %g s waiting for %s" % (timeout, what))
        time.sleep(0.05)


class Browser:
    def __init__(self, chromium="/usr/bin/chromium"):
        self.folder = tempfile.mkdtemp(prefix="vark-browser-")
        profile = os.path.join(self.folder, "profile")
        scratch = os.path.join(self.folder, "tmp")
        os.makedirs(scratch)
        env = dict(os.environ, TMPDIR=scratch, HOME=self.folder)
        self._process = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + profile, "--remote-debugging-port=0", "about:blank"],
            stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.folder, "chromium.log"), "wb"),
            env=env,
        )
        self.pid = self._process.pid
        port_file = os.path.join(profile, "DevToolsActivePort")
        port = wait_until(lambda: self._read_port(port_file), 30, "Chromium's DevTools port")
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json" % port))
        page = next(t for t in targets if t["type"] == "page")
        self._socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60, suppress_origin=True)
        self._next_id = 0
        self.console = []  # (level, text) of every console message, exception and log entry
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")

    def _read_port(self, port_file):
        if self._process.poll() is not None:
            raise BrowserError("Chromium stopped at start; see its log")
        try:
            with open(port_file) as f:
                return f.readline().strip()
        except (FileNotFoundError, ValueError):
            return None

    def close(self):
        with contextlib.suppress(Exception):
            self._socket.close()
        self._process.terminate()
        try:
            self._process.wait(10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # The protocol: one request at a time; events that arrive meanwhile are recorded.
    def call(self, method, **params):
        self._next_id += 1
        self._socket.send(json.dumps({"id": self._next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self._socket.recv())
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise BrowserError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._record(message)

    def _record(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
            self.console.append((params.get("type"), text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text", "")
            self.console.append(("error", text))
        elif method == "Log.entryAdded":
            self.console.append((params["entry"]["level"], params["entry"]["text"]))

    def pump(self):
        """Reads the events that arrived meanwhile (a no-op evaluation)."""
        self.call("Runtime.evaluate", expression="0")

    def console_errors(self):
        self.pump()
        return [text for level, text in self.console if level == "error"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise BrowserError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30):
        """Waits until `expression` is true in the page; returns its value. A page that is
        being replaced (the program opened the page again) counts as not true yet."""

        def check():
            try:
                return self.evaluate(expression)
            except BrowserError:
                return None

        return wait_until(check, timeout, expression)

    # Pages.
    def open(self, url):
        self.call("Page.navigate", url=url)
        self.wait_for("document.readyState === 'complete'")

    def reload(self):
        self.call("Page.reload", ignoreCache=True)
        self.wait_for("document.readyState === 'complete'")

    def audio_state(self):
        """The state of the sound output's AudioContext ('running', 'suspended'), or None."""
        return self.evaluate(
            "(typeof Module === 'object' && Module.SDL2 && Module.SDL2.audioContext)"
            " ? Module.SDL2.audioContext.state : null"
        )

    def audio_peak(self, seconds=2.0):
        """The loudest sample the page's sound output gave over `seconds` (0 to 1), heard by
        an analyser hung beside the output node SDL feeds (once); None without an output."""
        return self.evaluate(
            "(async () => {"
            " const a = (typeof Module === 'object' && Module.SDL2) ? Module.SDL2.audio : null;"
            " const node = a && a.scriptProcessorNode;"
            " if (!node) return null;"
            " if (!a.varkEar) { a.varkEar = Module.SDL2.audioContext.createAnalyser();"
            "   a.varkEar.fftSize = 2048; node.connect(a.varkEar); }"
            " const block = new Float32Array(a.varkEar.fftSize); let peak = 0;"
            " const end = performance.now() + %d;"
            " while (performance.now() < end) {"
            "   a.varkEar.getFloatTimeDomainData(block);"
            "   for (const s of block) peak = Math.max(peak, Math.abs(s));"
            "   await new Promise(r => setTimeout(r, 20)); }"
            " return peak; })()" % int(seconds * 1000)
        )

    # Input, in the game's 640 x 480 coordinates mapped through the canvas's CSS box.
    def canvas_box(self):
        return self.evaluate(
            "(() => { const r = document.querySelector('canvas').getBoundingClientRect();"
            " return {x: r.left, y: r.top, width: r.width, height: r.height}; })()"
        )

    def to_page(self, x, y):
        """A page point that lands on game pixel (x, y). Browsers hand pages mouse positions
        in whole CSS pixels, and the offset into the canvas is taken in whole pixels too, so
        the point is the first whole pixel whose offset falls in that game pixel. Where the
        canvas is shown smaller than 640 x 480 some game pixels have no page pixel of their
        own, and the one before is hit."""
        box = self.canvas_box()
        return (
            first_pixel_of(box["x"], box["width"] / GAME_WIDTH, x),
            first_pixel_of(box["y"], box["height"] / GAME_HEIGHT, y),
        )

    def move(self, x, y):
        px, py = self.to_page(x, y)
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=px, y=py)

    def click(self, x, y):
        px, py = self.to_page(x, y)
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=px, y=py)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=px, y=py, button="left", clickCount=1)

    def press(self, key, code=None, key_code=0, modifiers=0):
        """Presses and releases one key, named as the DOM names it ('Enter', 'Escape', 'm')."""
        text = key if len(key) == 1 else ("\r" if key == "Enter" else "")
        common = dict(key=key, code=code or key, windowsVirtualKeyCode=key_code, modifiers=modifiers)
        self.call("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown", text=text, **common)
        self.call("Input.dispatchKeyEvent", type="keyUp", **common)

    def type_text(self, text):
        """Types text character by character as key events, as a Russian layout would send it."""
        for character in text:
            self.call("Input.dispatchKeyEvent", type="keyDown", key=character, text=character, unmodifiedText=character)
            self.call("Input.dispatchKeyEvent", type="keyUp", key=character)

    def insert_text(self, text):
        """Sends text as an input method commits it (no key events)."""
        self.call("Input.insertText", text=text)

    # Pixels.
    def canvas_pixels(self):
        """The canvas as the page shows it, in page pixels: (width, height, rows of (r, g, b))."""
        clip = dict(self.canvas_box(), scale=1)
        data = self.call("Page.captureScreenshot", format="png", clip=clip, captureBeyondViewport=False)["data"]
        return decode_png(base64.b64decode(data))

    def screenshot(self):
        """The canvas as the player sees it, scaled back to 640 x 480: rows of (r, g, b)."""
        width, height, rows = self.canvas_pixels()
        return [
            [rows[min(height - 1, y * height // GAME_HEIGHT)][min(width - 1, x * width // GAME_WIDTH)]
             for x in range(GAME_WIDTH)]
            for y in range(GAME_HEIGHT)
        ]

    def save_screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))


def first_pixel_of(start, scale, game_pixel):
    offset = math.ceil(game_pixel * scale - 1e-9)
    if offset >= (game_pixel + 1) * scale:  # no whole pixel of its own: the one before
        offset = math.floor(game_pixel * scale)
    return math.ceil(start + offset - 1e-9)


def decode_png(data):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG (what Chromium writes)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise BrowserError("not a PNG")
    at, chunks, header = 8, [], None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise BrowserError("unexpected PNG layout")
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(chunks))
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        unfilter(kind, line, previous, step)
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def unfilter(kind, line, previous, step):
    for i in range(len(line)):
        left = line[i - step] if i >= step else 0
        up = previous[i]
        corner = previous[i - step] if i >= step else 0
        if kind == 1:
            line[i] = (line[i] + left) & 255
        elif kind == 2:
            line[i] = (line[i] + up) & 255
        elif kind == 3:
            line[i] = (line[i] + (left + up) // 2) & 255
        elif kind == 4:
            guess = left + up - corner
            pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
            best = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
            line[i] = (line[i] + best) & 255
