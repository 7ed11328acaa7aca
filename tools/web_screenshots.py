#!/usr/bin/python3
"""Screenshots of an exported quiz page in headless Chromium, at a desktop size and on an
emulated phone 390 px wide.

    tools/web_screenshots.py PAGE.html DESKTOP.png PHONE.png
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, file_url, wait_ready  # noqa: E402


def shoot(page, out, **options):
    browser = Browser(**options)
    try:
        browser.driver.get(file_url(page))
        if wait_ready(browser.driver) != "ready":
            raise SystemExit("%s: the page did not get ready" % page)
        browser.driver.save_screenshot(out)
    finally:
        browser.close()


if __name__ == "__main__":
    page, desktop, phone = sys.argv[1:4]
    shoot(page, desktop, width=1280, height=800)
    shoot(page, phone, phone_width=390)
