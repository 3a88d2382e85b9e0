#!/usr/bin/python3
"""Browser test of the whole game's page, in one browser profile as a player meets it: the
page loads without a console error, the set-up shows on the first visit and "Сохранить и
играть" reaches the main menu, the menu looks as the desktop draws it, "Старт" opens the
face choice, a typed Cyrillic name makes a profile, after a reload the profile is listed
and loads, each episode opens and runs and its exit question works, the intro draws, the
menu's tune is heard after the first click, clicks land right under any canvas size and
zoom, the picture is scaled without blur, full screen, a controller and the set-up button
work, and the page says so where WebAssembly or storage is missing.

    tests/web/game_test.py PAGE_DIR SHOTS_DIR

SHOTS_DIR holds the desktop's pictures of the same screens and the points it clicked
(tests/scenarios/page_pictures_test.cpp run with VARK_SHOTS=SHOTS_DIR). It runs on Debian's
own Python (/usr/bin/python3), which has python3-websocket.
"""

import base64
import os
import sys
import time
import traceback

from browser import Browser, BrowserError, decode_png, static_server, wait_until

# A page pixel counts as the desktop's when each colour is this close (the JPEG decoder of
# the page has no vector code and may round a step differently).
TOLERANCE = 24
# The share of a screen's pixels that must be the desktop's: the title's glint and the
# stars move with time.
ALIKE = 0.97
# The set-up program's "Сохранить и играть" (tools/setup/setup_form.h: BtnPlay's middle).
SETUP_PLAY = (164, 392)
# The main menu's buttons: the rest of the menu shows the loaded profile once there is one.
MENU_BUTTONS = (480, 140, 640, 470)


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


class Desktop:
    """The desktop's pictures and the points of its controls."""

    def __init__(self, folder):
        self.folder = folder
        self.points = {}
        with open(os.path.join(folder, "points.txt")) as f:
            for line in f:
                name, *numbers = line.split()
                self.points[name] = tuple(int(n) for n in numbers)

    def picture(self, name):
        with open(os.path.join(self.folder, name + ".png"), "rb") as f:
            width, height, rows = decode_png(f.read())
        return bytes(c for row in rows for p in row for c in p)

    def box(self, name):
        x, y, w, h = self.points[name]
        return (x, y, x + w, y + h)


def game_picture(browser):
    """The game's 640 x 480 picture as the page holds it, RGB bytes (before the page scales it)."""
    width, height, data = browser.evaluate(
        "(() => { const c = document.getElementById('canvas');"
        " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
        " let s = ''; for (let i = 0; i < d.length; i += 0x8000)"
        " s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));"
        " return [c.width, c.height, btoa(s)]; })()")
    expect((width, height) == (640, 480), "the canvas holds %dx%d pixels, not 640x480" % (width, height))
    rgba = base64.b64decode(data)
    return bytes(b for i, b in enumerate(rgba) if i % 4 != 3)


def alike(page, desktop, box=(0, 0, 640, 480)):
    """The share of pixels in box (x0, y0, x1, y1) that are the same in both pictures."""
    x0, y0, x1, y1 = box
    same = total = 0
    for y in range(y0, y1):
        row = y * 640 * 3
        for x in range(x0 * 3 + row, x1 * 3 + row, 3):
            total += 1
            if (abs(page[x] - desktop[x]) <= TOLERANCE and abs(page[x + 1] - desktop[x + 1]) <= TOLERANCE
                    and abs(page[x + 2] - desktop[x + 2]) <= TOLERANCE):
                same += 1
    return same / total


def changed(before, after, box):
    return 1 - alike(before, after, box)


# Watches a box of the canvas every 10 ms for `ms`: the largest share of its pixels that
# differed from how it was when the watch began.
WATCH = """((x0, y0, w, h, ms) => {
  const canvas = document.getElementById('canvas').getContext('2d');
  const first = canvas.getImageData(x0, y0, w, h).data;
  const end = performance.now() + ms;
  let most = 0;
  return new Promise((resolve) => {
    (function look() {
      const now = canvas.getImageData(x0, y0, w, h).data;
      let differ = 0;
      for (let i = 0; i < now.length; i += 4)
        differ += Math.abs(now[i] - first[i]) + Math.abs(now[i + 1] - first[i + 1]) + Math.abs(now[i + 2] - first[i + 2]) > 60;
      most = Math.max(most, differ / (w * h));
      if (performance.now() < end) setTimeout(look, 10); else resolve(most);
    })();
  });
})"""


def change_after(browser, box, action, ms=400):
    """How much of box (x0, y0, x1, y1) changed at most within `ms` after `action`."""
    x0, y0, x1, y1 = box
    browser.evaluate("window.varkWatch = %s(%d, %d, %d, %d, %d); 0" % (WATCH, x0, y0, x1 - x0, y1 - y0, ms))
    action()
    return browser.evaluate("window.varkWatch")


class Game:
    def __init__(self, browser, url, desktop):
        self.browser, self.url, self.desktop = browser, url, desktop

    def click(self, name):
        self.browser.click(*self.desktop.points[name][:2])

    def picture(self):
        return game_picture(self.browser)

    def wait_for_screen(self, name, box=(0, 0, 640, 480), timeout=15):
        """Waits until the page shows the desktop's picture `name` (in box); returns the share."""
        reference = self.desktop.picture(name)
        best = [0]

        def shows():
            best[0] = max(best[0], alike(self.picture(), reference, box))
            return best[0] >= ALIKE

        try:
            wait_until(shows, timeout, name)
        except BrowserError:
            raise AssertionError("the page never shows the desktop's %s: at best %.3f alike" % (name, best[0]))
        return best[0]

    def wait_until_running(self, search=""):
        self.browser.wait_for("location.search === %r && document.getElementById('loading').hidden"
                              " && typeof Module === 'object' && Module.calledRun" % search, timeout=60)


def check_first_visit_opens_setup(game):
    b = game.browser
    b.open(game.url)
    game.wait_until_running("?setup")
    expect(b.evaluate("document.title").startswith("Project: VARK"), "the title is %r" % b.evaluate("document.title"))
    expect(not b.console_errors(), "console errors on load: %s" % b.console_errors())
    wait_until(lambda: game.picture()[(SETUP_PLAY[1] * 640 + SETUP_PLAY[0]) * 3] > 120, 10, "the set-up's red button")


def check_setup_leads_to_menu_as_the_desktop_draws_it(game):
    game.browser.click(*SETUP_PLAY)
    game.wait_until_running("")
    game.wait_for_screen("menu")


def check_start_opens_face_choice(game):
    game.click("start")
    game.wait_for_screen("faces")


def check_cyrillic_name_makes_profile(game):
    b = game.browser
    game.click("face")
    game.click("accept")
    for _ in range(game.desktop.points["backspaces"][0]):
        b.press("Backspace", key_code=8)
    b.type_text("Жук")
    game.wait_for_screen("name")
    game.click("name_ok")
    game.wait_for_screen("episodes")


def check_profile_listed_and_loaded_after_reload(game):
    b = game.browser
    b.reload()
    game.wait_until_running("")
    game.wait_for_screen("menu")
    game.click("profiles")
    time.sleep(0.3)
    game.click("first_profile")
    game.wait_for_screen("profiles")
    game.click("load")
    game.wait_for_screen("episodes")


def check_sound_runs_after_first_click(game):
    """The output runs once the player has clicked, and the menu's tune (an MP3 in the
    page, decoded by the game's thread between events) is heard through it."""
    state = game.browser.audio_state()
    expect(state == "running", "the sound is %r after the first clicks" % state)
    peak = game.browser.audio_peak()
    expect(peak is not None and peak > 0.02, "the page's sound output is silent on the menu (peak %r)" % peak)
    expect(not game.browser.console_errors(), "console errors: %s" % game.browser.console_errors())


def check_shooter_cannon_follows_mouse_fires_and_asks_to_leave(game):
    b = game.browser
    game.click("shooter")
    cannon_x, cannon_y = game.desktop.points["cannon"]
    # Below the monsters' flight, above the cannon: its shots cross here. The cannon fires
    # once the level's banner has gone; the check plays no longer than it must, as the
    # monsters fire back.
    column = (500, cannon_y - 150, 600, cannon_y - 40)
    b.move(540, cannon_y)
    fire = lambda: change_after(b, column, lambda: b.click(540, cannon_y)) > 0.008
    wait_until(fire, 10, "the cannon's first shot")
    shots = sum(fire() for _ in range(3))
    expect(shots >= 2, "the cannon fired %d times of 3" % shots)
    band = lambda x: (max(0, x - 30), cannon_y - 20, min(640, x + 30), cannon_y + 20)
    right = game.picture()
    b.move(100, cannon_y)
    time.sleep(0.2)
    left = game.picture()
    expect(changed(left, right, band(100)) > 0.2 and changed(left, right, band(540)) > 0.2,
           "the cannon does not follow the mouse")
    b.press("Escape", key_code=27)
    question = game.desktop.box("shooter_question")
    wait_until(lambda: alike(game.picture(), game.desktop.picture("episodes"), question) < 0.5, 5, "the exit question")
    time.sleep(0.3)
    game.click("shooter_yes")
    game.wait_for_screen("episodes")


def check_quiz_takes_an_answer(game):
    b = game.browser
    game.click("quiz")
    ax, ay = game.desktop.points["answer"]
    time.sleep(1)
    entered = game.picture()
    # The first question comes after the level's blinking (about 6 s).
    wait_until(lambda: changed(entered, game.picture(), (ax - 40, ay - 6, ax + 40, ay + 6)) > 0.1, 15,
               "the first question")
    b.move(ax, ay)
    time.sleep(0.3)
    taken = change_after(b, game.desktop.box("quiz_picture"), lambda: b.click(ax, ay), ms=1500)
    expect(taken > 0.05, "the quiz's picture did not answer the answer (%.3f changed)" % taken)
    game.browser.reload()
    game.wait_until_running("")
    game.wait_for_screen("menu")


def check_memory_tile_flips_and_asks_to_leave(game):
    game.click("profiles")
    time.sleep(0.3)
    game.click("first_profile")
    game.click("load")
    game.wait_for_screen("episodes")
    game.click("memory")
    tile = game.desktop.box("tile_box")
    time.sleep(2.5)  # the level's banner
    before = game.picture()
    game.click("tile")
    wait_until(lambda: changed(before, game.picture(), tile) > 0.3, 5, "the tile to flip")
    game.browser.press("Escape", key_code=27)
    wait_until(lambda: changed(before, game.picture(), game.desktop.box("memory_question")) > 0.5, 5, "the exit question")
    time.sleep(0.3)
    game.click("memory_yes")
    game.wait_for_screen("episodes")


def check_intro_draws_passes(game):
    b = game.browser
    game.click("to_menu")
    b.move(20, 300)
    game.wait_for_screen("menu", MENU_BUTTONS)
    b.evaluate("window.varkFrames = 0; (() => { const c = document.getElementById('canvas').getContext('2d');"
               " const put = c.putImageData.bind(c); c.putImageData = (...a) => { window.varkFrames++; put(...a); }; })()")
    game.click("intro")
    time.sleep(4)
    start = b.evaluate("window.varkFrames")
    time.sleep(2)
    passes = (b.evaluate("window.varkFrames") - start) / 2
    expect(passes >= 10, "the intro drew %.1f pictures a second" % passes)
    expect(passes <= 61, "the intro drew %.1f pictures a second, more than 60" % passes)
    b.press("Escape", key_code=27)
    b.move(20, 300)  # off the buttons, which light up under the pointer
    game.wait_for_screen("menu", MENU_BUTTONS)


def check_clicks_land_under_any_canvas_size_and_zoom(game):
    b = game.browser
    x0, y0, x1, y1 = game.desktop.box("start_box")
    # Just inside two opposite corners of "Старт": a click landing a few pixels off misses.
    corners = ((x0 + 3, y0 + 3), (x1 - 4, y1 - 4))
    for width, height, zoom in ((1000, 800, 1), (1280, 500, 1), (500, 900, 1), (900, 700, 1.5)):
        b.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=zoom, mobile=False)
        time.sleep(0.2)
        for corner in corners:
            b.click(*corner)
            try:
                game.wait_for_screen("faces", timeout=5)
            except AssertionError:
                raise AssertionError("window %dx%d at zoom %g: a click at %s missed \"Старт\"" % (width, height, zoom, corner))
            b.press("Escape", key_code=27)
            b.move(20, 300)
            game.wait_for_screen("menu", MENU_BUTTONS, timeout=5)
    b.call("Emulation.clearDeviceMetricsOverride")


def check_picture_scaled_crisp(game):
    b = game.browser
    b.call("Emulation.setDeviceMetricsOverride", width=1280, height=960, deviceScaleFactor=1, mobile=False)
    b.evaluate("document.getElementById('tools').style.visibility = 'hidden'")  # it lies over the canvas
    time.sleep(0.3)
    width, height, rows = b.canvas_pixels()
    b.evaluate("document.getElementById('tools').style.visibility = ''")
    b.call("Emulation.clearDeviceMetricsOverride")
    expect((width, height) == (1280, 960), "the canvas is shown at %dx%d in a 1280x960 window" % (width, height))
    blends = sum(1 for y in range(0, 960, 2) for x in range(0, 1280, 2)
                 if not (rows[y][x] == rows[y][x + 1] == rows[y + 1][x] == rows[y + 1][x + 1]))
    expect(blends < 20, "%d game pixels are blurred when scaled twice" % blends)


def check_full_screen_button_and_alt_enter(game):
    b = game.browser
    box = b.evaluate("(() => { const r = document.getElementById('fullscreen').getBoundingClientRect();"
                     " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
    for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
        b.call("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1], button="left", clickCount=1)
    b.wait_for("document.fullscreenElement !== null", timeout=5)
    b.press("Enter", key_code=13, modifiers=1)
    b.wait_for("document.fullscreenElement === null", timeout=5)
    game.wait_for_screen("menu", MENU_BUTTONS, timeout=5)


# A controller as the browser's Gamepad API reports one: a standard pad whose buttons the
# check presses (0 A, 1 B, 13 D-pad down). SDL reads the pads on each update and takes a
# new timestamp as news.
FAKE_PAD = """(() => {
  const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
  window.varkPad = {id: 'Test pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard',
                    timestamp: performance.now(), axes: [0, 0, 0, 0], buttons};
  navigator.getGamepads = () => [window.varkPad, null, null, null];
  const plugged = new Event('gamepadconnected');
  plugged.gamepad = window.varkPad;
  window.dispatchEvent(plugged);
  window.varkPadButton = (i, down) => {
    window.varkPad.buttons[i] = {pressed: down, touched: down, value: down ? 1 : 0};
    window.varkPad.timestamp = performance.now();
  };
  return 0; })()"""
# The face choice's panel, which shows the same whatever profile is loaded.
FACE_PANEL = (120, 130, 470, 420)


def check_controller_moves_the_focus_and_presses(game):
    b = game.browser
    b.evaluate(FAKE_PAD)
    time.sleep(0.3)

    def tap(button):
        b.evaluate("varkPadButton(%d, true)" % button)
        time.sleep(0.15)
        b.evaluate("varkPadButton(%d, false)" % button)
        time.sleep(0.15)

    tap(13)  # the focus ring comes to "Старт"
    tap(0)
    game.wait_for_screen("faces", FACE_PANEL, timeout=5)
    tap(1)
    game.wait_for_screen("menu", MENU_BUTTONS, timeout=5)


def check_setup_button_opens_setup(game):
    b = game.browser
    b.evaluate("document.getElementById('setup').click()")
    game.wait_until_running("?setup")
    wait_until(lambda: game.picture()[(SETUP_PLAY[1] * 640 + SETUP_PLAY[0]) * 3] > 120, 10, "the set-up's red button")


def check_missing_webassembly_and_storage(game):
    b = game.browser
    script = b.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly;")
    b.open(game.url)
    text = b.wait_for("document.getElementById('message').className === 'problem'"
                      " && document.getElementById('message').textContent")
    b.call("Page.removeScriptToEvaluateOnNewDocument", identifier=script["identifier"])
    expect("WebAssembly" in text, "the message without WebAssembly is %r" % text)
    script = b.call("Page.addScriptToEvaluateOnNewDocument",
                    source="Object.defineProperty(window, 'indexedDB', {value: undefined});")
    b.open(game.url)
    note = b.wait_for("!document.getElementById('note').hidden && document.getElementById('note').textContent")
    b.call("Page.removeScriptToEvaluateOnNewDocument", identifier=script["identifier"])
    expect("хранить" in note, "the note without storage is %r" % note)


CHECKS = [
    check_first_visit_opens_setup,
    check_setup_leads_to_menu_as_the_desktop_draws_it,
    check_start_opens_face_choice,
    check_cyrillic_name_makes_profile,
    check_sound_runs_after_first_click,
    check_profile_listed_and_loaded_after_reload,
    check_shooter_cannon_follows_mouse_fires_and_asks_to_leave,
    check_quiz_takes_an_answer,
    check_memory_tile_flips_and_asks_to_leave,
    check_intro_draws_passes,
    check_clicks_land_under_any_canvas_size_and_zoom,
    check_picture_scaled_crisp,
    check_full_screen_button_and_alt_enter,
    check_controller_moves_the_focus_and_presses,
    check_setup_button_opens_setup,
    check_missing_webassembly_and_storage,
]


def main(page_dir, shots_dir):
    passed = failed = 0
    desktop = Desktop(shots_dir)
    with static_server(page_dir) as url, Browser() as browser:
        game = Game(browser, url, desktop)
        for check in CHECKS:
            started = time.monotonic()
            try:
                check(game)
                passed += 1
                print("ok   %s (%.1f s)" % (check.__name__, time.monotonic() - started), flush=True)
            except (AssertionError, BrowserError) as problem:
                failed += 1
                print("FAIL %s: %s" % (check.__name__, problem), flush=True)
                traceback.print_exc(limit=2, file=sys.stdout)
                if os.environ.get("VARK_WEB_SHOTS"):
                    browser.save_screenshot(os.path.join(os.environ["VARK_WEB_SHOTS"], check.__name__ + ".png"))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
