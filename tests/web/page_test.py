"""The exported web page in headless Chromium: every sample exported by quizpack and played
as the player plays it. One browser per group of checks; the checks of a group share it.

    page_test.py QUIZPACK SOURCE_DIR GROUP [AXE.js]
        GROUP: grading, keys, media, safety, layout, phone (those two with axe-core), webkit
        (WebKitGTK, under Xvfb)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import tomllib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, WebKitBrowser, file_url, wait_ready  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

QUIZPACK, SOURCE, GROUP = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
AXE = sys.argv[4] if len(sys.argv) > 4 else None
WORK = tempfile.mkdtemp(prefix="quizz-web-test-")
GREEN, RED, ORANGE, YELLOW = "rgb(0, 255, 0)", "rgb(255, 0, 0)", "rgb(255, 100, 0)", "rgb(255, 203, 38)"
DEFAULT = "rgb(240, 240, 240)"
LINK_BLUE = "rgb(0, 0, 128)"
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
    """The sample's codes and questions, and every field's main answer in field order, from
    its description: the page itself carries them packed only."""
    with open(os.path.join(SOURCE, "samples", sample, "quiz.toml"), "rb") as f:
        toml = tomllib.load(f)
    questions = [{"answers": [a.split("|")[0].strip() for a in q["answers"]],
                  "reveal": q.get("reveal_text", "")} for q in toml["question"]]
    data = {"codes": toml.get("codes", []), "questions": questions}
    return data, [a for q in questions for a in q["answers"]]


def click(element, timeout=5.0):
    """Clicks, waiting for a browser whose window is not on screen yet (WebKitGTK's). The
    element is brought to the middle first: WebDriver would click one at the top of the
    window through the header that stays there."""
    end = time.time() + timeout
    element.parent.execute_script("arguments[0].scrollIntoView({block: 'center'})", element)
    while True:
        try:
            return element.click()
        except Exception:
            if time.time() > end:
                raise
            time.sleep(0.1)


class Page:
    def __init__(self, browser):
        self.d = browser.driver

    def open(self, path, fresh=True):
        if fresh:
            # Away from the page first: leaving it saves its answers.
            self.d.get("about:blank")
            if hasattr(self.d, "execute_cdp_cmd"):
                self.d.execute_cdp_cmd("Storage.clearDataForOrigin",
                                       {"origin": "file://", "storageTypes": "local_storage"})
            else:
                self.d.get(file_url(path))
                self.js("localStorage.clear()")
                self.d.get("about:blank")
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

    def tab(self, shift=False):
        """Tab (Shift+Tab) in the focused element; returns the id of the one focused then."""
        self.d.switch_to.active_element.send_keys((Keys.SHIFT + Keys.TAB) if shift else Keys.TAB)
        return self.js("return document.activeElement.id || document.activeElement.tagName")

    def axe(self, where):
        """axe-core's WCAG 2.2 A and AA rules on the page: each violation is a failed check."""
        if not AXE:
            check(False, "axe-core is missing: the test command installs it from npm")
            return
        with open(AXE, encoding="utf-8") as f:
            self.js(f.read())
        found = self.d.execute_async_script(
            "var done = arguments[arguments.length - 1];"
            "axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a',"
            " 'wcag21aa', 'wcag22a', 'wcag22aa']}}).then(function (r) {"
            " done(r.violations.map(function (v) { return v.id + ' on ' + v.nodes.map(function (n) {"
            " return n.target.join(' '); }).slice(0, 4).join(', '); })); },"
            " function (e) { done(['axe failed: ' + e]); });")
        check(found == [], "%s: axe-core violations: %s" % (where, found))

    def type(self, k, text, then=Keys.TAB):
        field = self.el("field-%d" % k)
        click(field)
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
    check(page.colour("link", "color") == LINK_BLUE, "link colour")

    # Nothing solved: six blanks; undoing a solved answer lowers the score again.
    page.open(text)
    check(page.text("score") == " 0 / 20" and page.text("code") == "      ",
          "nothing solved: %r %r" % (page.text("score"), page.text("code")))
    for k in (1, 2, 3):
        page.type(k, expected[k - 1])
    check(page.text("score") == " 3 / 20" and page.text("code") == data["codes"][2], "three solved")
    said = "Question 3 : BRAVO. Score : 3 sur 20. Code : " + data["codes"][2]
    check(page.text("announce") == said, "a grading is announced: %r" % page.text("announce"))
    check(page.el("field-3").accessible_name == "Question 3, r\u00e9ponse 1",
          "a field's name: %r" % page.el("field-3").accessible_name)
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
    name = page.el("field-6").accessible_name
    check(name == "Question 3, r\u00e9ponse 2, Titre de l'\u0153uvre", "a second answer's name: %r" % name)

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
        data, answers = sample_answers("picture")
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
    check(page.tab() == "field-2", "Tab goes to the next field")
    check(page.tab(shift=True) == "field-1", "Shift+Tab goes back")
    check(page.value(1) == "canberra" and page.value(2) == "", "Tab and Shift+Tab insert nothing")
    # No keyboard trap: the fields are one stretch of the page's order, entered at field 1.
    page.js("document.getElementById('field-1').value = arguments[0]", "x" * 30)
    page.js("document.getElementById('restart').focus()")
    check(page.tab() == "field-1", "Tab from Recommencer lands on field 1")
    sel = page.js("var f = document.activeElement; return [f.selectionStart, f.selectionEnd]")
    check(sel == [0, 25], "entering a field selects its first 25 characters: %s" % sel)
    page.js("document.getElementById('field-%d').focus()" % n)
    left = page.tab()
    if left == "BODY":  # out of the page, to the browser's own controls, and back in at the top
        left = page.tab()
    check(left == "link", "Tab from the last field goes on to the page's other controls (%s)" % left)
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

    # Two tabs of the quiz, each answering its own field: neither loses an answer, whichever
    # is reloaded, and a record kept before answers had times still comes back.
    page.open(text)
    first = page.d.current_window_handle
    page.d.switch_to.new_window("tab")
    page.open(text, fresh=False)
    page.type(2, expected[1])
    page.d.switch_to.window(first)
    page.type(1, expected[0])
    for handle in (page.d.current_window_handle, page.d.window_handles[-1]):
        page.d.switch_to.window(handle)
        page.open(text, fresh=False)
        check([page.value(1), page.value(2)] == expected[:2] and page.text("score") == " 2 / 20",
              "two tabs: reloading one keeps both answers (%r, %r)" % (page.value(1), page.value(2)))
    page.d.close()
    page.d.switch_to.window(first)
    page.open(text)
    page.js("localStorage.setItem(JSON.parse(document.getElementById('quiz-data').textContent)"
            ".storageKey, JSON.stringify({version: 1, answers: ['', arguments[0]]}))", expected[1])
    page.open(text, fresh=False)
    check(page.value(2) == expected[1] and page.value(1) == "", "a record without times is read")

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
    # A clip the browser cannot play says so beside its buttons.
    page.js("document.getElementById('media-2').src = URL.createObjectURL("
            "new Blob([new Uint8Array(64)], {type: 'audio/mpeg'}))")
    page.el("play-2").click()
    end = time.time() + 5
    while not page.visible("clip-problem-2") and time.time() < end:
        time.sleep(0.05)
    check(page.visible("clip-problem-2") and "ne peut pas" in page.text("clip-problem-2")
          and not page.visible("clip-problem-1"), "a clip that cannot play: %r" % page.text("clip-problem-2"))

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

    # Every play and stop button is on the keyboard's way, in question order.
    for path, count in ((audio, 6), (video, 3)):
        page.open(path)
        page.js("document.getElementById('restart').focus()")
        reached = [page.tab() for _ in range(3 * count)]
        want = [x % q for q in range(1, count + 1) for x in ("play-%d", "stop-%d", "field-%d")]
        check(reached == want, "Tab reaches every play and stop button: %s" % reached)


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
        # Answers and codes are in the packed quiz only, as in the executable.
        data, answers = sample_answers(name)
        held = [t for t in answers + data["codes"] if len(t) >= 4 and t.isascii()]
        found = [t for t in held if t.encode().lower() in raw.lower()]
        check(len(held) >= 4 and found == [], "%s: answers or codes in the page: %s" % (name, found))
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


def answer_some(page, name):
    """Types one answer right and one wrong, as a player would have done."""
    _, answers = sample_answers(name)
    page.type(1, answers[0])
    page.type(2, "faux")


def desktop_layout(page):
    page.open(export("picture"))
    check(columns(page) == 3, "desktop: three picture questions a row (%d)" % columns(page))
    page.open(export("text"))
    check(columns(page) == 1, "desktop: a text quiz has one question a row")
    for name in ("text", "text-duo", "picture", "audio", "video"):
        page.open(export(name))
        answer_some(page, name)
        page.axe("%s at 1280 px" % name)

    # A printout: no buttons, verdicts in their colours, the score and code, one page less.
    page.open(export("text"))
    answer_some(page, "text")
    page.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    buttons = page.js("return Array.prototype.filter.call(document.querySelectorAll('button, summary'),"
                      " function (b) { return b.getClientRects().length > 0; }).length")
    check(buttons == 0, "print: no button shows (%d)" % buttons)
    check(page.colour("verdict-1") == GREEN and page.colour("verdict-2") == RED
          and page.colour("verdict-1", "printColorAdjust") == "exact", "print: the verdicts keep their colours")
    check(page.visible("score") and page.visible("code") and page.visible("explanation"),
          "print: the score, the code and the explanation show")
    check(page.colour("board", "minHeight") == "0px", "print: the board ends with its questions")
    page.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})


def phone(page):
    for name in ("picture", "audio", "video", "text", "text-duo"):
        page.open(export(name))
        check(page.js("return window.innerWidth") == 390, "%s: a 390 px wide viewport" % name)
        check(columns(page) == 1, "%s: one question a row on a phone (%d)" % (name, columns(page)))
        wide = page.js("return document.documentElement.scrollWidth")
        check(wide <= 390, "%s: no horizontal scrolling (%d px wide)" % (name, wide))
        size = page.js("return parseFloat(getComputedStyle(document.getElementById('field-1')).fontSize)")
        check(size >= 16, "%s: input text of %s px, at least 16" % (name, size))
        small = page.js("return Array.prototype.filter.call(document.querySelectorAll('input, button, a, summary'),"
                        " function (e) { var r = e.getBoundingClientRect();"
                        " return r.width > 0 && (r.width < 44 || r.height < 44); }).map(function (e) { return e.id; })")
        check(small == [], "%s: targets under 44 x 44 px: %s" % (name, small))
        answer_some(page, name)
        page.axe("%s at 390 px" % name)
    page.open(export("picture"))
    wide = page.js("return document.getElementById('picture-1').getBoundingClientRect().width")
    check(wide >= 300, "a picture uses the width of the phone (%d px)" % wide)


# ---------------------------------------------------------------------------------------
def webkit(page):
    """WebKitGTK, Safari's engine: a sample of each kind loads, grades and restores."""
    for name in ("text", "picture", "audio", "video"):
        data, answers = sample_answers(name)
        path = export(name)
        page.open(path)
        page.type(1, answers[0])
        page.type(2, "faux")
        got = [page.text("verdict-1"), page.text("verdict-2"), page.text("score"), page.text("code")]
        check(got[:3] == ["BRAVO", "FAUX", " 1 / %d" % len(data["questions"])] and got[3] == data["codes"][0],
              "WebKit %s: grades %s" % (name, got))
        page.open(path, fresh=False)
        check([page.value(1), page.value(2), page.text("verdict-1")] == [answers[0], "faux", "BRAVO"],
              "WebKit %s: a reload restores the answers" % name)


GROUPS = {"grading": (grading, {}), "keys": (keys, {}), "media": (media, {}),
          "safety": (safety, {}), "layout": (desktop_layout, {}),
          "phone": (phone, {"phone_width": 390}), "webkit": (webkit, {"webkit": True})}

if __name__ == "__main__":
    run, options = GROUPS[GROUP]
    browser = WebKitBrowser() if options.pop("webkit", False) else Browser(**options)
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
