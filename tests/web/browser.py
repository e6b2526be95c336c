"""Debian's headless Chromium driven by Selenium, for the page's tests and
its screenshot, and a static server for the built site on 127.0.0.1."""
import base64
import functools
import http.server
import json
import os
import shutil
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys  # noqa: F401 (for the tests)
from selenium.webdriver.support.ui import WebDriverWait


class Browser:
    """A headless Chromium with a fresh profile, its requests logged. The
    switches keep it from making requests of its own (updates, sync, field
    trials), which a closed network refuses and the request log would show."""

    def __init__(self, width=1000, height=1400):
        self.profile = tempfile.mkdtemp(prefix="sorbelin-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        # /dev/shm is small in containers: shared memory goes to /tmp instead.
        switches = ["--headless=new", "--disable-gpu", "--disable-dev-shm-usage", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync", "--no-first-run",
                    "--user-data-dir=" + self.profile, f"--window-size={width},{height}"]
        if os.geteuid() == 0:
            switches.append("--no-sandbox")  # Chromium's sandbox refuses root
        for switch in switches:
            options.add_argument(switch)
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        # Leave the start page, then forget what it asked for.
        self.driver.get("about:blank")
        self.requests()

    def requests(self):
        """Every URL requested since the last call, in order."""
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


class SiteServer:
    """The built site, served from a folder on a free port of 127.0.0.1."""

    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join()


# ---- What a user does on the page

def openPage(driver, url):
    """Loads the page and waits until its converter is ready."""
    driver.get(url)
    wait(driver, "return document.querySelectorAll('#vib .toggles input').length === 16")


def wait(driver, script, *args, timeout=30, poll=0.5):
    """Waits until the script returns something true, and returns it,
    asking every `poll` seconds."""
    return WebDriverWait(driver, timeout, poll_frequency=poll).until(lambda d: d.execute_script(script, *args))


def takeFiles(driver, paths):
    """Picks files with the page's file input, as its Choose button does."""
    driver.find_element("id", "file-input").send_keys("\n".join(paths))


def setViewport(driver, width, height=None):
    """Lays the page out at width x height CSS pixels, scroll bars hidden so
    that the viewport's width is the page's; None returns to the window's."""
    if width is None:
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        driver.execute_cdp_cmd("Emulation.setScrollbarsHidden", {"hidden": False})
        return
    driver.execute_cdp_cmd("Emulation.setScrollbarsHidden", {"hidden": True})
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})


def clickAt(driver, element, x):
    """Clicks the element `x` CSS pixels right of its middle."""
    ActionChains(driver).move_to_element_with_offset(element, x, 0).click().perform()


def chooseOwn(driver):
    """Turns おまかせ off for both devices, as a click on each does: every
    file gets the same channels, channel 1 for both until others are
    chosen."""
    for row in ("vib", "led"):
        if driver.find_element("id", f"{row}-auto").is_selected():
            driver.find_element("css selector", f"label[for={row}-auto]").click()


def chooseChannels(driver, row, channels):
    """Sets a row of toggles ("vib" or "led") to the channels, with None and
    clicks on the labels."""
    driver.find_element("css selector", f"#{row} .none").click()
    for channel in channels:
        driver.find_element("css selector", f"label[for={row}-{channel}]").click()


# One object per file card: its name, its report as shown, and the result.
CARDS_SCRIPT = """
return [...document.querySelectorAll('#files > li')].map((card) => {
  const result = card.querySelector('[data-field=result]');
  const shown = (name) => {
    const element = card.querySelector(`[data-field=${name}]`);
    return element ? element.textContent.trim() : null;
  };
  const link = card.querySelector('a.download');
  return {
    name: card.querySelector('.file-name').textContent,
    outcome: result.dataset.outcome || null,
    masks: result.dataset.masks || null,
    japanese: shown('japanese'),
    english: shown('english'),
    models: shown('models'),
    resultText: result.textContent,
    carries: shown('carries'),
    carriesEnglish: shown('carriesEnglish'),
    problem: result.querySelector('.problem') ? result.textContent.trim() : null,
    readProblem: [...card.children].filter((e) => e.matches('.problem')).map((e) => e.dataset.text)[0] || null,
    download: link ? link.download : null,
    format: shown('format'),
    version: shown('version'),
    madeFor: shown('madeFor'),
    title: shown('title'),
    length: shown('length'),
    error: shown('error'),
    vibration: shown('vibration'),
    led: shown('led'),
    ledTag: shown('ledTag'),
    notes: [...card.querySelectorAll('.chart li')].map((bar) => Number(bar.dataset.notes)),
  };
});
"""


DROP_SCRIPT = """
const [name, data, zeros] = arguments;
const bytes = data === null ? new Uint8Array(zeros) : Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
const files = new DataTransfer();
files.items.add(new File([bytes], name));
document.querySelector('#drop-zone').dispatchEvent(new DragEvent('drop', {dataTransfer: files, bubbles: true, cancelable: true}));
"""


def dropFile(driver, name, data=None, zeros=0):
    """Drops a file of the bytes, or of `zeros` zero bytes made in the page,
    on the drop zone."""
    driver.execute_script(DROP_SCRIPT, name, None if data is None else base64.b64encode(data).decode(), zeros)


def cards(driver):
    return driver.execute_script(CARDS_SCRIPT)


def waitForCards(driver, count, masks):
    """Waits until `count` cards show a conversion with the masks
    ("VIB,LED") and returns them."""
    return wait(driver, """
      const cards = document.querySelectorAll('#files > li [data-field=result]');
      return cards.length === arguments[0] && [...cards].every((c) => c.dataset.masks === arguments[1]);
    """, count, masks) and cards(driver)


DOWNLOAD_SCRIPT = """
const [index, done] = arguments;
const link = document.querySelectorAll('#files > li')[index].querySelector('a.download');
fetch(link.href).then((response) => response.arrayBuffer()).then((buffer) => {
  let text = '';
  for (const byte of new Uint8Array(buffer)) text += String.fromCharCode(byte);
  done(btoa(text));
});
"""


def download(driver, index):
    """The bytes that the download link of the index-th card offers."""
    return base64.b64decode(driver.execute_async_script(DOWNLOAD_SCRIPT, index))
