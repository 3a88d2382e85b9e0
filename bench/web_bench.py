#!/usr/bin/python3
"""Size and speed of the web page, as figures (no limits asserted): what a static host sends
gzipped, how soon after the page's load the main menu is on screen (127.0.0.1, headless
Chromium), how many pictures a second the intro draws and what a picture costs the page's
main thread, and what 30 s of the idle main menu cost the page's renderer processes, first
while the tunes are measured and the menu's tune plays, then after it.

    bench/web_bench.py [PAGE_DIR]      (default build-web/; runs on Debian's /usr/bin/python3)
"""

import gzip
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, static_server  # noqa: E402

# The set-up program's "Сохранить и играть", the menu's "Старт" and "Интро" (middles).
SETUP_PLAY, START, INTRO = (164, 392), (556, 180), (556, 324)
IDLE_SECONDS, INTRO_SECONDS = 30, 10
# The menu's tune and the output's rest after it, at the most.
TUNE_SECONDS = 120

# A point of the light face of "Старт", beside its letters.
START_FACE = (600, 160)

# Records when the menu's "Старт" button is first drawn (its light face), in ms since the
# page's navigation began, looking every 10 ms from the page's first moment.
MENU_WATCH = """
(function watch() {
  const canvas = document.getElementById('canvas');
  if (canvas && canvas.width === 640) {
    const p = canvas.getContext('2d').getImageData(%d, %d, 1, 1).data;
    if (p[0] > 150 && p[1] > 180 && p[2] > 150) { window.varkMenuShown = performance.now(); return; }
  }
  setTimeout(watch, 10);
})();
""" % START_FACE

FRAME_COUNTER = """(() => {
  window.varkFrames = 0;
  const c = document.getElementById('canvas').getContext('2d');
  const put = c.putImageData.bind(c);
  c.putImageData = (...a) => { window.varkFrames++; put(...a); };
})()"""


def download_size(folder):
    total = 0
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            size = len(gzip.compress(f.read(), 9))
        total += size
        print("page file %-12s %9d bytes gzipped" % (name, size))
    print("page download %.2f MB gzipped" % (total / 1e6))


def renderer_cpu_seconds(browser):
    """Processor time so far of the browser's renderer processes (the page's)."""
    ticks = os.sysconf("SC_CLK_TCK")
    parents, stats = {}, {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                renderer = b"--type=renderer" in f.read()
        except OSError:
            continue
        parents[int(pid)] = int(fields[1])
        stats[int(pid)] = (renderer, (int(fields[11]) + int(fields[12])) / ticks)

    def ours(pid):
        while pid > 1:
            if pid == browser.pid:
                return True
            pid = parents.get(pid, 1)
        return False

    return sum(seconds for pid, (renderer, seconds) in stats.items() if renderer and ours(pid))


def main_thread_seconds(browser):
    metrics = browser.call("Performance.getMetrics")["metrics"]
    return next(m["value"] for m in metrics if m["name"] == "TaskDuration")


def idle_menu(b, when):
    cpu, main_thread = renderer_cpu_seconds(b), main_thread_seconds(b)
    time.sleep(IDLE_SECONDS)
    print("idle menu %s: renderer processes %.2f %% of a core, page main thread %.2f %% over %d s"
          % (when, (renderer_cpu_seconds(b) - cpu) * 100 / IDLE_SECONDS,
             (main_thread_seconds(b) - main_thread) * 100 / IDLE_SECONDS, IDLE_SECONDS))


def main(folder):
    download_size(folder)
    with static_server(folder) as url, Browser() as b:
        b.call("Performance.enable")
        b.open(url)
        b.wait_for("location.search === '?setup' && window.Module && Module.calledRun", 60)
        time.sleep(1)
        b.click(*SETUP_PLAY)
        b.wait_for("location.search === '' && window.Module && Module.calledRun", 60)
        watch = b.call("Page.addScriptToEvaluateOnNewDocument", source=MENU_WATCH)
        shown = []
        for _ in range(3):
            b.reload()
            shown.append(b.wait_for("window.varkMenuShown", 30) / 1000)
        b.call("Page.removeScriptToEvaluateOnNewDocument", identifier=watch["identifier"])
        print("menu on screen %.2f s after the page's load began (best of 3; all: %s)"
              % (min(shown), ", ".join("%.2f" % s for s in shown)))

        time.sleep(2)
        b.move(20, 300)
        idle_menu(b, "while the tunes are measured and the menu's tune plays")
        # The menu's tune plays once; the output rests a few seconds after it ends.
        b.wait_for("!(window.Module && Module.SDL2 && Module.SDL2.audioContext)", TUNE_SECONDS)
        idle_menu(b, "after the menu's tune, the output resting")

        b.evaluate(FRAME_COUNTER)
        b.click(*INTRO)
        time.sleep(3)
        frames, cpu, main_thread = b.evaluate("window.varkFrames"), renderer_cpu_seconds(b), main_thread_seconds(b)
        time.sleep(INTRO_SECONDS)
        passes = b.evaluate("window.varkFrames") - frames
        print("intro: %.1f passes a second, %.2f ms of the page's main thread a pass, renderer %.0f %% of a core"
              % (passes / INTRO_SECONDS, (main_thread_seconds(b) - main_thread) * 1000 / max(1, passes),
                 (renderer_cpu_seconds(b) - cpu) * 100 / INTRO_SECONDS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "build-web"))
