#!/usr/bin/env python3
"""web_bench.py - the page's frame cost at 1920 x 1080 and its first frame,
in headless Chromium on loopback, beside vimbrel-bench's native figures.

  bench/web_bench.py [--web build/web] [--native build/native/vimbrel-bench] [--loads 5]

The page's ?bench times, in a scene of its own at 1920 x 1080 over the
ticks vimbrel-bench uses: a frame composed whole, an update (the frame
100 ms after the last, drawn from its changes, with the RGBA copy brought
up to date) and putting a whole frame on a canvas. The first frame is the
time from navigation to the first frame on the canvas, fresh loads of a
1920 x 1080 page, median of --loads.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "web"))
import browser  # noqa: E402

WAIT = 60


def wait_for(condition, what):
    deadline = time.monotonic() + WAIT
    while not condition():
        if time.monotonic() > deadline:
            raise SystemExit("web_bench: waited %d s for %s" % (WAIT, what))
        time.sleep(0.05)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--web", default=os.path.join(root, "build", "web"))
    parser.add_argument("--native", default=os.path.join(root, "build", "native", "vimbrel-bench"))
    parser.add_argument("--loads", type=int, default=5)
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    parser.add_argument("--chromedriver", default=shutil.which("chromedriver") or "/usr/bin/chromedriver")
    options = parser.parse_args()
    server, base = browser.serve(options.web)
    driver = browser.chromium(options.chromium, options.chromedriver, WAIT)
    try:
        browser.set_viewport(driver, 1920, 1080, 1)
        firsts = []
        for _ in range(options.loads):
            driver.get("about:blank")
            driver.get(base + "?bare")
            wait_for(lambda: driver.execute_script("return window.vimbrelPage && vimbrelPage.firstFrameMs"),
                     "the first frame")
            firsts.append(driver.execute_script("return vimbrelPage.firstFrameMs"))
        driver.get(base + "?bench&bare")
        wait_for(lambda: driver.execute_script("return window.vimbrelPage && vimbrelPage.bench"), "the benchmark")
        web = driver.execute_script("return vimbrelPage.bench")
    finally:
        driver.quit()
        server.shutdown()
        server.server_close()
    print("first frame: median %.0f ms of %d loads (%s)" % (statistics.median(firsts), len(firsts),
                                                           ", ".join("%.0f" % f for f in firsts)))
    print("browser at 1920 x 1080: frame composed whole %.2f ms, update %.2f ms, putImageData %.2f ms"
          % (web["wholeMs"], web["updateMs"], web["putMs"]))
    if not os.path.exists(options.native):
        print("no %s: no native figures" % options.native)
        return 0
    out = subprocess.run([options.native, "--benchmark_filter=(Frame|Update)/width:1920/height:1080/overlays:0/",
                          "--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true"],
                         capture_output=True, text=True, timeout=600).stdout
    native = {}
    for name, value in re.findall(r"^BM_(Frame|Update)/\S+_median\s+([\d.]+) ms", out, re.M):
        native[name] = float(value)
    print(out)
    for name, key in (("Frame", "wholeMs"), ("Update", "updateMs")):
        if name in native:
            print("%s: browser %.2f ms, native %.2f ms, ratio %.2f" % (name, web[key], native[name],
                                                                      web[key] / native[name]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
