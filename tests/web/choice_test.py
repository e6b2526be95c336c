"""The page's choice of channels in headless Chromium, served from
127.0.0.1: おまかせ converts each file with the engine's own suggestion, as
the native program does; a row's switch is the toggle above it; the choice
stays in view over a later file's timeline; the phone's warnings; Download
all's zip.

    python3 tests/web/choice_test.py SITE SORBELIN [unittest options]"""
import io
import json
import os
import pathlib
import subprocess
import sys
import time
import unittest
import zipfile

import browser
import melodies
import page_test
from page_test import examples, mask, native


def nativeSuggested(path, allTracks=False):
    """What `sorbelin --vib auto --led auto -o` writes for the file, and the
    channels that `sorbelin --suggest --json` names ([vibration], [LED])."""
    options = ["--all-tracks"] if allTracks else []
    run = subprocess.run([page_test.SORBELIN, "--suggest", "--json", *options, path], capture_output=True, text=True)
    suggestion = json.loads(run.stdout)
    return native(path, "auto", "auto", options=options)[0], [suggestion["vibration"], suggestion["led"]]


def band(folder, name, **parts):
    """melodies.band (a tune on 5, a bass on 6, drums on 10, unless `parts`
    say otherwise) as an i-melody of version 3 (2 for a name with "v2"), or
    SMAF with score track 5 (6 for a name with "newer")."""
    path = pathlib.Path(folder, name)
    notes = melodies.band(**parts)
    if name.endswith(".mld"):
        path.write_bytes(melodies.imelody(notes, version=2 if "v2" in name else 3))
    else:
        path.write_bytes(melodies.smaf(notes, track=6 if "newer" in name else 5))
    return str(path)


MASKS = "return [...document.querySelectorAll('#files [data-field=result]')].map((r) => r.dataset.masks)"


def waitForMasks(driver, masks):
    """Waits until the cards are converted with the masks ("VIB,LED" each)."""
    browser.wait(driver, "return JSON.stringify(arguments[0]) === JSON.stringify((() => {" + MASKS + "})())", masks)


class ChoiceTests(page_test.PageCase):
    startOwn = False  # おまかせ, as the page starts

    def suggestedMasks(self, paths, allTracks=False):
        return [",".join(str(mask(c)) for c in nativeSuggested(path, allTracks)[1]) for path in paths]

    def test_suggested_converts_each_file_with_its_own_channels(self):
        folder = self.folder.name
        paths = examples() + [band(folder, "band.mld"), band(folder, "band-v2.mld", lead=3, bass=12),
                              band(folder, "band.mmf", lead=9, bass=2, drums=16), band(folder, "newer.mmf")]
        browser.takeFiles(self.driver, paths)
        box = self.driver.find_element("id", "all-tracks")
        for allTracks in (False, True):
            if box.is_selected() != allTracks:
                box.click()
            waitForMasks(self.driver, self.suggestedMasks(paths, allTracks))
            for index, path in enumerate(paths):
                with self.subTest(path=os.path.basename(path), allTracks=allTracks):
                    self.assertEqual(browser.download(self.driver, index), nativeSuggested(path, allTracks)[0])
        # The card names the channels with their parts, in use.
        suggestion = self.driver.execute_script("const part = document.querySelectorAll('#files .suggestion')[arguments[0]];"
                                                "return [part.textContent.replace(/\\s+/g, ' '), part.querySelectorAll('.in-use').length]",
                                                len(examples()))
        self.assertIn("6 ベース bass", suggestion[0])
        self.assertEqual(suggestion[1], 2)

    def test_a_rows_switch_is_the_toggle_above_it(self):
        folder = self.folder.name
        paths = [band(folder, "band.mld"), band(folder, "band.mmf", lead=2, bass=3), str(page_test.EXAMPLES / "chime.mmf")]
        browser.takeFiles(self.driver, paths)
        suggested = self.suggestedMasks(paths)
        waitForMasks(self.driver, suggested)
        click = lambda target: self.driver.find_element("css selector", f"label[for={target}]").click()
        # From おまかせ, a row's switch starts from what its card shows:
        # band.mld's tune beside its bass, for every file.
        click("file0-5-vibration")
        waitForMasks(self.driver, [f"{mask([5, 6])},{m.split(',')[1]}" for m in suggested])
        self.assertFalse(self.driver.find_element("id", "vib-auto").is_selected())
        # With the same channels for every file, a row's switch and the
        # toggle above change the choice, and so the downloads, alike.
        browser.chooseOwn(self.driver)
        for row, device, channel, card in [("vib", "vibration", 6, 0), ("led", "led", 1, 2), ("vib", "vibration", 3, 1)]:
            with self.subTest(row=row, channel=channel, card=card):
                before = self.driver.execute_script(MASKS)
                click(f"{row}-{channel}")
                browser.wait(self.driver, "return JSON.stringify(arguments[0]) !== JSON.stringify((() => {" + MASKS + "})())",
                             before)
                byToggle = self.driver.execute_script(MASKS), [browser.download(self.driver, k) for k in range(len(paths))]
                click(f"{row}-{channel}")
                waitForMasks(self.driver, before)
                click(f"file{card}-{channel}-{device}")
                waitForMasks(self.driver, byToggle[0])
                self.assertEqual([browser.download(self.driver, k) for k in range(len(paths))], byToggle[1])

    def test_the_choice_stays_in_view_over_a_later_files_timeline(self):
        paths = [str(page_test.EXAMPLES / "chime.mmf"),
                 self.file("sixteen.mld", melodies.imelody(melodies.tune(list(range(1, 17)), 300))),
                 band(self.folder.name, "band.mld")]
        browser.takeFiles(self.driver, paths)
        waitForMasks(self.driver, self.suggestedMasks(paths))
        for width, height in ((1280, 800), (390, 844)):
            with self.subTest(width=width):
                browser.setViewport(self.driver, width, height)
                try:
                    seen = browser.wait(self.driver, """
                      const timeline = document.querySelectorAll('#files .timeline')[2];
                      timeline.scrollIntoView({block: 'center'});
                      const inView = (element) => {
                        const box = element.getBoundingClientRect();
                        return box.top >= 0 && box.bottom <= innerHeight && box.height > 0;
                      };
                      // The top of the timeline is not under the choice.
                      const box = timeline.getBoundingClientRect();
                      const under = document.elementFromPoint(box.left + box.width / 2, box.top + 2);
                      return {scrolled: scrollY, choice: document.querySelector('#choice').getBoundingClientRect().height,
                              controls: [...document.querySelectorAll('#choice .auto, #choice .toggles, #choice .none')].map(inView),
                              timeline: inView(timeline) && timeline.contains(under)};""")
                    self.assertGreater(seen["scrolled"], height, "the third timeline lies far below the choice")
                    self.assertEqual(seen["controls"], [True] * 6)
                    self.assertTrue(seen["timeline"])
                    if width == 390:
                        self.assertLessEqual(seen["choice"], height / 5)
                finally:
                    browser.setViewport(self.driver, None)

    def test_a_warning_shows_where_the_phone_will_disappoint(self):
        browser.takeFiles(self.driver, [band(self.folder.name, "band.mld")])
        browser.chooseOwn(self.driver)
        cases = [  # vibration, LED, the warnings in Japanese and English
            ([6], [5], []),
            ([16], [5], [["チャンネル 16 は一度も鳴らないので、バイブは動きません", "channel 16 never plays: the vibrator will not run"]]),
            ([6], [1, 5], [["チャンネル 1 は一度も鳴らないので、LED はそれに合わせて光りません",
                            "channel 1 never plays: the LED will not follow it"]]),
            ([10], [5], [["バイブの振動が短すぎて感じられません", "the vibration pulses are too short to feel"]]),
        ]
        for vib, led, warnings in cases:
            with self.subTest(vib=vib, led=led):
                browser.chooseChannels(self.driver, "vib", vib)
                browser.chooseChannels(self.driver, "led", led)
                waitForMasks(self.driver, [f"{mask(vib)},{mask(led)}"])
                shown = self.driver.execute_script("""return [...document.querySelectorAll('#files .warnings li')]
                    .map((item) => [item.childNodes[0].textContent.trim(), item.querySelector('[lang=en]').textContent])""")
                self.assertEqual(shown, warnings)

    def test_download_all_zips_every_converted_file(self):
        folder = self.folder.name
        pathlib.Path(folder, "again").mkdir()
        paths = examples() + [band(folder, "band.mld"), band(folder, "again/band.mld", lead=7),
                              self.file("notes.mld", b"plain text")]
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": folder})
        button = self.driver.find_element("id", "download-all")
        self.assertFalse(button.is_displayed(), "nothing to download yet")
        browser.takeFiles(self.driver, paths)
        waitForMasks(self.driver, self.suggestedMasks(paths))
        button.click()
        zipped = pathlib.Path(folder, "sorbelin.zip")
        for _ in range(100):
            if zipped.exists() and zipped.stat().st_size:
                break
            time.sleep(0.1)
        time.sleep(0.2)  # written whole
        with zipfile.ZipFile(io.BytesIO(zipped.read_bytes())) as archive:
            self.assertIsNone(archive.testzip())
            contents = {name: archive.read(name) for name in archive.namelist()}
        # Every converted file under its name, the second band.mld under
        # another; the file that is no melody has no download.
        names = [os.path.basename(p) for p in paths[:3]] + ["band.mld", "band (2).mld"]
        self.assertEqual(sorted(contents), sorted(names))
        for index, name in enumerate(names):
            self.assertEqual(contents[name], browser.download(self.driver, index), name)


class ServedChoice(page_test.Served, ChoiceTests, unittest.TestCase):
    pass


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    page_test.SITE, page_test.SORBELIN = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
