"""The exported web page in headless Chromium: every sample exported by quizpack and played
as the player plays it. One browser per group of checks; the checks of a group share it.

    page_test.py QUIZPACK SOURCE_DIR GROUP      GROUP: grading, keys, media, safety, phone
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, file_url, wait_ready  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

QUIZPACK, SOURCE, GROUP = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
WORK = tempfile.mkdtemp(prefix="quizz-web-test-")
GREEN, RED, ORANGE, YELLOW = "rgb(0, 255, 0)", "rgb(255, 0, 0)", "rgb(255, 100, 0)", "rgb(255, 203, 38)"
DEFAULT = "rgb(240, 240, 240)"
failures = []
passed = 0


def check(condition, what):
    global passed
    if condition:
        passed += 1
    else:
        failures.append(what)
        print("FAILED: " + what, flush=True)


def export(sample, name=None, edit=None):
    """Exports samples/SAMPLE (its description changed by `edit` when given) to WORK/NAME.html."""
    name = name or sample
    folder = os.path.join(SOURCE, "samples", sample)
    toml = os.path.join(folder, "quiz.toml")
    if edit:
        variant = os.path.join(WORK, name)
        os.makedirs(variant, exist_ok=True)
        if os.path.isdir(os.path.join(folder, "media")):
            os.symlink(os.path.join(folder, "media"), os.path.join(variant, "media"))
        with open(toml, encoding="utf-8") as f:
            text = edit(f.read())
        toml = os.path.join(variant, "quiz.toml")
        with open(toml, "w", encoding="utf-8") as f:
            f.write(text)
    out = os.path.join(WORK, name + ".html")
    done = subprocess.run([QUIZPACK, "export", toml, "-o", out], capture_output=True, text=True)
    if done.returncode != 0:
        raise SystemExit("quizpack export %s failed:\n%s%s" % (name, done.stdout, done.stderr))
    return out


def grade(pairs):
    """The verdicts of quizpack grade for (expected, typed) pairs."""
    tsv = "".join("%s\t%s\n" % p for p in pairs)
    done = subprocess.run([QUIZPACK, "grade", "--tsv", "-"], input=tsv, capture_output=True,
                          text=True, check=True)
    return done.stdout.splitlines()


def sample_answers(sample):
    """Every field's expected answer, in field order, read back by quizpack inspect."""
    page = open(os.path.join(WORK, sample + ".html"), encoding="ascii").read()
    start = page.index('id="quiz-data">') + len('id="quiz-data">')
    data = json.loads(page[start:page.index("</script>", start)])
    return data, [a for q in data["questions"] for a in q["answers"]]


class Page:
    def __init__(self, browser):
        self.d = browser.driver

    def open(self, path, fresh=True):
        if fresh:
            # Away from the page first: leaving it saves its answers.
            self.d.get("about:blank")
            self.d.execute_cdp_cmd("Storage.clearDataForOrigin",
                                   {"origin": "file://", "storageTypes": "local_storage"})
        self.d.get(file_url(path))
        state = wait_ready(self.d)
        if state != "ready":
            raise SystemExit("%s: the page did not get ready (%s): %s" % (
                path, state, self.d.get_log("browser")))

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def el(self, id_):
        return self.d.find_element("id", id_)

    def text(self, id_):
        return self.js("return document.getElementById(arguments[0]).textContent", id_)

    def colour(self, id_, prop="backgroundColor"):
        return self.js("return getComputedStyle(document.getElementById(arguments[0]))[arguments[1]]",
                       id_, prop)

    def visible(self, id_):
        return self.js("var e = document.getElementById(arguments[0]);"
                       "return !!e && e.getClientRects().length > 0", id_)

    def focused(self):
        return self.js("return document.activeElement.id")

    def type(self, k, text, then=Keys.TAB):
        field = self.el("field-%d" % k)
        field.click()
        self.js("arguments[0].value = ''", field)
        field.send_keys(text + then)

    def value(self, k):
        return self.js("return document.getElementById(arguments[0]).value", "field-%d" % k)


# ---------------------------------------------------------------------------------------
def grading(page):
    text = export("text")
    data, expected = sample_answers("text")
    page.open(text)
    # clang-format off
    rows = [  # field, typed; the verdict must be quizpack grade's for the same texts
        (1, "  canberra "), (2, "Hgou"), (3, "Mras"), (4, "1798"), (5, "Monnet"),
        (6, "La Loire est longue"), (7, "Au "), (8, "louis xiv"), (9, ""), (10, "onze"),
        (11, "Otawa"), (12, "Einstein Albert"), (13, "1969"), (14, "Beethoven"),
        (15, "Pacifique"), (16, "206"), (17, "Yen"), (18, "Curie"), (19, "Mont Blanc"),
        (20, "\u0141ondres"),
    ]
    # clang-format on
    for k, typed in rows:
        page.type(k, typed)
    held = [page.value(k) for k, _ in rows]
    check(held[-1] == "?ondres", "a character Windows-1252 lacks becomes ? (%r)" % held[-1])
    want = grade([(expected[k - 1], held[i]) for i, (k, _) in enumerate(rows)])
    for i, (k, typed) in enumerate(rows):
        got = page.text("verdict-%d" % k)
        check(got == want[i], "field %d typed %r: page %r, quizpack grade %r" % (k, typed, got, want[i]))
    solved = sum(1 for w in want if w == "BRAVO")
    check(page.text("score") == " %d / 20" % solved, "score %r" % page.text("score"))
    check(page.text("code") == data["codes"][solved - 1], "code %r" % page.text("code"))

    colours = {"BRAVO": GREEN, "FAUX": RED, "Anagramme": ORANGE, "?": DEFAULT}
    seen = set()
    for i, (k, _) in enumerate(rows):
        word = want[i]
        colour = colours.get(word, YELLOW)
        seen.add(colour)
        check(page.colour("verdict-%d" % k) == colour, "verdict %r painted %s" % (word, page.colour("verdict-%d" % k)))
    check(len(seen) == 5, "the rows reach every verdict colour (%d)" % len(seen))
    check(page.colour("board") == "rgb(255, 244, 214)", "board colour %s" % page.colour("board"))
    check(page.js("return getComputedStyle(document.querySelector('.question-text')).backgroundColor")
          == "rgb(255, 255, 192)", "question label colour")
    check(page.colour("link", "color") == "rgb(50, 50, 255)", "link colour")

    # Nothing solved: six blanks; undoing a solved answer lowers the score again.
    page.open(text)
    check(page.text("score") == " 0 / 20" and page.text("code") == "      ",
          "nothing solved: %r %r" % (page.text("score"), page.text("code")))
    for k in (1, 2, 3):
        page.type(k, expected[k - 1])
    check(page.text("score") == " 3 / 20" and page.text("code") == data["codes"][2], "three solved")
    page.type(2, "faux")
    check(page.text("score") == " 2 / 20" and page.text("code") == data["codes"][1], "one undone")

    # Two answers a question: solved only with both.
    duo = export("text-duo")
    duo_data, duo_expected = sample_answers("text-duo")
    page.open(duo)
    page.type(1, duo_expected[0])
    check(page.text("score") == " 0 / 12", "one of two answers does not solve")
    page.type(2, duo_expected[1])
    check(page.text("score") == " 1 / 12" and page.text("code") == duo_data["codes"][0], "both solve")

    reveal_modes(page)
    forms_and_tolerances(page)


def forms_and_tolerances(page):
    """The quiz with accepted forms, every tolerance and its own link that the player plays
    under Wine: the page grades it as quizpack grade --quiz does, scores, codes and reveals."""
    toml = os.path.join(SOURCE, "tests", "data", "forms", "quiz.toml")
    path = os.path.join(WORK, "forms.html")
    subprocess.run([QUIZPACK, "export", toml, "-o", path], check=True, capture_output=True)
    rows = [(1, " de gaulle "), (2, "PALAIS DE L\u2019ELYSEE"), (3, "oeuvres")]
    done = subprocess.run([QUIZPACK, "grade", "--quiz", toml, "--tsv", "-"], check=True, text=True,
                          capture_output=True, input="".join("%d\t%s\n" % r for r in rows))
    want = done.stdout.splitlines()
    page.open(path)
    for k, typed in rows:
        page.type(k, typed)
    got = [page.text("verdict-%d" % k) for k, _ in rows]
    check(got == want == ["BRAVO", "BRAVO", "Quasiment"], "forms: page %s, grade --quiz %s" % (got, want))
    check(page.text("score") == " 2 / 3" and page.text("code") == "Deux",
          "forms: score %r, code %r" % (page.text("score"), page.text("code")))
    check(page.text("reveal-1") == "L'appel du 18 juin." and page.text("reveal-3") == "",
          "forms: reveals %r %r" % (page.text("reveal-1"), page.text("reveal-3")))
    check(page.text("link") == "https://ex.fr/" and page.el("link").get_attribute("href") == "https://ex.fr/",
          "forms: the author's link %r" % page.text("link"))
    page.open(export("text", "no-link", lambda t: t.replace('kind = "text"', 'link = ""\nkind = "text"', 1)))
    check(not page.visible("link"), "link = \"\" hides the link")


def reveal_modes(page):
    def with_reveal(mode):
        return lambda toml: toml.replace('reveal = "text+picture"', 'reveal = "%s"' % mode)
    data, answers = None, None
    for mode, name in enumerate(["none", "picture", "text", "text+picture", "all-texts"]):
        path = export("picture", "picture-%d" % mode, with_reveal(name))
        data, answers = sample_answers("picture-%d" % mode)
        page.open(path)
        check(page.js("return document.getElementById('picture-1').naturalWidth") > 0,
              "mode %d: the question picture decodes" % mode)
        labels = mode in (2, 3, 4)
        check(page.visible("reveal-1") == labels, "mode %d: reveal labels %s" % (mode, labels))
        page.type(1, " " + answers[0] + " ")  # blanks around: BRAVO, and revealed as well
        check(page.text("verdict-1") == "BRAVO", "mode %d: blanks around the answer" % mode)
        if mode in (2, 3):
            check(page.text("reveal-1") == data["questions"][0]["reveal"],
                  "mode %d: blanks around the answer reveal too" % mode)
        page.type(1, answers[0])
        shown = page.text("reveal-1") if labels else None
        pictured = page.visible("reveal-picture-1")
        check(pictured == (mode in (1, 3)), "mode %d: reveal picture shown %s" % (mode, pictured))
        check(page.visible("picture-1") == (mode not in (1, 3)), "mode %d: question picture" % mode)
        if mode in (2, 3):
            check(shown == data["questions"][0]["reveal"], "mode %d: reveal text %r" % (mode, shown))
        if mode == 4:
            check(shown == "", "mode 4: nothing shown before everything is solved")
            for k in range(2, len(answers) + 1):
                page.type(k, answers[k - 1])
            check(all(page.text("reveal-%d" % q) == data["questions"][q - 1]["reveal"]
                      for q in range(1, len(answers) + 1)), "mode 4: every reveal text at once")
            page.type(2, "faux")
            check(page.text("reveal-2") == "" and page.text("reveal-1") != "",
                  "mode 4: a wrong answer empties only its own label")
        if mode in (1, 3):
            page.type(1, "faux")
            check(page.visible("reveal-picture-1"), "mode %d: the reveal picture stays" % mode)
            if mode == 3:
                check(page.text("reveal-1") == "", "mode 3: the text goes")


# ---------------------------------------------------------------------------------------
def keys(page):
    text = export("text")
    data, expected = sample_answers("text")
    n = len(expected)
    page.open(text)
    page.el("field-1").click()
    page.el("field-1").send_keys("canberra" + Keys.ENTER)
    check(page.text("verdict-1") == "BRAVO" and page.focused() == "field-1",
          "Return grades and keeps the focus")
    check(page.value(1) == "canberra", "Return inserts nothing")
    page.el("field-1").send_keys(Keys.TAB)
    check(page.focused() == "field-2", "Tab goes to the next field")
    page.el("field-2").send_keys(Keys.SHIFT + Keys.TAB)
    check(page.focused() == "field-1", "Shift+Tab goes back")
    page.el("field-1").send_keys(Keys.SHIFT + Keys.TAB)
    check(page.focused() == "field-%d" % n, "Shift+Tab on field 1 goes to the last field")
    check(page.value(1) == "canberra" and page.value(2) == "", "Tab and Shift+Tab insert nothing")
    page.js("document.getElementById('field-1').value = arguments[0]", "x" * 30)
    page.el("field-%d" % n).send_keys(Keys.TAB)
    check(page.focused() == "field-1", "Tab on the last field goes to field 1")
    check(page.js("var f = document.activeElement; return [f.selectionStart, f.selectionEnd]") == [0, 25],
          "entering a field selects its first 25 characters")
    check(page.js("return window.scrollY") == 0, "field 1 shows the top of the board")
    check(page.value(n) == "", "Tab on the last field inserts nothing")

    # F1: the field's text in every unsolved field, each graded; solved ones untouched.
    page.open(text)
    page.type(3, expected[2])
    page.type(5, "Paris", then="")
    t0 = time.time()
    page.el("field-5").send_keys(Keys.F1)
    values = [page.value(k) for k in range(1, n + 1)]
    check(values[2] == expected[2] and page.text("verdict-3") == "BRAVO", "F1 leaves a solved field")
    check(all(v == "Paris" for i, v in enumerate(values) if i != 2), "F1 fills every unsolved field")
    want = grade([(expected[k - 1], "Paris") for k in range(1, n + 1) if k != 3])
    got = [page.text("verdict-%d" % k) for k in range(1, n + 1) if k != 3]
    check(got == want, "F1 grades every field it fills: %s" % got)
    check(page.focused() == "field-5", "F1 keeps the focus")
    check(len(page.d.window_handles) == 1, "F1 opens no help page")

    # Answers kept: a reload types them back and grades them before the board shows.
    page.open(text)
    page.type(1, expected[0])
    page.type(2, "Hgou")
    page.type(4, "Quelque chose de long pour la fin")
    page.open(text, fresh=False)
    check([page.value(k) for k in (1, 2, 3, 4)] == [expected[0], "Hgou", "", "Quelque chose de long pour la fin"],
          "reload restores the answers")
    check(page.text("verdict-1") == "BRAVO" and page.text("verdict-2") == "Anagramme",
          "restored answers are graded at load")
    check(page.text("score") == " 1 / 20" and page.text("code") == data["codes"][0], "restored score and code")
    duo = export("text-duo")
    page.open(duo, fresh=False)
    check(page.value(1) == "", "another quiz does not pick up these answers")
    # A field holding "*", which the player's answers file cannot tell from an empty one.
    page.open(text)
    page.type(1, "*")
    page.open(text, fresh=False)
    check(page.value(1) == "*", "a lone * is kept as typed: %r" % page.value(1))
    # Hidden page saves too: typed but never left, then the page goes away.
    page.open(text, fresh=False)
    page.el("field-6").click()
    page.el("field-6").send_keys("Loire")
    page.js("document.dispatchEvent(new Event('visibilitychange'))")  # still visible: no save
    page.js("window.dispatchEvent(new Event('pagehide'))")
    page.js("location.reload()")
    time.sleep(0.3)
    wait_ready(page.d)
    check(page.value(6) == "Loire", "answers are saved when the page goes away")

    # Recommencer, with its confirmation.
    page.el("restart").click()
    page.d.switch_to.alert.accept()
    check(all(page.value(k) == "" for k in range(1, n + 1)) and page.text("score") == " 0 / 20",
          "Recommencer empties every field")
    page.open(text, fresh=False)
    check(page.value(1) == "", "and the emptied fields are what is kept")

    # No storage: the header says so, once; the quiz still plays.
    script = page.d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
        "Object.defineProperty(window, 'localStorage', {get: function () {"
        " throw new DOMException('denied', 'SecurityError'); }});"})
    page.d.get(file_url(text))
    wait_ready(page.d)
    check(page.visible("notice") and "ne seront pas gard" in page.text("notice"),
          "without storage the header says so: %r" % page.text("notice"))
    page.type(1, expected[0])
    check(page.text("verdict-1") == "BRAVO", "without storage the quiz still plays")
    check(len(page.d.find_elements("css selector", "#notice")) == 1, "said once")
    page.d.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script["identifier"]})


# ---------------------------------------------------------------------------------------
def state(page, q):
    return page.js("var m = document.getElementById(arguments[0]);"
                   "return {paused: m.paused, ended: m.ended, at: m.currentTime}", "media-%d" % q)


def played(page, qs, seconds=0.3, timeout=15.0):
    """Waits until every clip of `qs` is past `seconds`; a busy machine may even let it end."""
    end = time.time() + timeout
    while time.time() < end:
        states = [state(page, q) for q in qs]
        if all(s["at"] > seconds for s in states):
            return states
        time.sleep(0.05)
    return [state(page, q) for q in qs]


def still_playing(s):
    return not s["paused"] or s["ended"]  # not stopped by anything else


def media(page):
    audio = export("audio")
    page.open(audio)
    page.el("play-1").click()
    first = played(page, [1])[0]
    check(first["at"] > 0.3 and still_playing(first), "the audio clip plays: %s" % first)
    page.el("play-2").click()
    second = played(page, [2])[0]
    check(state(page, 1)["paused"] and not state(page, 1)["ended"] and second["at"] > 0.3,
          "play replaces the clip playing: %s %s" % (state(page, 1), second))
    page.el("stop-4").click()
    check(all(state(page, q)["paused"] and state(page, q)["at"] == 0 for q in range(1, 7)),
          "any stop button stops the clip")

    video = export("video")
    page.open(video)
    page.el("play-1").click()
    page.el("play-2").click()
    films = played(page, [1, 2], 0.2)
    check(all(f["at"] > 0.2 and still_playing(f) for f in films), "two films play at once: %s" % films)
    check(page.js("return document.getElementById('media-1').videoWidth") > 0, "the film has pictures")
    page.el("stop-3").click()
    check(all(state(page, q)["paused"] and state(page, q)["at"] == 0 for q in (1, 2, 3)),
          "one stop stops every film")


# ---------------------------------------------------------------------------------------
def safety(page):
    hostile = '<img src=x onerror=alert(1)>'
    path = export("text", "hostile", lambda t: t.replace(
        'title = "Culture générale"', 'title = "%s"' % hostile).replace(
        "Quelle est la capitale de l'Australie ?", "<b>gras</b> & <script>alert(2)</script>"))
    page.open(path)
    check(page.text("title") == hostile, "a hostile title shows literally: %r" % page.text("title"))
    check(page.js("return document.title") == hostile, "and so does the document title")
    check(page.js("return document.querySelectorAll('img, b, main script').length") == 0,
          "no quiz text becomes markup")
    check(page.js("return document.querySelector('.question-text').textContent")
          == "<b>gras</b> & <script>alert(2)</script>", "question text shown literally")
    link = page.el("link")
    check(link.get_attribute("target") == "_blank" and "noopener" in link.get_attribute("rel").split(),
          "the link opens a new tab with rel=noopener")

    for name in ("text", "picture", "audio", "video"):
        html = export(name)
        raw = open(html, "rb").read()
        check(all(b < 0x80 for b in raw), "%s: the page is plain ASCII" % name)
        page.open(html)
        entries = page.js("return performance.getEntriesByType('resource').map(function (e) { return e.name; })")
        check(entries == [], "%s: no resource fetched: %s" % (name, entries))
        csp = page.js("return document.querySelector('meta[http-equiv=Content-Security-Policy]').content")
        check("default-src 'none'" in csp and "http" not in csp, "%s: CSP %s" % (name, csp))
    # The policy is in force: a request is refused before it leaves.
    blocked = page.d.execute_async_script(
        "var done = arguments[arguments.length - 1];"
        "var violated = false;"
        "document.addEventListener('securitypolicyviolation', function () { violated = true; });"
        "fetch('http://127.0.0.1:9/').then(function () { done('fetched'); },"
        " function () { setTimeout(function () { done(violated ? 'blocked' : 'failed'); }, 50); });")
    check(blocked == "blocked", "CSP refuses a request: %s" % blocked)
    # Opened straight from disk above; served over HTTP it works the same.
    server = subprocess.Popen([sys.executable, "-m", "http.server", "0", "--bind", "127.0.0.1",
                               "--directory", WORK], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        line = server.stdout.readline()  # "Serving HTTP on 127.0.0.1 port N ..."
        port = int(line.split("port ")[1].split()[0])
        page.d.get("http://127.0.0.1:%d/picture.html" % port)
        check(wait_ready(page.d) == "ready", "served over HTTP the page plays")
        page.type(1, "France")
        check(page.text("verdict-1") == "BRAVO", "served over HTTP it grades")
    finally:
        server.terminate()
        server.wait()


# ---------------------------------------------------------------------------------------
def columns(page, selector=".question"):
    return page.js("var s = new Set(); document.querySelectorAll(arguments[0]).forEach("
                   "function (e) { s.add(Math.round(e.getBoundingClientRect().left)); }); return s.size",
                   selector)


def desktop_layout(page):
    page.open(export("picture"))
    check(columns(page) == 3, "desktop: three picture questions a row (%d)" % columns(page))
    page.open(export("text"))
    check(columns(page) == 1, "desktop: a text quiz has one question a row")


def phone(page):
    for name in ("picture", "audio", "video", "text", "text-duo"):
        page.open(export(name))
        check(page.js("return window.innerWidth") == 390, "%s: a 390 px wide viewport" % name)
        check(columns(page) == 1, "%s: one question a row on a phone (%d)" % (name, columns(page)))
        wide = page.js("return document.documentElement.scrollWidth")
        check(wide <= 390, "%s: no horizontal scrolling (%d px wide)" % (name, wide))


GROUPS = {"grading": (grading, {}), "keys": (keys, {}), "media": (media, {}),
          "safety": (safety, {}), "layout": (desktop_layout, {}),
          "phone": (phone, {"phone_width": 390})}

if __name__ == "__main__":
    run, options = GROUPS[GROUP]
    browser = Browser(**options)
    try:
        run(Page(browser))
    except Exception as e:  # a broken page ends the group; what was checked still counts
        failures.append("%s: %s" % (type(e).__name__, e))
        print("FAILED: %s: %s" % (type(e).__name__, e), flush=True)
    finally:
        browser.close()
        shutil.rmtree(WORK, ignore_errors=True)
    print("%d passed, %d failed" % (passed, len(failures)))
    sys.exit(1 if failures else 0)
