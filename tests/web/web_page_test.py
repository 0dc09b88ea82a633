#!/usr/bin/env python3
"""web_page_test.py - the browser page in headless Chromium against vimbrel-render.

Serves the web build's folder over loopback HTTP, opens it in headless
Chromium (selenium and chromedriver), sets the viewport exactly with
Emulation.setDeviceMetricsOverride and reads the screen back with
Page.captureScreenshot; each picture must equal, byte for byte, the frame
vimbrel-render draws at the same size, time and settings. The settings come
from the address, from a real click and key in the panel, and back from
Reset.

  web_page_test.py --web build/web --render build/native/vimbrel-render
                   [--out DIR]

Exits 77 (skipped) with the reason when the web build, Chromium, its driver
or selenium is missing. On a mismatch the actual picture is written to --out.
"""
import argparse
import base64
import gzip
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
import pixels  # noqa: E402

SKIP = 77
PANEL_WIDTH = 300  # CSS pixels, index.html's #panel
# Fields of the stored record (settings_record.h), by position, written
# here by hand so that the page's mapping of names to fields is checked.
EYE_Z, PYRAMID_RADIUS, DODECA_SHOW, SHOW_GRID, FRAME_TIME = 2, 3, 21, 28, 37
RECORD_SIZE = 152
CLOCK_FIELDS = (12, 13, 14, 15, 24, 25, 26, 27)  # the turns' and journeys' starts and ticks
WAIT = 20  # seconds: the bound of every wait

options = None
ActionChains = By = Keys = None  # selenium's, once main() has found it


def wait_for(condition, what, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("waited %d s for %s" % (timeout, what))
        time.sleep(0.05)


def record_with(record, changes):
    out = bytearray(record)
    for index, value in changes.items():
        out[4 * index:4 * index + 4] = (value & 0xFFFFFFFF).to_bytes(4, "little")
    return bytes(out)


class WebPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server, cls.base = browser.serve(options.web)
        cls.driver = browser.chromium(options.chromium, options.chromedriver, WAIT)
        cls.scratch = tempfile.mkdtemp(prefix="vimbrel-web-")

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()
        cls.server.server_close()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    # -- the page -----------------------------------------------------------
    def open(self, query, width, height, scale=1):
        browser.set_viewport(self.driver, width, height, scale)
        self.driver.get(self.base + query)
        wait_for(lambda: self.js("return window.vimbrelPage && (vimbrelPage.frames > 0 || vimbrelPage.error)"),
                 "the first frame of " + query)
        self.assertIsNone(self.js("return vimbrelPage.error"), query)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def record(self):
        return bytes(self.js("return vimbrelPage.record()"))

    def screenshot(self, clip=None):
        """RGB bytes of the viewport, or of a CSS-pixel rectangle of it, in device pixels."""
        arguments = {"format": "png"}
        if clip:
            arguments["clip"] = dict(clip, scale=1)
        data = base64.b64decode(self.driver.execute_cdp_cmd("Page.captureScreenshot", arguments)["data"])
        return pixels.png_rgb(data)

    def canvas_clip(self):
        return self.js("const r = document.getElementById('canvas').getBoundingClientRect();"
                       "return {x: r.left, y: r.top, width: r.width, height: r.height};")

    # -- the renderer -------------------------------------------------------
    def rendered(self, width, height, time_ms, record=None):
        out = os.path.join(self.scratch, "expected.bmp")
        command = [options.render, "--time", str(time_ms), "--size", "%dx%d" % (width, height), "--out", out]
        if record is not None:
            config = os.path.join(self.scratch, "record.bin")
            with open(config, "wb") as f:
                f.write(record)
            command += ["--config", config]
        subprocess.run(command, check=True, timeout=WAIT)
        with open(out, "rb") as f:
            return pixels.bmp_rgb(f.read())

    def assertSameFrame(self, name, shot, expected):
        width, height, rgb = shot
        self.assertEqual((width, height), expected[:2], name + ": size")
        difference = pixels.first_difference(width, rgb, expected[2])
        if difference is not None:
            path = os.path.join(options.out, name + "-actual.png")
            os.makedirs(options.out, exist_ok=True)
            pixels.write_png(path, width, height, rgb)
            self.fail("%s: differs from vimbrel-render first at row %d column %d, %d pixels (actual: %s)"
                      % (name, difference[0], difference[1], difference[2], path))

    def assertSettings(self, changes):
        """The page's record holds the defaults (as the module's field table
        gives them) with these changes, and is returned; its clock fields,
        stamped by every frame drawn as the other programs stamp them, are
        left out."""
        defaults = bytes(self.js("return vimbrelPage.record(true)"))
        self.assertEqual(len(defaults), RECORD_SIZE)
        expected = record_with(defaults, changes)

        def settings(record):
            return b"".join(record[4 * i:4 * i + 4] for i in range(RECORD_SIZE // 4) if i not in CLOCK_FIELDS)
        self.assertEqual(settings(self.record()), settings(expected))
        return expected

    # -- the cases ----------------------------------------------------------
    def test_frames_equal_the_renderers_at_two_sizes_and_high_dpi(self):
        for width, height, scale, time_ms in ((1280, 720, 1, 123456), (640, 400, 2, 98765)):
            with self.subTest(size="%dx%d@%d" % (width, height, scale)):
                self.open("?time=%d&bare" % time_ms, width, height, scale)
                self.assertEqual(self.js("const c = document.getElementById('canvas'); return [c.width, c.height]"),
                                 [width * scale, height * scale], "the canvas is at device pixels")
                self.assertSameFrame("bare-%dx%d-at-%d" % (width, height, scale), self.screenshot(),
                                     self.rendered(width * scale, height * scale, time_ms))
        with self.subTest(size="a phone held upright, the panel below the scene"):
            self.open("?time=4321", 390, 844, 3)
            clip = self.canvas_clip()
            self.assertEqual((clip["width"], clip["height"]), (390, 422))
            self.assertSameFrame("phone-390x422-at-3", self.screenshot(clip), self.rendered(1170, 1266, 4321))

    def test_settings_from_the_address(self):
        query = "?pyramid-radius=200&no-dodeca-show&grid&time=5000&bare"
        self.open(query, 800, 600)
        self.assertEqual(self.js("return location.search"), query)
        expected_record = self.assertSettings({PYRAMID_RADIUS: 200, DODECA_SHOW: 0, SHOW_GRID: 1})
        self.assertSameFrame("address-800x600", self.screenshot(), self.rendered(800, 600, 5000, expected_record))

    def test_a_click_and_a_key_in_the_panel_then_reset(self):
        """A change shows at once: the frame time is ten minutes, so no timer
        draws the frames compared; Reset's frame time of 100 ms then runs."""
        self.open("?time=7000&frame-time=600000", 1100, 700)
        clip = self.canvas_clip()
        self.assertEqual((clip["width"], clip["height"]), (1100 - PANEL_WIDTH, 700))
        self.driver.find_element(By.ID, "grid").click()
        self.driver.find_element(By.ID, "pyramid-radius").send_keys(Keys.ARROW_LEFT)
        self.assertEqual(self.js("return location.search"), "?pyramid-radius=259&grid&frame-time=600000&time=7000")
        self.assertEqual(self.driver.find_element(By.ID, "pyramid-radius-value").text, "259")
        changed = self.assertSettings({PYRAMID_RADIUS: 259, SHOW_GRID: 1, FRAME_TIME: 600000})
        self.assertSameFrame("panel-changed-800x700", self.screenshot(clip), self.rendered(800, 700, 7000, changed))
        self.driver.find_element(By.ID, "reset").click()
        self.assertEqual(self.js("return location.search"), "?time=7000")
        self.assertFalse(self.driver.find_element(By.ID, "grid").is_selected())
        self.assertSameFrame("panel-reset-800x700", self.screenshot(clip), self.rendered(800, 700, 7000))
        seen = self.js("return vimbrelPage.frames")
        wait_for(lambda: self.js("return vimbrelPage.frames") >= seen + 3, "frames at Reset's frame time", timeout=5)

    def test_malformed_values_take_defaults_and_out_of_range_values_stay(self):
        self.open("?pyramid-radius=abc&eye-z=-20000&bogus&time=3000", 900, 500)
        problem = self.driver.find_element(By.ID, "problem").text
        self.assertIn("pyramid-radius=abc", problem)
        self.assertIn("bogus", problem)
        self.assertEqual(problem.count("\n"), 0, "one line")
        radius = self.driver.find_element(By.ID, "pyramid-radius")
        self.assertEqual([radius.get_attribute(a) for a in ("min", "max", "value")], ["50", "300", "260"])
        groups = self.js("return Array.from(document.querySelectorAll('#settings legend')).map(l => l.textContent)")
        self.assertEqual(groups, ["Dodecahedrons", "Pyramid", "View"])
        self.assertEqual(self.driver.find_element(By.ID, "eye-z-value").text, "-20000")
        self.assertEqual(self.js("return location.search"), "?eye-z=-20000&time=3000")
        expected_record = self.assertSettings({EYE_Z: -20000})
        self.assertSameFrame("out-of-range-600x500", self.screenshot(self.canvas_clip()),
                             self.rendered(600, 500, 3000, expected_record))

    def test_a_running_clock_moves_at_the_frame_time(self):
        self.open("?frame-time=250&bare", 320, 200)
        first = self.screenshot()
        start = self.js("return vimbrelPage.frames")
        time.sleep(2)
        frames = self.js("return vimbrelPage.frames") - start
        self.assertTrue(3 <= frames <= 10, "%d frames in 2 s at 250 ms" % frames)
        self.assertNotEqual(first, self.screenshot(), "the scene moves")

    def test_full_screen_ends_at_a_key(self):
        self.open("?time=1000", 900, 600)
        self.driver.find_element(By.ID, "full-screen").click()
        try:
            wait_for(lambda: self.js("return document.fullscreenElement && document.fullscreenElement.id"),
                     "full screen", timeout=5)
        except AssertionError:
            self.skipTest("this headless Chromium grants no full screen")
        self.assertEqual(self.js("return document.fullscreenElement.id"), "scene")
        ActionChains(self.driver).send_keys("x").perform()
        wait_for(lambda: self.js("return document.fullscreenElement === null"), "full screen to end")

    def test_a_page_without_its_module_says_so(self):
        broken = os.path.join(self.scratch, "no-module")
        os.makedirs(broken, exist_ok=True)
        for name in ("index.html", "vimbrel.js"):
            shutil.copy(os.path.join(options.web, name), broken)
        server, base = browser.serve(broken)
        try:
            browser.set_viewport(self.driver, 640, 400, 1)
            self.driver.get(base + "?bare")
            wait_for(lambda: self.js("return window.vimbrelPage && vimbrelPage.error"), "the page to say why")
            self.assertTrue(self.driver.find_element(By.ID, "status").is_displayed())
            self.assertIn("could not start", self.driver.find_element(By.ID, "status").text)
        finally:
            server.shutdown()
            server.server_close()

    def test_the_folder_is_small_and_fetches_nothing_else(self):
        sizes = {}
        for name in ("index.html", "vimbrel.js", "vimbrel.wasm"):
            with open(os.path.join(options.web, name), "rb") as f:
                data = f.read()
            sizes[name] = (len(data), len(gzip.compress(data, 9)))
        total = sum(zipped for _, zipped in sizes.values())
        print("sizes (raw, gzip -9): %s; gzip total %d bytes" % (sizes, total))
        self.assertLessEqual(total, 400 * 1024)
        self.open("?time=1&bare", 200, 150)
        fetched = self.js("return performance.getEntriesByType('resource').map(e => e.name)")
        self.assertEqual(sorted(fetched), [self.base + "vimbrel.js", self.base + "vimbrel.wasm"])


def main():
    global options, ActionChains, By, Keys
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--web", required=True)
    parser.add_argument("--render", required=True)
    parser.add_argument("--out", default=os.path.join(tempfile.gettempdir(), "vimbrel-web-test"))
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    parser.add_argument("--chromedriver", default=shutil.which("chromedriver") or "/usr/bin/chromedriver")
    options, rest = parser.parse_known_args()
    missing = [what for what, present in (
        ("the web build (cmake --preset web && cmake --build --preset web)",
         os.path.exists(os.path.join(options.web, "vimbrel.wasm"))),
        ("chromium", os.path.exists(options.chromium)),
        ("chromedriver (Debian: chromium-driver)", os.path.exists(options.chromedriver)))
        if not present]
    try:
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
    except ImportError:
        missing.append("selenium (Debian: python3-selenium)")
    if missing:
        print("web page tests skipped, missing: " + "; ".join(missing))
        return SKIP
    result = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
