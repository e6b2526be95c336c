"""The page's timeline, player and phone in headless Chromium, served from
127.0.0.1: rows and device rows against the native program's timeline, the
sound rendered offline, the phone at the playhead, playback, the truth about
each download, the layout at a phone's width and a desktop's, and the time
from a dropped file to its timeline on the screen.

    python3 tests/web/player_test.py SITE SORBELIN [unittest options]"""
import base64
import json
import os
import pathlib
import subprocess
import sys
import time
import unittest

import browser
import melodies
import page_test
from page_test import EXAMPLES, mask, native, nativeCarries, nativeInfo

# Channel choices (vibration, LED) for the device rows.
CHOICES = [([1], [1]), ([2, 5], [3]), ([1, 3, 9, 10, 11, 12], [16]), ([], [2, 6, 7])]


def nativeTimeline(path):
    run = subprocess.run([page_test.SORBELIN, "--timeline", "--json", path], capture_output=True, text=True)
    return json.loads(run.stdout)


def union(timeline, channels):
    """Where a note of the channels sounds: sorted, disjoint [start, end)."""
    spans = sorted((start, start + length) for channel, start, length, _ in timeline["notes"]
                   if channel in channels and length > 0)
    joined = []
    for start, end in spans:
        if joined and start <= joined[-1][1]:
            joined[-1][1] = max(joined[-1][1], end)
        else:
            joined.append([start, end])
    return joined


def inside(intervals, ms):
    return any(start <= ms < end for start, end in intervals)


def carried(path):
    """The channels that the native program's download links, as its
    inspector reads them back: a SMAF LED tag adds its channel."""
    links = nativeInfo(path)["links"]
    led = set(links["led"])
    if links.get("ledTag"):
        led.add(links["ledTag"])
    return sorted(links["vibration"]), sorted(led)


# The page's view of one card: its rows, the channels its download carries,
# its intervals and states through the page's functions, and the device rows
# as drawn, sampled at the given times.
CARD_SCRIPT = """
const [index, times] = arguments;
const file = sorbelinPage.files[index], T = sorbelinTimeline, V = sorbelinTimelineView;
const view = file.view, vib = file.carried.vibration, led = file.carried.led;
const context = view.marks.getContext('2d');
const rgb = (colour) => {
  const paint = document.createElement('canvas').getContext('2d');
  paint.fillStyle = colour;
  paint.fillRect(0, 0, 1, 1);
  return [...paint.getImageData(0, 0, 1, 1).data].slice(0, 3).join();
};
const lit = {vibration: rgb(view.colour.vib), led: rgb(view.colour.led)};
const drawn = (row, ms) => {
  const place = view.rows[row];
  const x = Math.floor(V.xOf(view, ms) * view.ratio), y = Math.floor((place.top + place.height / 2) * view.ratio);
  return [...context.getImageData(x, y, 1, 1).data].slice(0, 3).join() === lit[row];
};
return {
  rows: [...file.card.querySelectorAll('.rows [data-channel]')].map((row) => Number(row.dataset.channel)),
  tinted: [...file.card.querySelectorAll('.rows [data-channel]')].map((row) => [row.classList.contains('vib'), row.classList.contains('led')]),
  vibration: vib, led: led,
  vibIntervals: T.intervalsOf(file.timeline, vib), ledIntervals: T.intervalsOf(file.timeline, led),
  states: times.map((ms) => T.deviceStateAt(file.timeline, vib, led, ms)),
  msPerPixel: 1 / V.xOf(view, 1),
  drawn: times.map((ms) => ({vibrating: drawn('vibration', ms), led: drawn('led', ms)})),
};
"""


def probeTimes(intervals, msPerPixel, durationMs):
    """Times at which to check the state: each interval's edges and the
    moments just before them; for the drawing only the middles of
    intervals and gaps at least four pixels wide, away from the edges'
    blending."""
    edges, middles = [], []
    previousEnd = 0
    for start, end in intervals:
        edges += [start, end - 1, end, max(0, start - 1)]
        for a, b in ((previousEnd, start), (start, end)):
            if b - a >= 4 * msPerPixel:
                middles.append((a + b) // 2)
        previousEnd = end
    if durationMs - previousEnd >= 4 * msPerPixel:
        middles.append((previousEnd + durationMs) // 2)
    return edges, middles


class PlayerTests(page_test.PageCase):
    def generated(self):
        """Files of both formats written in the test: 16 channels of i-melody
        with overlapping and touching notes, SMAF track 5 on five channels,
        SMAF HandyPhone on four."""
        return [
            self.file("sixteen.mld", melodies.imelody(melodies.tune(list(range(1, 17)), 400))),
            self.file("mobile.mmf", melodies.smaf(melodies.tune([1, 2, 3, 9, 10, 16], 300, seed=7))),
            self.file("handy.mmf", melodies.smaf(melodies.tune([1, 2, 3, 4], 120, seed=3), handyPhone=True)),
        ]

    def take(self, paths, vib=(1,), led=(1,)):
        browser.chooseChannels(self.driver, "vib", vib)
        browser.chooseChannels(self.driver, "led", led)
        browser.takeFiles(self.driver, paths)
        return browser.waitForCards(self.driver, len(paths), f"{mask(vib)},{mask(led)}")

    def card(self, index, times=()):
        return self.driver.execute_script(CARD_SCRIPT, index, list(times))

    def test_rows_and_device_rows_follow_the_downloads_channels(self):
        paths = sorted(str(p) for p in EXAMPLES.iterdir() if p.suffix in (".mld", ".mmf")) + self.generated()
        browser.takeFiles(self.driver, paths)
        for vib, led in CHOICES:
            browser.chooseChannels(self.driver, "vib", vib)
            browser.chooseChannels(self.driver, "led", led)
            browser.waitForCards(self.driver, len(paths), f"{mask(vib)},{mask(led)}")
            for index, path in enumerate(paths):
                with self.subTest(path=os.path.basename(path), vib=vib, led=led):
                    timeline = nativeTimeline(path)
                    converted = self.file("converted" + pathlib.Path(path).suffix, native(path, vib, led)[0])
                    vibCarried, ledCarried = carried(converted)
                    vibIntervals, ledIntervals = union(timeline, vibCarried), union(timeline, ledCarried)
                    shown = self.card(index)
                    rows = sorted({note[0] for note in timeline["notes"]})
                    self.assertEqual(shown["rows"], rows)
                    self.assertEqual([shown["vibration"], shown["led"]], [vibCarried, ledCarried])
                    self.assertEqual(shown["tinted"], [[r in vibCarried, r in ledCarried] for r in rows])
                    self.assertEqual(shown["vibIntervals"], vibIntervals)
                    self.assertEqual(shown["ledIntervals"], ledIntervals)
                    edges, middles = probeTimes(vibIntervals + ledIntervals, shown["msPerPixel"], timeline["durationMs"])
                    edges = sorted(set(edges)) + middles
                    expected = [{"vibrating": inside(vibIntervals, t), "led": inside(ledIntervals, t)} for t in edges]
                    shown = self.card(index, edges)
                    self.assertEqual(shown["states"], expected)
                    # The drawing, where a pixel can tell: the middles of the
                    # intervals and gaps of each device.
                    for row, intervals in (("vibrating", vibIntervals), ("led", ledIntervals)):
                        _, middles = probeTimes(intervals, shown["msPerPixel"], timeline["durationMs"])
                        drawn = self.card(index, middles)["drawn"]
                        self.assertEqual([d[row] for d in drawn], [inside(intervals, t) for t in middles], row)

    def test_offline_render_sounds_inside_notes_and_is_silent_outside(self):
        # Phrases and rests: chords and single notes of 200 ms every half second.
        notes = [(1 + i % 3, 50 * i, 20, 60 + i % 12) for i in range(12)] + [(9, 100, 30, 48), (10, 110, 5, 72)]
        path = self.file("phrases.mmf", melodies.smaf(notes))
        self.take([path])
        seconds, blockMs = 4, 10
        blocks = self.driver.execute_async_script("""
          const [seconds, blockMs, done] = arguments;
          const rate = 24000, notes = sorbelinPage.files[0].timeline.notes;
          const context = new OfflineAudioContext(1, rate * seconds, rate);
          const clock = {originMs: 0, originTime: 0}, window = sorbelinSound.lookAheadMs;
          // The windows that live playback schedules, one after the other.
          for (let from = 0; from < seconds * 1000; from += window)
            sorbelinSound.scheduleWindow(context, context.destination, notes, from, from + window, clock);
          context.startRendering().then((buffer) => {
            const samples = buffer.getChannelData(0), size = rate * blockMs / 1000, rms = [];
            for (let at = 0; at + size <= samples.length; at += size) {
              let sum = 0;
              for (let i = at; i < at + size; ++i) sum += samples[i] * samples[i];
              rms.push(Math.sqrt(sum / size));
            }
            done(rms);
          });
        """, seconds, blockMs)
        sounding = union(nativeTimeline(path), set(range(1, 33)))
        loud = quiet = 0
        for index, rms in enumerate(blocks):
            start, end = index * blockMs, (index + 1) * blockMs
            if any(s + 10 <= start and end <= e for s, e in sounding):
                self.assertGreater(rms, 0.01, f"silence at {start} ms, inside a note")
                loud += 1
            elif not any(start < e + 150 and s < end for s, e in sounding):
                self.assertLess(rms, 1e-4, f"sound at {start} ms, where no note sounds")
                quiet += 1
        self.assertGreater(loud, 50)
        self.assertGreater(quiet, 10)

    def test_phone_follows_the_playhead(self):
        path = self.generated()[0]
        vib, led = [2, 5], [3]
        self.take([path], vib, led)
        timeline = nativeTimeline(path)
        vib, led = carried(self.file("converted.mld", native(path, vib, led)[0]))
        vibIntervals, ledIntervals = union(timeline, vib), union(timeline, led)
        lanes = self.driver.find_element("css selector", "#files .lanes")
        width = lanes.size["width"]
        phone = "const p = document.querySelector('#files .phone'); return [p.dataset.vibrating, p.dataset.led, sorbelinPage.files[0].view.playheadMs];"
        checked = set()
        # Clicks on the lanes, across the width: the phone shows the state
        # at the time the playhead went to.
        for step in range(1, 40):
            x = int(width * step / 40) - width // 2
            browser.clickAt(self.driver, lanes, x)
            vibrating, lit, at = self.driver.execute_script(phone)
            expected = [str(inside(vibIntervals, at)).lower(), str(inside(ledIntervals, at)).lower()]
            self.assertEqual([vibrating, lit], expected, f"at {at} ms")
            checked.add(tuple(expected))
        self.assertEqual(len(checked), 4, "the clicks met every state of the two devices")
        # The keyboard: Home, then a second at a time.
        lanes.send_keys(browser.Keys.HOME)
        for second in range(0, 6):
            vibrating, lit, at = self.driver.execute_script(phone)
            self.assertEqual(at, second * 1000)
            self.assertEqual([vibrating, lit], [str(inside(vibIntervals, at)).lower(), str(inside(ledIntervals, at)).lower()])
            lanes.send_keys(browser.Keys.ARROW_RIGHT)

    def test_phone_shakes_or_says_so_without_motion(self):
        path = self.generated()[0]
        self.take([path], [1], [1])
        timeline = nativeTimeline(path)
        start, end = union(timeline, [1])[0]
        self.driver.execute_script("sorbelinPage.seek(sorbelinPage.files[0], arguments[0])", (start + end) // 2)
        look = """const p = document.querySelector('#files .phone');
                  return [p.dataset.vibrating, getComputedStyle(p.querySelector('.body')).animationName,
                          getComputedStyle(p.querySelector('.vibrating-mark')).visibility];"""
        self.assertEqual(self.driver.execute_script(look), ["true", "buzz", "hidden"])
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [{"name": "prefers-reduced-motion", "value": "reduce"}]})
        try:
            self.assertEqual(self.driver.execute_script(look), ["true", "none", "visible"])
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})

    def test_playing_moves_the_playhead_with_the_sound(self):
        self.take([self.generated()[0]])
        play = self.driver.find_element("css selector", "#files .play")
        play.click()
        self.assertEqual(play.get_attribute("aria-pressed"), "true")
        at = browser.wait(self.driver, "const ms = sorbelinPage.files[0].view.playheadMs; return ms > 500 && ms;")
        self.assertEqual(self.driver.execute_script("return sorbelinPage.files[0].player.context.state"), "running")
        play.click()
        self.assertEqual(play.get_attribute("aria-pressed"), "false")
        stopped = self.driver.execute_script("return sorbelinPage.files[0].view.playheadMs")
        self.assertGreaterEqual(stopped, at)
        time.sleep(0.3)
        self.assertEqual(self.driver.execute_script("return sorbelinPage.files[0].view.playheadMs"), stopped)
        # Space on the focused timeline plays from where the playhead stands.
        lanes = self.driver.find_element("css selector", "#files .lanes")
        lanes.send_keys(" ")
        browser.wait(self.driver, "return sorbelinPage.files[0].view.playheadMs > arguments[0] + 200", stopped)
        lanes.send_keys(" ")
        self.assertEqual(play.get_attribute("aria-pressed"), "false")

    def test_controls_are_labelled_and_reached_with_the_keyboard(self):
        self.take([self.generated()[0]])
        controls = self.driver.execute_script("""
          const card = document.querySelector('#files > li');
          const lanes = card.querySelector('.lanes'), play = card.querySelector('.play');
          const tracks = document.querySelector('#all-tracks');
          return [lanes.tabIndex, lanes.getAttribute('role'), Boolean(lanes.getAttribute('aria-label')),
                  lanes.getAttribute('aria-valuetext'), play.tagName, play.textContent.includes('Play'),
                  tracks.type, tracks.checked, tracks.labels[0].textContent.includes('6 and 7')];""")
        self.assertEqual(controls, [0, "slider", True, "0:00.0", "BUTTON", True, "checkbox", False, True])

    def test_a_file_that_cannot_hold_the_choice_says_what_its_download_carries(self):
        # HandyPhone channels 1-4: vibration on 9 has no place in the file.
        path = self.file("handy.mmf", melodies.smaf(melodies.tune([1, 2, 3, 4], 40), handyPhone=True))
        cases = [([2, 9], [1], True), ([2], [1], False), ([3], [2, 3], True)]  # vibration, LED, the file falls short
        browser.takeFiles(self.driver, [path])
        for vib, led, short in cases:
            with self.subTest(vib=vib, led=led):
                browser.chooseChannels(self.driver, "vib", vib)
                browser.chooseChannels(self.driver, "led", led)
                browser.waitForCards(self.driver, 1, f"{mask(vib)},{mask(led)}")
                expected = native(path, vib, led)[0]
                vibCarried, ledCarried = carried(self.file("converted.mmf", expected))
                self.assertEqual(vibCarried != vib or ledCarried != led, short)
                self.assertEqual(browser.download(self.driver, 0), expected)
                shown = self.driver.execute_script("""
                  const card = document.querySelector('#files > li'), file = sorbelinPage.files[0];
                  const text = (name) => card.querySelector(`[data-field=${name}]`).textContent.trim();
                  return [!card.querySelector('[data-field=mark]').hidden, text('carries'), text('carriesEnglish'),
                          file.carried.vibration, file.carried.led];""")
                self.assertEqual(shown, [short, nativeCarries(path, vib, led, "ja_JP.UTF-8"),
                                         nativeCarries(path, vib, led), vibCarried, ledCarried])

    def test_score_tracks_6_and_7_are_linked_when_the_box_is_ticked(self):
        # Track 6 links vibration to channel 10 and the LED to 1 and 8.
        status = bytearray(16)
        status[9], status[0], status[7] = 0x20, 0x10, 0x10
        path = self.file("newer.mmf", melodies.smaf(melodies.tune([1, 8, 10], 30), status=bytes(status), track=6))
        vib, led = [2], [3]
        self.take([path], vib, led)
        box = self.driver.find_element("id", "all-tracks")
        for ticked in (False, True, False):
            with self.subTest(ticked=ticked):
                if box.is_selected() != ticked:
                    box.click()
                browser.wait(self.driver, "return document.querySelector('#files [data-field=result]').dataset.allTracks === arguments[0]",
                             str(ticked).lower())
                options = ["--all-tracks"] if ticked else []
                self.assertEqual(browser.download(self.driver, 0), native(path, vib, led, options=options)[0])
                card = browser.cards(self.driver)[0]
                # The native line names its option where the page names its box.
                japanese = nativeCarries(path, vib, led, "ja_JP.UTF-8", options).replace("--all-tracks", "「スコアトラック 6 と 7 も連動させる」")
                english = nativeCarries(path, vib, led, options=options).replace("--all-tracks", "“Score tracks 6 and 7 too”")
                self.assertEqual([card["carries"], card["carriesEnglish"]], [japanese, english])
                self.assertEqual(bool(card["tracksHint"]), not ticked)
                self.assertEqual(self.card(0)["vibration"], vib if ticked else [10])

    def test_page_fits_a_phone_and_a_desktop(self):
        title = b"A-very-long-title-that-has-no-place-to-break-" * 6
        path = self.file("long.mld", melodies.imelody(melodies.tune(list(range(1, 17)), 200), title))
        self.take([path, str(EXAMPLES / "chime.mmf"), str(EXAMPLES / "lullaby-v3.mld")])
        for width, height in ((320, 640), (390, 844), (1280, 800)):
            with self.subTest(width=width):
                browser.setViewport(self.driver, width, height)
                try:
                    measured = browser.wait(self.driver, """
                      const [width] = arguments, root = document.documentElement;
                      const lanes = [...document.querySelectorAll('.lanes')];
                      // Drawn again for the new width.
                      if (!sorbelinPage.files.every((f) => !f.view || f.view.width === f.view.lanes.clientWidth)) return null;
                      return {scrollWidth: root.scrollWidth, innerWidth: innerWidth,
                              values: [...document.querySelectorAll('.report dd[data-field=format]')].map((dd) => dd.getBoundingClientRect().left),
                              counts: [...document.querySelectorAll('.chart')].map((chart) => [...chart.querySelectorAll('.count')]
                                .filter((c) => getComputedStyle(c).visibility === 'visible').map((c) => {
                                  const r = c.getBoundingClientRect(); return [r.left, r.right]; }))};""", width)
                    self.assertEqual(measured["innerWidth"], width)
                    self.assertEqual(measured["scrollWidth"], width)
                    self.assertEqual(len(set(measured["values"])), 1, "the report's values line up")
                    for chart in measured["counts"]:
                        for left, right in zip(chart, chart[1:]):
                            self.assertLessEqual(left[1], right[0], "count labels overlap")
                finally:
                    browser.setViewport(self.driver, None)

    def test_time_from_drop_to_timeline_drawn(self):
        notes = melodies.tune(list(range(1, 17)), 15000)
        data = melodies.imelody(notes, b"Long", noteLength=4, padding=3)
        self.assertGreater(len(data), 78000)
        encoded = base64.b64encode(data).decode()
        shown, converted = [], []
        for attempt in range(5):
            browser.openPage(self.driver, self.url)
            self.driver.execute_script("""
              const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));
              const files = new DataTransfer();
              files.items.add(new File([bytes], 'long.mld'));
              document.querySelector('#drop-zone').dispatchEvent(
                  new DragEvent('drop', {dataTransfer: files, bubbles: true, cancelable: true}));
            """, encoded)
            card = browser.wait(self.driver, """const card = document.querySelector('#files > li');
                                                return card.dataset.convertedMs && card.dataset;""")
            self.assertEqual(self.driver.execute_script("return sorbelinPage.files[0].timeline.notes.length"), 15000)
            shown.append(float(card["timelineMs"]))
            converted.append(float(card["convertedMs"]))
        median = lambda times: sorted(times)[len(times) // 2]
        print(f"\n  80 KB, 15,000 notes, dropped: timeline drawn in {median(shown):.1f} ms "
              f"(median of {len(shown)}; {min(shown):.1f} to {max(shown):.1f}), "
              f"converted and lit in {median(converted):.1f} ms", file=sys.stderr)
        self.assertLess(median(shown), 1000)


class ServedPlayer(page_test.Served, PlayerTests, unittest.TestCase):
    pass


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    page_test.SITE, page_test.SORBELIN = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
