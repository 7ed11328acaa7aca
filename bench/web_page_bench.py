#!/usr/bin/python3
"""Timings of an exported quiz page in headless Chromium (bench/web_bench.sh runs it).

    web_page_bench.py startup PAGE.html RUNS QUIZ.toml
                                                 navigation to board ready, empty and with
                                                 every answer of QUIZ.toml saved
    web_page_bench.py f1 PAGE.html RUNS          F1 in field 1 with every field unsolved
"""
import os
import statistics
import sys
import tomllib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, file_url, wait_ready  # noqa: E402


def quiz_answers(toml):
    """Every field's main answer, in field order: the page holds them packed only."""
    with open(toml, "rb") as f:
        questions = tomllib.load(f)["question"]
    return len(questions), [a.split("|")[0].strip() for q in questions for a in q["answers"]]


def load(driver, url):
    driver.get("about:blank")
    driver.get(url)
    if wait_ready(driver, 60) != "ready":
        raise SystemExit("the page did not get ready")
    return driver.execute_script("return window.quizzBoardReadyMs")


def startup(driver, url, runs, toml):
    load(driver, url)  # the first load warms the browser itself
    questions, answers = quiz_answers(toml)
    empty = []
    saved = []
    for _ in range(runs):
        driver.execute_script("localStorage.clear()")
        driver.get("about:blank")
        driver.execute_cdp_cmd("Storage.clearDataForOrigin",
                               {"origin": "file://", "storageTypes": "local_storage"})
        empty.append(load(driver, url))
    for _ in range(runs):
        # Typed into the fields, kept as the page goes away.
        driver.execute_script("arguments[0].forEach(function (a, i) {"
                              " document.getElementById('field-' + (i + 1)).value = a; })", answers)
        saved.append(load(driver, url))
        score = driver.execute_script("return document.getElementById('score').textContent")
        if score.strip() != "%d / %d" % (questions, questions):
            raise SystemExit("saved answers were not restored: score %r" % score)
    print("page start-up, navigation to board ready: median %.0f ms empty, %.0f ms with %d saved "
          "answers (%d runs each)" % (statistics.median(empty), statistics.median(saved),
                                      len(answers), runs))
    return statistics.median(empty), statistics.median(saved)


def f1(driver, url, runs):
    times = []
    fields = 0
    for _ in range(runs):
        driver.get("about:blank")
        driver.execute_cdp_cmd("Storage.clearDataForOrigin",
                               {"origin": "file://", "storageTypes": "local_storage"})
        load(driver, url)
        fields, ms = driver.execute_script(
            "var f = document.getElementById('field-1');"
            "var n = document.querySelectorAll('.field').length;"
            "f.focus(); f.value = 'r\\u00e9ponse';"
            "var t0 = performance.now();"
            "f.dispatchEvent(new KeyboardEvent('keyup', {key: 'F1', bubbles: true}));"
            "document.body.offsetHeight;"  # the layout it causes counts too
            "var ms = performance.now() - t0;"
            "var filled = Array.prototype.every.call(document.querySelectorAll('.field'),"
            "  function (e) { return e.value === 'r\\u00e9ponse'; });"
            "return [filled ? n : -1, ms];")
        if fields < 0:
            raise SystemExit("F1 did not fill every field")
        times.append(ms)
    print("page F1 over %d unsolved fields: median %.1f ms, max %.1f ms (%d runs)" % (
        fields, statistics.median(times), max(times), runs))


if __name__ == "__main__":
    what, page, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    browser = Browser(width=1280, height=900)
    try:
        if what == "startup":
            startup(browser.driver, file_url(page), runs, sys.argv[4])
        else:
            f1(browser.driver, file_url(page), runs)
    finally:
        browser.close()
