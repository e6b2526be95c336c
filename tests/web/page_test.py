"""The web page in headless Chromium, served from 127.0.0.1 and opened from
disk: its conversions must give the native program's bytes and messages for
the same channels, it must show the inspector's report, refuse what it
cannot convert, and ask for nothing beyond the site's own files.

    python3 tests/web/page_test.py SITE SORBELIN [unittest options]

SITE is the folder scripts/build-web wrote, SORBELIN the native program."""
import base64
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

import browser
import melodies

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
SITE = SORBELIN = None  # set from the command line

# Channel choices, (vibration, LED), from the page's start onwards.
CHOICES = [
    ([1], [1]),
    ([2], []),
    ([], [1]),
    ([1, 3, 9, 10, 11, 12], [16]),
    (list(range(1, 17)), list(range(1, 17))),
    ([], []),
]


def retitled(melody, title):
    """The i-melody example with another title, its lengths grown to fit."""
    old = b"titl" + (7).to_bytes(2, "big") + b"Fanfare"
    new = b"titl" + len(title).to_bytes(2, "big") + title
    grow = len(new) - len(old)
    body = melody.replace(old, new)
    fileLength = int.from_bytes(body[4:8], "big") + grow
    headerLength = int.from_bytes(body[8:10], "big") + grow
    return body[:4] + fileLength.to_bytes(4, "big") + headerLength.to_bytes(2, "big") + body[10:]


def examples():
    return sorted(str(path) for path in EXAMPLES.iterdir() if path.suffix in (".mld", ".mmf"))


def channelList(channels):
    """A list of channel numbers, or a choice such as "auto", as --vib takes it."""
    if isinstance(channels, str):
        return channels
    return ",".join(map(str, channels)) or "none"


def mask(channels):
    return sum(1 << (channel - 1) for channel in channels)


def runNative(path, vib, led, language, options=()):
    """`sorbelin --vib --led -o` on the file, with more options if given:
    (bytes or None, standard output, standard error), its texts in the
    locale's language."""
    environment = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES")}
    environment["LANG"] = language
    with tempfile.TemporaryDirectory() as folder:
        output = os.path.join(folder, "out")
        run = subprocess.run([SORBELIN, "--vib", channelList(vib), "--led", channelList(led), *options,
                              "-o", output, path], capture_output=True, text=True, env=environment)
        converted = pathlib.Path(output).read_bytes() if run.returncode == 0 else None
    # The phone's warnings follow the line that says what the file carries;
    # the page shows them apart.
    warning = re.compile(re.escape(output) + ": (warning|注意): ")
    out = "".join(line for line in run.stdout.splitlines(keepends=True) if not warning.match(line))
    return converted, out, run.stderr


def native(path, vib, led, language="C.UTF-8", options=()):
    """What `sorbelin --vib --led -o` makes of the file: (bytes or None,
    result message printed, error printed), its texts in the locale's
    language. The line that says what the file now carries, which the
    program prints last, is not part of the result message."""
    converted, out, error = runNative(path, vib, led, language, options)
    message = out.rstrip("\n").rpartition("\n")[0] if converted is not None else out
    return converted, message.strip(), error.strip()


def nativeCarries(path, vib, led, language="C.UTF-8", options=()):
    """The line that says what the file now carries, as the native program
    prints it last, for a file named as the input."""
    out = runNative(path, vib, led, language, options)[1]
    return os.path.basename(path) + ": " + out.rstrip("\n").rpartition("\n")[2].split(": ", 1)[1]


def nativeInfo(path):
    run = subprocess.run([SORBELIN, "--info", "--json", path], capture_output=True, text=True)
    return json.loads(run.stdout)


def nativeInfoLine(path, label):
    """A line of `sorbelin --info`: the value after its label."""
    run = subprocess.run([SORBELIN, "--info", path], capture_output=True, text=True,
                         env=dict(os.environ, LC_ALL="C.UTF-8"))
    return run.stdout.partition(f"  {label:9}")[2].partition("\n")[0]


def nativeLength(path):
    """The piece's length as `sorbelin --info` writes it ("0:04.0")."""
    return nativeInfoLine(path, "length")


class PageCase:
    """A browser on the page, opened afresh for each test, that must ask for
    nothing beyond the site's own files; a subclass says where the page comes
    from (`url`) and which URLs are the site's own files (`siteUrl`). The
    tests start from the same channels for every file, channel 1 for both,
    unless `startOwn` is false (おまかせ, as the page starts)."""

    startOwn = True

    @classmethod
    def setUpClass(cls):
        cls.browser = browser.Browser()
        cls.driver = cls.browser.driver
        browser.openPage(cls.driver, cls.url)
        seen = cls.browser.requests()
        own = {cls.siteUrl(name) for name in os.listdir(SITE)}
        # The log works: it saw the page load every one of its files.
        assert own <= set(seen), f"the request log missed some of {sorted(own)}: {seen}"

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def setUp(self):
        browser.openPage(self.driver, self.url)
        if self.startOwn:
            browser.chooseOwn(self.driver)
        self.folder = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.folder.cleanup()
        self.assertOnlyOwnRequests(self.browser.requests())

    def assertOnlyOwnRequests(self, urls):
        own = {self.siteUrl(name) for name in os.listdir(SITE)}
        # The prefix of the page's own blob: URLs ("blob:null/" from disk).
        blobs = self.driver.execute_script("""
          const url = URL.createObjectURL(new Blob([]));
          URL.revokeObjectURL(url);
          return url.slice(0, url.lastIndexOf('/') + 1);""")
        for url in urls:
            # data: URLs hold their bytes themselves (the embedded module);
            # blob: URLs of the page's origin are its own downloads.
            local = url.startswith("data:") or url.startswith(blobs)
            self.assertTrue(url in own or local, f"the page asked for {url[:120]}")

    def file(self, name, data):
        path = os.path.join(self.folder.name, name)
        pathlib.Path(path).write_bytes(data)
        return path


# A test hook for the engine's failures, in place before the page loads:
# every module that the page loads is counted, and the call that `failNext`
# names traps once, as a fault of the engine would; blockGrowth() keeps the
# module's memory from growing, so that the engine runs out of it; uncaught
# errors are kept.
FAILURE_HOOK = """
window.modulesLoaded = 0;
window.failNext = null;
window.uncaught = [];
addEventListener('error', (event) => uncaught.push(String(event.message)));
addEventListener('unhandledrejection', (event) => uncaught.push(String(event.reason)));
// The module's loader is defined by sorbelin.js, after this script: it is
// taken as it is defined, and every module it makes is wrapped.
let create = null;
const wrapped = (module) => {
  ++modulesLoaded;
  for (const name of ['_sorbelin_read', '_sorbelin_convert']) {
    // The module's own function puts the plain export in its place when
    // first called: the wrapper puts itself back.
    const call = module[name];
    const wrapper = (...values) => {
      if (failNext === name) {
        failNext = null;
        throw new WebAssembly.RuntimeError('unreachable');
      }
      const result = call(...values);
      module[name] = wrapper;
      return result;
    };
    module[name] = wrapper;
  }
  return module;
};
Object.defineProperty(window, 'createSorbelin', {
  configurable: true,
  get: () => create && ((...args) => create(...args).then(wrapped)),
  set: (loader) => { create = loader; },
});
const grow = WebAssembly.Memory.prototype.grow;
window.blockGrowth = (blocked) => {
  WebAssembly.Memory.prototype.grow = blocked ? () => { throw new RangeError('no room'); } : grow;
};
"""


class PageTests(PageCase):
    """Conversions, reports and refusals."""

    def test_conversions_equal_the_native_programs(self):
        paths = examples()
        browser.takeFiles(self.driver, paths)
        for vib, led in CHOICES:
            with self.subTest(vib=vib, led=led):
                browser.chooseChannels(self.driver, "vib", vib)
                browser.chooseChannels(self.driver, "led", led)
                shown = browser.waitForCards(self.driver, len(paths), f"{mask(vib)},{mask(led)}")
                for index, path in enumerate(paths):
                    expected, english, _ = native(path, vib, led)
                    japanese = native(path, vib, led, "ja_JP.UTF-8")[1]
                    card = shown[index]
                    self.assertEqual(card["name"], os.path.basename(path))
                    self.assertEqual(card["outcome"], "done", path)
                    self.assertEqual(card["download"], card["name"])
                    self.assertEqual(browser.download(self.driver, index), expected, path)
                    # The message in both languages; the phone models it
                    # names after an empty line, the same in both, once.
                    english, _, models = english.partition("\n\n")
                    self.assertEqual(japanese.partition("\n\n")[2], models, path)
                    self.assertEqual(card["japanese"], japanese.partition("\n\n")[0] or None, path)
                    self.assertEqual(card["english"], english or None, path)
                    self.assertEqual(card["models"], models or None, path)
                    if models:
                        self.assertEqual(card["resultText"].count(models), 1, path)
                    self.assertEqual(card["carries"], nativeCarries(path, vib, led, "ja_JP.UTF-8"), path)
                    self.assertEqual(card["carriesEnglish"], nativeCarries(path, vib, led), path)

    def test_suggested_for_both_at_the_start_and_channel_one_without_it(self):
        checked = "return [...document.querySelectorAll('input:checked')].map((box) => box.id)"
        browser.openPage(self.driver, self.url)
        self.assertEqual(self.driver.execute_script(checked), ["vib-auto", "led-auto"])
        browser.chooseOwn(self.driver)
        self.assertEqual(self.driver.execute_script(checked), ["vib-1", "led-1"])

    def test_refused_files_get_a_message_and_no_download(self):
        fanfare = (EXAMPLES / "fanfare-v2.mld").read_bytes()
        cases = [  # name, bytes, what the page says, what the native program says
            ("notes.mld", b"plain text: no tune in it\n", "not-melody", "not an i-melody or SMAF file"),
            ("cut.mld", fanfare[:60], "malformed", "malformed melody"),
            ("empty.mmf", b"", "not-melody", "not an i-melody or SMAF file"),
        ]
        paths = [self.file(name, data) for name, data, _, _ in cases]
        browser.takeFiles(self.driver, paths)
        shown = browser.waitForCards(self.driver, len(paths), f"{mask([1])},{mask([1])}")
        for (name, _, outcome, nativeSays), path, card in zip(cases, paths, shown):
            converted, _, error = native(path, [1], [1])
            self.assertIsNone(converted, name)
            self.assertIn(nativeSays, error, name)
            self.assertEqual(card["outcome"], outcome, name)
            self.assertIsNone(card["download"], name)
            self.assertTrue(card["problem"], name)

    def test_report_shows_what_the_inspector_finds(self):
        fanfare = (EXAMPLES / "fanfare-v2.mld").read_bytes()
        # A Shift-JIS title: kana, kanji, a reverse solidus, and codes that
        # name nothing in JIS X 0208 or have a trail byte out of range.
        title = bytes.fromhex("83 81 83 8D 88 9F EA A4 81 5F EB 40 ED 40 81 20 42")
        paths = examples() + [self.file("cut.mld", fanfare[:60]), self.file("text.mmf", b"no tune"),
                              self.file("着メロ.mld", retitled(fanfare, title))]
        browser.takeFiles(self.driver, paths)
        shown = browser.waitForCards(self.driver, len(paths), f"{mask([1])},{mask([1])}")
        for path, card in zip(paths, shown):
            info = nativeInfo(path)
            with self.subTest(path=os.path.basename(path)):
                self.assertEqual(card["format"], info["format"] or "—")
                self.assertEqual(card["error"], info["error"])
                if info["format"] is None:
                    continue
                self.assertEqual(card["title"], info["title"] or "—")
                self.assertEqual(card["length"], nativeLength(path))
                self.assertEqual(card["version"], str(info["version"]) if "version" in info else None)
                # The phones a SMAF file is made for, in both languages, as
                # --info says them in English after "made for".
                madeFor = nativeInfoLine(path, "format").partition(", made for ")[2]
                if madeFor:
                    notes = madeFor.split()[3]
                    self.assertEqual(card["madeFor"], f"{notes}和音の機種 {madeFor}")
                else:
                    self.assertIsNone(card["madeFor"])
                # The LED channel named in the file's information, where it names one.
                ledTag = info["links"].get("ledTag")
                self.assertEqual(card["ledTag"], str(ledTag) if ledTag else None)
                self.assertEqual(card["vibration"].split(", ") if info["links"]["vibration"] else [],
                                 [str(c) for c in info["links"]["vibration"]])
                self.assertEqual(card["led"].split(", ") if info["links"]["led"] else [],
                                 [str(c) for c in info["links"]["led"]])
                if "notes" in info:
                    self.assertEqual(card["notes"], [info["notes"].get(str(c), 0) for c in range(1, 17)])

    def test_words_a_ringtone_user_knows(self):
        # The names the file format gives its parts stay out of what the
        # page says, in both languages.
        browser.takeFiles(self.driver, examples())
        browser.waitForCards(self.driver, len(examples()), f"{mask([1])},{mask([1])}")
        shown = self.driver.execute_script("return document.body.innerText")
        for word in ("LED tag", "LEDタグ", "score track type", "スコアトラック形式", "contents-info", "chunk", "チャンク",
                     "voice"):
            self.assertNotIn(word.lower(), shown.lower())
        self.assertIn("LED channel named in the file's information", shown)
        self.assertIn("phones that play 16 notes at once", shown)

    def test_dropped_files_are_taken(self):
        path = str(EXAMPLES / "chime.mmf")
        data = base64.b64encode(pathlib.Path(path).read_bytes()).decode()
        self.driver.execute_script("""
          const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));
          const files = new DataTransfer();
          files.items.add(new File([bytes], 'chime.mmf'));
          document.querySelector('#drop-zone').dispatchEvent(
              new DragEvent('drop', {dataTransfer: files, bubbles: true, cancelable: true}));
        """, data)
        card = browser.waitForCards(self.driver, 1, f"{mask([1])},{mask([1])}")[0]
        self.assertEqual(card["download"], "chime.mmf")
        self.assertEqual(browser.download(self.driver, 0), native(path, [1], [1])[0])

    def test_a_browser_without_webassembly_gets_a_message(self):
        refusals = [
            ("no WebAssembly at all", "delete window.WebAssembly"),
            ("WebAssembly refused", "WebAssembly.instantiate = () => Promise.reject(new Error('refused'));"
                                    "WebAssembly.instantiateStreaming = WebAssembly.instantiate;"),
        ]
        for name, script in refusals:
            with self.subTest(name):
                added = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": script})
                try:
                    browser.openPage(self.driver, self.url)
                    browser.takeFiles(self.driver, [str(EXAMPLES / "chime.mmf")])
                    browser.wait(self.driver, "return document.querySelector('#files [data-outcome=no-module]')")
                    self.assertIn("cannot load the converter", self.driver.find_element("id", "status").text)
                    self.assertIsNone(browser.cards(self.driver)[0]["download"])
                finally:
                    self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                                {"identifier": added["identifier"]})

    def test_a_failing_engine_ends_in_a_message_and_a_fresh_module(self):
        tune = melodies.imelody(melodies.tune([1, 2, 3, 4], 500000))
        chime = (EXAMPLES / "chime.mmf").read_bytes()
        cases = [  # name, what goes wrong, the file (bytes or a count of zeros), the message in place of the
                   # report, the conversion's outcome, whether the module ended
            ("reading runs out of memory", "blockGrowth(true)", tune, "no-memory-report", "done", True),
            ("no memory to copy the file in", "blockGrowth(true)", 20_000_000, "no-memory-report", "no-memory", False),
            ("the engine stops while reading", "failNext = '_sorbelin_read'", chime, "failed-report", "done", True),
            ("the engine stops while converting", "failNext = '_sorbelin_convert'", chime, None, "failed", True),
        ]
        added = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": FAILURE_HOOK})
        try:
            browser.openPage(self.driver, self.url)
            browser.chooseOwn(self.driver)
            for index, (name, failure, data, readProblem, outcome, ended) in enumerate(cases):
                with self.subTest(name):
                    loaded = self.driver.execute_script("return modulesLoaded")
                    self.driver.execute_script(failure)
                    if isinstance(data, int):
                        browser.dropFile(self.driver, f"{index}.mmf", zeros=data)
                    else:
                        browser.dropFile(self.driver, f"{index}.mmf", data)
                    card = browser.waitForCards(self.driver, index + 1, f"{mask([1])},{mask([1])}")[index]
                    self.driver.execute_script("blockGrowth(false); failNext = null")
                    self.assertEqual([card["readProblem"], card["outcome"]], [readProblem, outcome])
                    self.assertEqual(card["format"] is None, readProblem is not None)
                    self.assertEqual(card["problem"] is None, outcome == "done")
                    # The page let the module go and loaded a fresh one, for
                    # the next file or once the card's conversion needed it.
                    browser.wait(self.driver, "return modulesLoaded === arguments[0]", loaded + ended)
            # Every file again, the refused one refused, with the fresh module.
            browser.dropFile(self.driver, "chime.mmf", chime)
            browser.chooseChannels(self.driver, "vib", [2])
            shown = browser.waitForCards(self.driver, len(cases) + 1, f"{mask([2])},{mask([1])}")
            self.assertEqual([card["outcome"] for card in shown], ["done", "not-melody", "done", "done", "done"])
            self.assertEqual(browser.download(self.driver, 4), native(str(EXAMPLES / "chime.mmf"), [2], [1])[0])
            # The first conversion of a pass ends the module: the others
            # wait for a fresh one.
            loaded = self.driver.execute_script("failNext = '_sorbelin_convert'; return modulesLoaded")
            self.driver.find_element("css selector", "label[for=led-3]").click()
            shown = browser.waitForCards(self.driver, len(cases) + 1, f"{mask([2])},{mask([1, 3])}")
            self.assertEqual([card["outcome"] for card in shown], ["failed", "not-melody", "done", "done", "done"])
            self.assertEqual(self.driver.execute_script("return modulesLoaded"), loaded + 1)
            self.assertEqual(browser.download(self.driver, 4), native(str(EXAMPLES / "chime.mmf"), [2], [1, 3])[0])
            self.assertEqual(self.driver.execute_script("return uncaught"), [])
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": added["identifier"]})

    def test_toggles_are_labelled_checkboxes_for_the_keyboard(self):
        labels = self.driver.execute_script("""
          return [...document.querySelectorAll('.channel-row .toggles input')].map(
              (box) => [box.type, box.labels.length, box.labels[0].textContent]);
        """)
        self.assertEqual(labels, [["checkbox", 1, str(c)] for c in range(1, 17)] * 2)
        # Space on a focused toggle checks it, and the conversion follows.
        browser.takeFiles(self.driver, [str(EXAMPLES / "fanfare-v2.mld")])
        browser.waitForCards(self.driver, 1, f"{mask([1])},{mask([1])}")
        self.driver.execute_script("document.querySelector('#vib-2').focus()")
        self.driver.switch_to.active_element.send_keys(" ")
        browser.waitForCards(self.driver, 1, f"{mask([1, 2])},{mask([1])}")
        # The drop zone's alternative is a button, reached with the keyboard.
        self.assertEqual(self.driver.find_element("id", "choose").tag_name, "button")


class Served:
    """The page served from 127.0.0.1."""

    @classmethod
    def setUpClass(cls):
        cls.server = browser.SiteServer(SITE)
        cls.url = cls.server.url + "index.html"
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.server.close()

    @classmethod
    def siteUrl(cls, name):
        return cls.server.url + name


class FromDisk:
    """The page opened from disk."""

    @classmethod
    def setUpClass(cls):
        cls.url = pathlib.Path(SITE).resolve().joinpath("index.html").as_uri()
        super().setUpClass()

    @classmethod
    def siteUrl(cls, name):
        return pathlib.Path(SITE).resolve().joinpath(name).as_uri()


class ServedPage(Served, PageTests, unittest.TestCase):
    pass


class PageFromDisk(FromDisk, PageTests, unittest.TestCase):
    pass


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    SITE, SORBELIN = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
