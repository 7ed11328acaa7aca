#!/usr/bin/python3
"""A quiz of each kind made in quizpack studio only, through the editor's own controls, as a
new author would: created from the list, questions typed, pictures and clips given through
the file pickers, codes typed, then built and exported. Saves a screenshot of the editor for
each kind in OUT (default build/studio-screenshots) and prints what was made.

    tools/studio_screenshots.py [QUIZPACK] [OUT]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from browser import Browser  # noqa: E402
from selenium.webdriver.support.ui import Select  # noqa: E402

QUIZPACK = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "host", "quizpack")
OUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "build", "studio-screenshots")
MEDIA = os.path.join(ROOT, "samples")

QUIZZES = [  # kind, title, questions (answer, text or media file), codes
    ("text", "Capitales du monde", [("Canberra", "Quelle est la capitale de l'Australie ?"),
                                    ("Ottawa", "Et celle du Canada ?"),
                                    ("Brasilia", "Et celle du Br\u00e9sil ?")], "OR\nARGENT\nBRONZE"),
    ("picture", "Drapeaux", [("France", "picture/media/q01.jpg"), ("Japon", "picture/media/q02.jpg"),
                             ("Allemagne", "picture/media/q03.jpg")], "UN\nDEUX\nTROIS"),
    ("audio", "Devinettes sonores", [("12", "audio/media/q01.mp3"), ("cheval", "audio/media/q02.mp3")], "A\nB"),
    ("video", "Films", [("6", "video/media/q01.avi"), ("Italie", "video/media/q02.avi")], "A\nB"),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    folder = tempfile.mkdtemp(prefix="quizz-studio-tries-")
    process = subprocess.Popen([QUIZPACK, "studio", folder, "--no-browser"], stdout=subprocess.PIPE, text=True)
    url = process.stdout.readline().split("Studio: ")[1].strip()
    browser = Browser(1400, 1000)
    d = browser.driver
    js = d.execute_script

    def el(id_):
        e = d.find_element("id", id_)
        js("arguments[0].scrollIntoView({block: 'center'})", e)
        return e

    def wait(script, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            value = js(script)
            if value:
                return value
            time.sleep(0.1)
        return None

    def saved():
        time.sleep(0.2)
        wait("return document.getElementById('save-state').getAttribute('data-state') === 'saved'")

    try:
        d.get(url)
        wait("return document.documentElement.getAttribute('data-studio') === 'ready'")
        for kind, title, questions, codes in QUIZZES:
            if js("return document.body.getAttribute('data-mode')") == "quiz":
                el("show-list").click()
                wait("return document.body.getAttribute('data-mode') === 'list'")
            el("new-title").clear()
            el("new-title").send_keys(title)
            el("new-" + kind).click()
            wait("return document.body.getAttribute('data-mode') === 'quiz'")
            el("quiz-creator").send_keys("Mme Martin")
            el("quiz-explanation").send_keys("Tapez la r\u00e9ponse sous chaque question.")
            if kind == "picture":
                Select(el("quiz-reveal")).select_by_value("text")
            for q, (answer, what) in enumerate(questions, 1):
                if q > 1:
                    el("add-question").click()
                el("question-%d-answer-1" % q).send_keys(answer)
                if kind == "text":
                    el("question-%d-text" % q).send_keys(what)
                else:
                    el("question-%d-%s" % (q, "picture" if kind == "picture" else "clip")).send_keys(
                        os.path.join(MEDIA, what))
                    wait("return document.getElementById('question-%d-%s-name').textContent.indexOf('media/') === 0"
                         % (q, "picture" if kind == "picture" else "clip"))
                if kind == "picture":
                    el("question-%d-reveal-text" % q).send_keys("C'\u00e9tait le drapeau : " + answer + ".")
            el("quiz-codes").send_keys(codes)
            saved()
            results = []
            for button, result in (("build-exe", "build-result"), ("export-page", "export-result")):
                el(button).click()
                results.append(wait("var r = document.getElementById('%s');"
                                    "return r.getAttribute('data-state') && r.textContent" % result, 120))
            js("window.scrollTo(0, 0)")
            time.sleep(1.0)
            shot = os.path.join(OUT, kind + ".png")
            d.save_screenshot(shot)
            problems = js("return Array.prototype.map.call(document.querySelectorAll('#diagnostics li'),"
                          " function (li) { return li.textContent; })")
            print("%s: %s | %s | problems: %s | %s" % (kind, results[0], results[1], problems or "none", shot))
    finally:
        browser.close()
        process.terminate()
        process.wait()
        shutil.copytree(folder, os.path.join(OUT, "quizzes"), dirs_exist_ok=True)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
