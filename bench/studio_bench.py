#!/usr/bin/python3
"""Timings of quizpack studio (bench/studio_bench.sh runs it).

    studio_bench.py QUIZPACK QUIZ_FOLDER RUNS
"""
import http.client
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser  # noqa: E402

QUIZPACK, FOLDER, RUNS = sys.argv[1], sys.argv[2], int(sys.argv[3])


def start():
    """Starts the studio; returns it, its address and the seconds to its page served."""
    t0 = time.perf_counter()
    process = subprocess.Popen([QUIZPACK, "studio", FOLDER, "--no-browser"], stdout=subprocess.PIPE, text=True)
    url = process.stdout.readline().split("Studio: ")[1].strip()
    port = int(url.split(":")[2].split("/")[0])
    connection = http.client.HTTPConnection("127.0.0.1", port)
    connection.request("GET", url[url.index("/", 8):])
    first = connection.getresponse()
    first.read()
    cookie = first.getheader("Set-Cookie").split(";")[0]
    connection.request("GET", "/", headers={"Cookie": cookie})
    response = connection.getresponse()
    response.read()
    served = time.perf_counter() - t0
    if response.status != 200:
        raise SystemExit("the page was not served: %d" % response.status)
    return process, url, cookie, served


def stop(process, url, cookie):
    port = int(url.split(":")[2].split("/")[0])
    connection = http.client.HTTPConnection("127.0.0.1", port)
    connection.request("POST", "/api/quit", "{}", {"Cookie": cookie, "X-Quizz-Studio": "1",
                                                   "Content-Type": "application/json"})
    connection.getresponse().read()
    process.wait()


def median_ms(values):
    return statistics.median(values)


starts = []
for _ in range(RUNS):
    process, url, cookie, served = start()
    starts.append(served * 1000)
    stop(process, url, cookie)

process, url, cookie, _ = start()
browser = Browser(1400, 1000)
d = browser.driver
js = d.execute_script
try:
    t0 = time.perf_counter()
    d.get(url)
    while js("return document.documentElement.getAttribute('data-studio')") != "ready":
        time.sleep(0.01)
    first_session = (time.perf_counter() - t0) * 1000
    while js("return document.getElementById('preview').getAttribute('data-revision')") is None:
        time.sleep(0.01)
    first_preview = (time.perf_counter() - t0) * 1000

    def settled(count):
        while (len(js("return window.studioTimings.preview")) < count or
               js("return document.getElementById('save-state').getAttribute('data-state')") != "saved"):
            time.sleep(0.01)

    for i in range(RUNS):
        field = d.find_element("id", "question-45-answer-1")
        js("arguments[0].scrollIntoView({block: 'center'})", field)
        field.send_keys("x" if i % 2 == 0 else "\b")
        settled(i + 1)
    timings = js("return window.studioTimings")
finally:
    browser.close()
    stop(process, url, cookie)

print("quizpack studio, 90 photos of 1600 x 1200 (%d runs, medians)" % RUNS)
print("  start to page served:            %7.1f ms (goal < 1000)" % median_ms(starts))
print("  change to its diagnostics shown: %7.1f ms (goal < 100)" % median_ms(timings["diagnostics"]))
print("  change to the preview showing it:%7.1f ms (goal < 500)" % median_ms(timings["preview"]))
print("  first open (every picture checked once):   %7.1f ms" % first_session)
print("  first preview (every picture prepared once): %7.1f ms" % first_preview)
