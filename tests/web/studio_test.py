"""quizpack studio as its users meet it: plain HTTP requests that must be refused (and write
nothing), the editor in headless Chromium from an empty folder to a built quiz, and the
Windows quizpack.exe serving the page under Wine.

    studio_test.py QUIZPACK SOURCE_DIR GROUP      GROUP: security, flow, wine
(for wine, QUIZPACK is quizpack.exe, run through SOURCE_DIR/cmake/wine-run.sh)
"""
import http.client
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tally import check, run_group  # noqa: E402

QUIZPACK, SOURCE, GROUP = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
WORK = tempfile.mkdtemp(prefix="quizz-studio-test-")
class Server:
    """quizpack studio on FOLDER, its address read from its first line."""

    def __init__(self, folder, wine=False):
        command = [QUIZPACK, "studio", folder, "--no-browser"]
        if wine:
            command = [os.path.join(SOURCE, "cmake", "wine-run.sh")] + command
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline().strip()
        if not line.startswith("Studio: http://127.0.0.1:"):
            raise SystemExit("no address on the first line: %r" % line)
        self.url = line[len("Studio: "):]
        self.port = int(self.url.split(":")[2].split("/")[0])
        self.token = self.url.split("token=")[1]
        self.cookie = "quizz-studio-%d=%s" % (self.port, self.token)

    def ask(self, method, path, body=None, headers=None, cookie=True):
        sent = {"Host": "127.0.0.1:%d" % self.port}
        if cookie:
            sent["Cookie"] = self.cookie
        if method not in ("GET", "HEAD"):
            sent.update({"X-Quizz-Studio": "1", "Content-Type": "application/json"})
        sent.update(headers or {})
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        try:
            connection.request(method, path, body=body, headers=sent)
            response = connection.getresponse()
            return response.status, response.read(), response
        finally:
            connection.close()

    def stop(self):
        try:
            self.ask("POST", "/api/quit", "{}")
            self.process.wait(timeout=20)
        except Exception:
            self.process.kill()
        return self.process.wait()


def listing(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder)
                  for d, _, files in os.walk(folder) for f in files)


def upload(name, data, role="picture"):
    parts = [b'--b\r\nContent-Disposition: form-data; name="question"\r\n\r\n1\r\n',
             b'--b\r\nContent-Disposition: form-data; name="role"\r\n\r\n' + role.encode() + b"\r\n",
             b'--b\r\nContent-Disposition: form-data; name="file"; filename="' + name.encode() +
             b'"\r\n\r\n' + data + b"\r\n--b--\r\n"]
    return b"".join(parts), {"Content-Type": "multipart/form-data; boundary=b"}


# ---------------------------------------------------------------------------------------
def security():
    folder = os.path.join(WORK, "quiz")
    os.makedirs(folder)
    with open(os.path.join(folder, "quiz.toml"), "w") as f:
        f.write('kind = "picture"\n\n[[question]]\nanswers = ["A"]\n')
    before = listing(WORK)
    server = Server(folder)
    picture = open(os.path.join(SOURCE, "samples", "picture", "media", "q01.jpg"), "rb").read()
    try:
        rows = [  # what, method, path, body, headers, with the cookie, status
            ("no token", "GET", "/api/session", None, {}, False, 403),
            ("a wrong token", "GET", "/?token=" + "0" * 64, None, {}, False, 403),
            ("another Host (DNS rebinding)", "GET", "/api/session", None, {"Host": "evil.example:%d" % server.port}, True, 403),
            ("a foreign Origin", "POST", "/api/quit", "{}", {"Origin": "http://evil.example"}, True, 403),
            ("a form of another site", "POST", "/api/quit", "a=1", {"Content-Type": "application/x-www-form-urlencoded", "X-Quizz-Studio": ""}, True, 403),
        ]
        for name in ("../../evil.jpg", "/tmp/evil.jpg", "..\\..\\evil.jpg"):
            body, headers = upload(name, picture)
            rows.append(("an upload named %s" % name, "POST", "/api/media", body, headers, True, 400))
        for what, method, path, body, headers, cookie, status in rows:
            got = server.ask(method, path, body, headers, cookie)[0]
            check(got == status, "%s: %d, not %d" % (what, got, status))
        # More than a request may carry: refused from its Content-Length, before the body.
        connection = http.client.HTTPConnection("127.0.0.1", server.port, timeout=30)
        connection.putrequest("POST", "/api/media", skip_host=True)
        for k, v in {"Host": "127.0.0.1:%d" % server.port, "Cookie": server.cookie, "X-Quizz-Studio": "1",
                     "Content-Type": "multipart/form-data; boundary=b", "Content-Length": str(200 << 20)}.items():
            connection.putheader(k, v)
        connection.endheaders(b"--b\r\n")
        status = connection.getresponse().status
        connection.close()
        check(status == 413, "an oversized upload: %d, not 413" % status)
        check(listing(WORK) == before, "nothing written: %s" % listing(WORK))
        status, page, response = server.ask("GET", "/")
        csp = response.getheader("Content-Security-Policy") or ""
        check(status == 200 and "default-src 'none'" in csp and "http" not in csp.replace("'self'", ""),
              "the page's policy names no other origin: %s" % csp)
    finally:
        check(server.stop() == 0, "quits with 0")


# ---------------------------------------------------------------------------------------
def wine():
    folder = os.path.join(WORK, "quizzes")
    os.makedirs(folder)
    server = Server(folder, wine=True)
    try:
        status, _, response = server.ask("GET", "/?token=" + server.token, cookie=False)
        check(status == 303 and server.cookie in (response.getheader("Set-Cookie") or ""),
              "the token's visit sets the cookie: %d" % status)
        status, page, _ = server.ask("GET", "/")
        check(status == 200 and b"Quizz studio" in page and b"quiz-title" in page,
              "quizpack.exe serves the editor: %d" % status)
        status, body, _ = server.ask("POST", "/api/new", json.dumps({"title": "Sous Wine", "kind": "text"}))
        check(status == 200 and json.loads(body)["mode"] == "quiz", "a new quiz: %d %s" % (status, body[:200]))
        check(os.path.isfile(os.path.join(folder, "Sous-Wine", "quiz.toml")), "written in its folder")
    finally:
        check(server.stop() == 0, "quits with 0")


# ---------------------------------------------------------------------------------------
def flow():
    from browser import Browser
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
    folder = os.path.join(WORK, "quizzes")
    os.makedirs(folder)
    server = Server(folder)
    browser = Browser(1400, 1000)
    d = browser.driver
    js = d.execute_script

    def wait(condition, what, timeout=20.0):
        end = time.time() + timeout
        while time.time() < end:
            try:
                value = condition()
                if value:
                    return value
            except Exception:
                pass
            time.sleep(0.05)
        check(False, "waited in vain for " + what)
        return None

    def saved():
        return wait(lambda: js("return document.getElementById('save-state').getAttribute('data-state')") == "saved"
                    and js("return document.getElementById('save-state').textContent") == "Enregistr\u00e9", "Enregistré")

    def element(id_):
        e = d.find_element("id", id_)
        js("arguments[0].scrollIntoView({block: 'center'})", e)  # not under the bar that stays on top
        return e

    def click(id_):
        element(id_).click()

    def typed(id_, text):
        field = element(id_)
        field.clear()
        field.send_keys(text)

    def problems_beside(id_):
        return js("var f = document.getElementById(arguments[0]).closest('.field');"
                  "return Array.prototype.map.call(f.querySelectorAll('.problems li'),"
                  " function (li) { return li.getAttribute('data-severity') + ' ' + li.getAttribute('data-key'); })", id_)

    try:
        d.get(server.url)
        wait(lambda: js("return document.documentElement.getAttribute('data-studio')") == "ready", "the studio")
        typed("new-title", "Drapeaux d'Europe")
        click("new-picture")
        wait(lambda: js("return document.body.getAttribute('data-mode')") == "quiz", "the new quiz")
        quiz = os.path.join(folder, "Drapeaux-d-Europe")
        typed("quiz-creator", "Mme Martin")
        Select(element("quiz-reveal")).select_by_value("text")
        countries = ["France", "Japon", "Allemagne | Deutschland"]
        for q, country in enumerate(countries, 1):
            if q > 1:
                click("add-question")
            element("question-%d-picture" % q).send_keys(
                os.path.join(SOURCE, "samples", "picture", "media", "q%02d.jpg" % q))
            typed("question-%d-answer-1" % q, country)
            wait(lambda: js("return document.getElementById(arguments[0]).naturalWidth", "question-%d-picture-view" % q),
                 "question %d's picture shown" % q)
        typed("quiz-codes", "UN\nDEUX\nTROIS")
        Select(element("quiz-grading-accents")).select_by_value("optional")
        saved()
        # A reveal text too long for its box: warned beside it, and no longer once shortened.
        typed("question-1-reveal-text", "BLEU, BLANC ET ROUGE : " * 11)
        saved()
        warned = wait(lambda: [p for p in problems_beside("question-1-reveal-text") if p.startswith("warning question[1].reveal_text")],
                      "the fit warning beside the reveal text")
        check(bool(warned), "fit warning shown beside the field")
        check(js("return document.querySelectorAll('#diagnostics [data-key=\"question[1].reveal_text\"][data-severity=warning]').length") == 1,
              "and in the list")
        said = js("return document.querySelector('#diagnostics [data-key=\"question[1].reveal_text\"]').textContent")
        check("son cadre en affiche" in said, "the studio's checks speak French: %s" % said)

        typed("question-1-reveal-text", "Bleu, blanc, rouge.")
        saved()
        wait(lambda: problems_beside("question-1-reveal-text") == [], "the warning gone")
        # "Essayer" grades as the quiz will.
        typed("question-2-try", "Jpaon")
        click("question-2-try-button")
        wait(lambda: js("return document.getElementById('question-2-verdict').textContent") == "Anagramme", "Anagramme")
        # With the quiz's forms and tolerance, as quizpack grade --quiz grades the same field.
        typed("question-3-try", "deutschl\u00e4nd")
        click("question-3-try-button")
        verdict = wait(lambda: js("return document.getElementById('question-3-verdict').textContent"), "a verdict")
        done = subprocess.run([QUIZPACK, "grade", "--quiz", os.path.join(quiz, "quiz.toml"), "--tsv", "-"],
                              input="3\tdeutschl\u00e4nd\n", capture_output=True, text=True)
        check(verdict == "BRAVO" == done.stdout.strip(), "Essayer %s, grade --quiz %s" % (verdict, done.stdout))
        # A deletion undone.
        click("question-2-delete")
        saved()
        check(js("return document.getElementById('question-2-answer-1').value") == countries[2], "question 2 deleted")
        click("undo")
        saved()
        check(js("return document.getElementById('question-2-answer-1').value") == "Japon", "the deletion undone")
        # The preview shows the quiz as the page will.
        d.switch_to.frame("preview")
        wait(lambda: js("return document.documentElement.getAttribute('data-state')") == "ready", "the preview")
        check(js("return document.getElementById('title').textContent") == "Drapeaux d'Europe", "the preview's title")
        d.find_element("id", "field-1").send_keys("France" + Keys.TAB)
        check(js("return document.getElementById('verdict-1').textContent") == "BRAVO", "the preview grades")
        d.find_element("id", "field-3").send_keys("deutschland" + Keys.TAB)
        check(js("return document.getElementById('verdict-3').textContent") == "BRAVO", "with forms and tolerance")
        d.switch_to.default_content()
        # Reloaded: everything is there.
        d.refresh()
        wait(lambda: js("return document.body.getAttribute('data-mode')") == "quiz", "the quiz after a reload")
        check([js("return document.getElementById(arguments[0]).value", "question-%d-answer-1" % q) for q in (1, 2, 3)]
              == countries, "the answers after a reload")
        check(js("return document.getElementById('quiz-creator').value") == "Mme Martin", "the creator after a reload")
        d.save_screenshot(os.path.join(os.environ.get("QUIZZ_STUDIO_SHOTS", WORK), "studio-picture.png"))
        # Built and exported into the quiz's folder, named after its title, with links to the
        # files; the answer key opens in a tab of its own.
        made = {}
        for button, result in (("build-exe", "build-result"), ("export-page", "export-result"), ("print-key", "key-result")):
            click(button)
            link = wait(lambda: js("var a = document.querySelector('#' + arguments[0] + ' a'); return a && a.textContent", result),
                        result, timeout=60)
            check(link is not None and os.path.isfile(os.path.join(quiz, link)), "%s: %s" % (result, link))
            made[button] = link
        check(made["build-exe"] == "Drapeaux-d-Europe.exe" and made["print-key"] == "Drapeaux-d-Europe-corrige.html",
              "named after the title: %s" % made)
        key = wait(lambda: [h for h in d.window_handles if h != d.current_window_handle], "the key's tab")
        if key:
            studio = d.current_window_handle
            d.switch_to.window(key[0])
            wait(lambda: "Deutschland" in js("return document.body.textContent"), "the key's accepted forms")
            d.close()
            d.switch_to.window(studio)
        done = subprocess.run([QUIZPACK, "check", os.path.join(quiz, "quiz.toml")], capture_output=True, text=True)
        check(done.returncode == 0, "quizpack check passes: %s" % done.stderr)
        done = subprocess.run([QUIZPACK, "inspect", os.path.join(quiz, made["build-exe"])], capture_output=True, text=True)
        check(all(t in done.stdout for t in ['title = "Drapeaux d\'Europe"', 'creator = "Mme Martin"', 'accents = "optional"',
                                             '"France"', '"Japon"', '"Allemagne | Deutschland"', '"TROIS"']),
              "quizpack inspect shows what was typed:\n" + done.stdout)
        # A hand-written sample opens, is edited, and its original is kept.
        shutil.copytree(os.path.join(SOURCE, "samples", "text"), os.path.join(folder, "texte"))
        click("show-list")
        wait(lambda: d.find_element("css selector", '#quiz-list button[data-name="texte"]'),
             "the sample in the list").click()
        wait(lambda: js("return document.body.getAttribute('data-mode')") == "quiz", "the sample")
        typed("quiz-title", "Culture g\u00e9n\u00e9rale, revue")
        saved()
        original = open(os.path.join(SOURCE, "samples", "text", "quiz.toml"), encoding="utf-8").read()
        kept = os.path.join(folder, "texte", "quiz.toml.orig")
        check(os.path.isfile(kept) and open(kept, encoding="utf-8").read() == original, "quiz.toml.orig kept")
        check("quiz.toml.orig" in js("return document.getElementById('notices').textContent"), "and said")
        check('title = "Culture g\u00e9n\u00e9rale, revue"' in open(os.path.join(folder, "texte", "quiz.toml"), encoding="utf-8").read(),
              "the edit saved")
        logged = [e for e in d.get_log("browser") if e["level"] == "SEVERE"]
        check(logged == [], "no error in the console: %s" % logged)
    finally:
        browser.close()
        check(server.stop() == 0, "quits with 0")


GROUPS = {"security": security, "flow": flow, "wine": wine}

if __name__ == "__main__":
    run_group(GROUPS[GROUP], lambda: shutil.rmtree(WORK, ignore_errors=True))
