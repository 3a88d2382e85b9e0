#!/usr/bin/python3
"""Browser test of the web build's page and libraries, on the proof program: the page
loads without a console error, the libraries draw, the sound starts with the first click,
keys and Cyrillic text arrive, clicks land right under any canvas size, typed text kept in
IndexedDB is there after a reload, and the page says so where WebAssembly or storage is
missing.

    tests/web/proof_test.py PAGE_DIR

It runs on Debian's own Python (/usr/bin/python3), which has python3-websocket.
"""

import sys
import traceback

from browser import Browser, BrowserError, static_server, wait_until

RED, GREEN, BLUE, YELLOW = (220, 40, 40), (40, 200, 60), (40, 80, 220), (230, 200, 40)
PATTERN_GREEN = (40, 160, 60)


def near(colour, wanted, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for_program(browser):
    browser.wait_for("window.proof && window.proof.storageReady", timeout=60)
    return browser.evaluate("window.proof")


def check_loads_and_draws(browser, url):
    browser.open(url)
    wait_for_program(browser)
    expect(browser.evaluate("document.getElementById('loading').hidden"), "the loading screen stays up")
    expect(browser.evaluate("document.title") == "Project: VARK", "the page's title")
    errors = browser.console_errors()
    expect(not errors, "console errors on load: %s" % errors)
    pixels = browser.screenshot()
    expect(near(pixels[40][40], RED), "the drawn mark is %s, not red" % (pixels[40][40],))
    expect(near(pixels[52][252], YELLOW), "the PNG picture's middle is %s" % (pixels[52][252],))
    expect(near(pixels[52][332], YELLOW, 40), "the JPEG picture's middle is %s" % (pixels[52][332],))
    expect(not near(pixels[40][100], GREEN), "the click mark shows before any click")
    proof = browser.evaluate("window.proof")
    expect(proof["pictures"].startswith("gif 0,0,255"), "the GIF read as %r" % proof["pictures"])
    # Scaled up without smoothing: across the PNG picture every page pixel is one of its colours.
    width, height, rows = browser.canvas_pixels()
    row = rows[52 * height // 480]
    blends = [p for p in row[220 * width // 640:284 * width // 640] if not (near(p, PATTERN_GREEN, 12) or near(p, YELLOW, 12))]
    expect(not blends, "the picture is smoothed when scaled: %s" % blends[:4])
    text_pixels = sum(1 for row in pixels[120:150] for p in row[20:200] if near(p, (232, 192, 64), 60))
    expect(text_pixels > 100, "the text line has only %d pixels of the text colour" % text_pixels)


def check_sound_starts_with_first_click(browser, url):
    expect(browser.audio_state() in (None, "suspended"), "sound ran before any click")
    browser.click(320, 400)
    browser.wait_for("window.proof.clicked")
    wait_until(lambda: browser.audio_state() == "running", 10, "the audio context to run")
    proof = browser.evaluate("window.proof")
    expect(proof["sound"].startswith("playing"), "the sound is %r" % proof["sound"])
    expect(near(browser.screenshot()[40][100], GREEN), "no click mark after the click")
    expect(not browser.console_errors(), "console errors after the click: %s" % browser.console_errors())


def check_clicks_land_under_any_canvas_size(browser, url):
    # A canvas shown smaller than 640 x 480 cannot be clicked on every game pixel.
    for width, height, tolerance in ((1000, 800, 0), (1280, 500, 0), (500, 900, 1), (700, 530, 0)):
        browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1, mobile=False)
        for x, y in ((0, 0), (123, 321), (639, 479), (320, 240)):
            browser.evaluate("window.proof.click = ''")
            browser.click(x, y)
            got = browser.wait_for("window.proof.click", timeout=5)
            gx, gy = map(int, got.split(","))
            expect(abs(gx - x) <= tolerance and abs(gy - y) <= tolerance,
                   "window %dx%d: a click at %d,%d landed at %s" % (width, height, x, y, got))
    browser.call("Emulation.clearDeviceMetricsOverride")


def check_keys_and_cyrillic_text(browser, url):
    browser.type_text("Жук ё")
    browser.wait_for("window.proof.typed === 'Жук ё'", timeout=5)
    browser.press("Backspace", key_code=8)
    browser.wait_for("window.proof.typed === 'Жук '", timeout=5)
    browser.press("Enter", key_code=13)
    browser.wait_for("window.proofSaved >= 1", timeout=10)
    proof = browser.evaluate("window.proof")
    expect(proof["key"] == "Return", "the last key read as %r" % proof["key"])
    expect(near(browser.screenshot()[40][160], BLUE), "no key mark after the keys")


def check_storage_survives_reload(browser, url):
    typed = browser.evaluate("window.proof.typed")
    browser.reload()
    proof = wait_for_program(browser)
    expect(proof["stored"] == typed, "after the reload storage holds %r, not %r" % (proof["stored"], typed))


def check_setup_button(browser, url):
    browser.evaluate("document.getElementById('setup').click()")
    browser.wait_for("location.search === '?setup'")
    proof = wait_for_program(browser)
    expect(" arg --setup" in proof["pictures"], "the set-up button did not start the set-up: %r" % proof["pictures"])


def check_missing_webassembly_and_storage(browser, url):
    script = browser.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly;")
    browser.open(url)
    text = browser.wait_for("document.getElementById('message').className === 'problem'"
                            " && document.getElementById('message').textContent")
    browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=script["identifier"])
    expect("WebAssembly" in text, "the message without WebAssembly is %r" % text)
    script = browser.call("Page.addScriptToEvaluateOnNewDocument",
                          source="Object.defineProperty(window, 'indexedDB', {value: undefined});")
    browser.open(url)
    note = browser.wait_for("!document.getElementById('note').hidden && document.getElementById('note').textContent")
    browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=script["identifier"])
    expect("хранить" in note, "the note without storage is %r" % note)


CHECKS = [
    check_loads_and_draws,
    check_sound_starts_with_first_click,
    check_clicks_land_under_any_canvas_size,
    check_keys_and_cyrillic_text,
    check_storage_survives_reload,
    check_setup_button,
    check_missing_webassembly_and_storage,
]


def main(page_dir):
    passed = failed = 0
    with static_server(page_dir) as url, Browser() as browser:
        for check in CHECKS:
            try:
                check(browser, url)
                passed += 1
                print("ok   %s" % check.__name__)
            except (AssertionError, BrowserError) as problem:
                failed += 1
                print("FAIL %s: %s" % (check.__name__, problem))
                traceback.print_exc(limit=2, file=sys.stdout)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
