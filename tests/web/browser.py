"""browser.py - the page's folder served on loopback and headless Chromium
driven by selenium, for the page's tests and its benchmark."""
import functools
import http.server
import threading


def serve(folder):
    """An HTTP server of folder on 127.0.0.1 at a free port, in a thread; returns (server, base URL)."""
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def chromium(binary, driver, timeout):
    """Headless Chromium with exact sRGB colours (root in CI: no sandbox), every wait bounded by timeout."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    chrome = webdriver.ChromeOptions()
    chrome.binary_location = binary
    for argument in ("--headless=new", "--no-sandbox", "--force-color-profile=srgb", "--disable-gpu",
                     "--disable-dev-shm-usage", "--hide-scrollbars", "--no-first-run"):
        chrome.add_argument(argument)
    browser = webdriver.Chrome(service=Service(driver), options=chrome)
    browser.set_page_load_timeout(timeout)
    browser.set_script_timeout(timeout)
    return browser


def set_viewport(browser, width, height, scale):
    """The viewport exactly, in CSS pixels at a device scale (the window's frame is not counted)."""
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                            {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": False})
