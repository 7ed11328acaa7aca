"""Headless Chromium through WebDriver, as the web page tests and benchmarks use it, and
WebKitGTK (Debian's webkit2gtk-driver) for the page tests' WebKit row."""
import os
import shutil
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
# No connection of the browser's own (updates, sync, safe browsing): the machine has no
# network, and a page test must see only what the page asks for.
FLAGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic",
    "--autoplay-policy=no-user-gesture-required", "--mute-audio",
]


class Browser:
    """One Chromium with a fresh profile, removed on close."""

    def __init__(self, width=1280, height=900, phone_width=None):
        self.profile = tempfile.mkdtemp(prefix="quizz-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in FLAGS:
            options.add_argument(flag)
        options.add_argument("--user-data-dir=" + self.profile)
        if phone_width:
            # A headless window is never narrower than 500 px: a phone is emulated.
            options.add_experimental_option("mobileEmulation", {
                "deviceMetrics": {"width": phone_width, "height": 844, "pixelRatio": 2}})
        else:
            options.add_argument("--window-size=%d,%d" % (width, height))
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER),
                                       options=options)

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)


class WebKitBrowser:
    """WebKitGTK's MiniBrowser driven by WebKitWebDriver. It needs a display: CTest gives it
    an Xvfb of its own; by hand, run the test under xvfb-run -a."""

    MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

    def __init__(self):
        from selenium.webdriver.webkitgtk.options import Options
        if not os.environ.get("DISPLAY"):
            raise SystemExit("WebKitGTK needs a display: run this under xvfb-run -a")
        options = Options()
        options.binary_location = self.MINIBROWSER
        options.add_argument("--automation")
        # The browser's warnings about GStreamer plugins and D-Bus are not the page's.
        self.driver = webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver",
                                          options=options, service_log_path=os.devnull)

    def close(self):
        self.driver.quit()


def file_url(path):
    return "file://" + os.path.abspath(path)


def wait_ready(driver, timeout=10.0):
    """Waits for the board to be built, restored and graded; returns the page's state."""
    import time
    end = time.time() + timeout
    while time.time() < end:
        state = driver.execute_script("return document.documentElement.getAttribute('data-state')")
        if state:
            return state
        time.sleep(0.02)
    return None
