#!/usr/bin/python3
"""The route viewer in a real browser: Debian's headless Chromium driven by
Debian's python3-selenium. The page written by `view` loads without a console
error and fetches nothing; hovering tells what a thing is, where it is and
which source line made it; a km range, the wheel, a drag, the keys and the
station list move both views together; labels never overlap; with --serve an
edit reaches the open page. A screenshot of each view is kept.

Usage: viewer_test.py BUILD_DIR [ARTIFACTS_DIR]
(BUILD_DIR holds genera_scenario and genera_long_sources.)"""

import base64
import http.client
import json
import os
import re
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from collections import Counter
from xml.etree import ElementTree

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

BUILD = None
ARTIFACTS = None
LINE = "LIVRA_MONTALBA_linea.txt"
TRAIN = "LIVRA_MONTALBA_R47316-.txt"
PAGE = "LIVRA_MONTALBA_R47316.html"


def start_browser():
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="genera-chromium-")
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1500,1350", "--force-device-scale-factor=1"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def line_number(path, starts_with):
    """The 1-based line of `path` that starts with `starts_with`."""
    with open(path, encoding="latin-1", newline="") as f:
        for number, text in enumerate(f.read().replace("\r\n", "\n").split("\n"), start=1):
            if text.startswith(starts_with):
                return number
    raise AssertionError(f"no line starts with {starts_with!r} in {path}")


def requests_made(driver, page=None):
    """The addresses of the requests sent since the last call: those of the
    document `page` (all of them when None), and every one that went to the
    network (http, https, ws), whichever document sent it. The browser's own
    pages (chrome://) load through the same log and are no concern here."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] != "Network.requestWillBeSent":
            continue
        params = message["params"]
        url = params["request"]["url"]
        if page is None or params.get("documentURL", "").startswith(page) or \
                re.match(r"(https?|wss?):", url):
            urls.append(url)
    return urls


class ViewerCase(unittest.TestCase):
    driver = None

    @classmethod
    def tearDownClass(cls):
        if cls.driver:
            cls.driver.quit()

    def open(self, url):
        requests_made(self.driver)  # what came before is not this page's
        self.driver.get(url)
        self.wait_drawn()

    def wait_drawn(self):
        WebDriverWait(self.driver, 20).until(
            lambda d: d.execute_script("return window.genera_viewer && genera_viewer.first_draw_ms()"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def set_range(self, a, b):
        self.js("genera_viewer.set_range(arguments[0], arguments[1])", a, b)

    def range(self):
        return self.js("return genera_viewer.range()")

    def shot(self, name):
        os.makedirs(ARTIFACTS, exist_ok=True)
        self.driver.save_screenshot(os.path.join(ARTIFACTS, name))

    def assert_inside_the_window(self, element_id):
        box = self.js("""const r = document.getElementById(arguments[0]).getBoundingClientRect();
            return [r.left, r.top, r.right, r.bottom, innerWidth, innerHeight];""", element_id)
        left, top, right, bottom, width, height = box
        self.assertTrue(0 <= left and 0 <= top and right <= width + 0.5 and bottom <= height + 0.5,
                        f"{element_id} at {box[:4]} in a window of {width}x{height}")

    def window(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        WebDriverWait(self.driver, 5).until(
            lambda d: self.js("return [innerWidth, innerHeight]") == [width, height])

    def console_errors(self):
        return [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]

    def pointer_to(self, canvas_id, point):
        """Moves the pointer to `point` (viewport coordinates) on the canvas."""
        canvas = self.driver.find_element(By.ID, canvas_id)
        offset = self.js("""
            const r = arguments[0].getBoundingClientRect(), p = arguments[1];
            return [p.x - (r.left + r.width / 2), p.y - (r.top + r.height / 2)];""", canvas, point)
        ActionChains(self.driver).move_to_element_with_offset(canvas, int(offset[0]), int(offset[1])).perform()
        return canvas

    def hover_lane(self, lane, metre):
        """Hovers lane `lane` at `metre`; a profile's name (pendenza,
        velocita, aderenza) hovers its curve in the lane it shares."""
        where = "profile_point" if lane in ("pendenza", "velocita", "aderenza") else "lane_point"
        point = self.js(f"return genera_viewer.{where}(arguments[0], arguments[1])", lane, metre)
        self.assertIsNotNone(point, lane)
        canvas = self.pointer_to("line", point)
        return self.tooltip(), canvas

    def tooltip(self):
        tip = self.driver.find_element(By.ID, "tooltip")
        WebDriverWait(self.driver, 5).until(lambda d: tip.is_displayed())
        return tip.text

    def assert_labels_apart(self, where):
        labels = self.js("return genera_viewer.labels()")
        for view in ("line", "plan"):
            boxes = labels[view]
            for i, a in enumerate(boxes):
                for b in boxes[i + 1:]:
                    apart = (a["x1"] <= b["x0"] or b["x1"] <= a["x0"] or
                             a["y1"] <= b["y0"] or b["y1"] <= a["y0"])
                    self.assertTrue(apart, f"{where}, {view}: {a['text']!r} covers {b['text']!r}")
        return labels


class BuiltInPage(ViewerCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        subprocess.run([exe, "view", LINE, TRAIN], cwd=cls.folder, check=True, capture_output=True)
        cls.url = "file://" + os.path.join(cls.folder, PAGE)
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def setUp(self):
        self.open(self.url)

    def test_page_loads_without_a_console_error_and_fetches_nothing(self):
        self.assertEqual(self.console_errors(), [])
        self.assertEqual(requests_made(self.driver, self.url), [self.url])
        self.assertEqual(self.range(), [0, 1921 * 50])
        self.assert_labels_apart("the whole line")
        self.shot("viewer-overview.png")

    def test_hover_says_what_a_thing_is_where_it_is_and_which_line_made_it(self):
        train, line = os.path.join(self.folder, TRAIN), os.path.join(self.folder, LINE)
        signal_line = line_number(train, "segnale,    2800")
        slowdown_line = line_number(train, "rallentamento,   42850")
        cases = [
            ((2000, 4000), "signals", 2850,
             ["Signal", "cell 57, 2,850 m (km 2.850)", f"{TRAIN}, line {signal_line}"]),
            ((40000, 45000), "signals", 42000,
             ["Code cell, code 180", "added by the post-pass for the slowdown at 42,850 m",
              f"{TRAIN}, line {slowdown_line}"]),
            ((40000, 45000), "slowdowns", 42950,
             ["Slowdown to 60 km/h", "warning board cell 834", f"{TRAIN}, line {slowdown_line}"]),
            ((40000, 45000), "tunnels", 42500,
             ["Tunnel, lit", "1,800 m",
              f"montagna at 41,950 m \u2014 {LINE}, line {line_number(line, 'montagna,   41950')}"]),
            ((40000, 45000), "boards", 41750,
             ["Indicator board", "Galleria / Cerreto",
              f"{LINE}, line {line_number(line, 'cartello_indicatore,  41700')}"]),
            ((56000, 58000), "boards", 57050,
             ["Speed-indicator board", "A 130, B 135, C 140 km/h",
              f"{LINE}, line {line_number(line, 'indicatori_vmax,  57000')}"]),
            ((0, 20000), "stations", 9050,
             ["Station Casalpiano", "9,050 m", f"{TRAIN}, line {line_number(train, 'stazione,    9050')}"]),
            ((36000, 40000), "curves", 37800,
             ["Curve to the right, radius about 5,000 m", "from 37,250 m",
              f"curvad2 at 37,250 m \u2014 {LINE}, line {line_number(line, 'curvad2,  37250')}"]),
            ((80000, 96000), "pendenza", 90000,
             ["Gradient 0 \u2030", "carried to the grid\u2019s end by the tail fill", "speed limit here ",
              f"pendenza at 79,250 m \u2014 {LINE}, line {line_number(line, 'pendenza,  79250')}"]),
            ((0, 10000), "velocita", 5000,
             ["Speed limit 150 km/h", "gradient here ",
              f"velocita at 2,000 m \u2014 {TRAIN}, line {line_number(train, 'velocita,    2000')}"]),
        ]
        for (a, b), lane, metre, expected in cases:
            with self.subTest(lane=lane, metre=metre):
                self.set_range(a, b)
                text, _ = self.hover_lane(lane, metre)
                for words in expected:
                    self.assertIn(words, text)
        # A click shows the line that made it.
        self.set_range(2000, 4000)
        _, canvas = self.hover_lane("signals", 2850)
        self.shot("viewer-hover-signal.png")
        ActionChains(self.driver).click().perform()
        panel = self.driver.find_element(By.ID, "source-panel")
        WebDriverWait(self.driver, 5).until(lambda d: panel.is_displayed())
        self.assertIn(f"{TRAIN}, line {signal_line}", panel.text)
        self.assertEqual(self.driver.find_element(By.ID, "source-where").get_attribute("value"),
                         f"{TRAIN}:{signal_line}")
        self.assert_inside_the_window("source-panel")
        here = self.driver.find_element(By.CSS_SELECTOR, "#source-text .here")
        self.assertEqual(here.text.split(None, 1),
                         [str(signal_line), "segnale,    2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0"])
        self.shot("viewer-source-line.png")

    def test_hover_on_the_plan_names_the_station_and_the_curve(self):
        self.set_range(37000, 41000)
        point = self.js("return genera_viewer.plan_point(39650)")
        self.pointer_to("plan", point)
        self.assertIn("Station Valcerreto", self.tooltip())
        # Beside the station, on the curve record's rows 37250 to 38450.
        self.pointer_to("plan", self.js("return genera_viewer.plan_point(38200)"))
        text = self.tooltip()
        self.assertRegex(text, r"The plan at 38,2\d\d m")
        self.assertIn(f"turned by curvad2 at 37,250 m \u2014 {LINE}, line "
                      f"{line_number(os.path.join(self.folder, LINE), 'curvad2,  37250')}", text)

    def test_a_km_range_shows_only_that_range_in_both_views(self):
        for field, value in (("range-from", "40"), ("range-to", "45")):
            box = self.driver.find_element(By.ID, field)
            box.clear()
            box.send_keys(value)
        box.send_keys(Keys.ENTER)
        WebDriverWait(self.driver, 5).until(lambda d: self.range() == [40000, 45000])
        drawn = self.js("return genera_viewer.drawn()")
        self.assertEqual(drawn["plan"]["rows"], [40000, 45000])
        # Each where its cell begins: the signal at 43600 m takes cell 873.
        self.assertEqual(drawn["line"]["signals"], [43650])
        self.assertEqual(drawn["plan"]["signals"], [43650])
        self.assertEqual(drawn["line"]["codes"], [42000, 42350, 42650, 43600])
        for view in ("line", "plan"):
            for kind, metres in drawn[view].items():
                if kind in ("rows", "station_names"):
                    continue
                for m in metres:
                    self.assertTrue(40000 <= m <= 45000, f"{view} {kind} at {m}")
        labels = self.assert_labels_apart("km 40 to 45")
        ticks = [float(l["text"]) for l in labels["line"] if re.fullmatch(r"\d+\.\d", l["text"])]
        self.assertEqual(ticks, [40.0, 40.5, 41.0, 41.5, 42.0, 42.5, 43.0, 43.5, 44.0, 44.5, 45.0])
        self.shot("viewer-range-40-45.png")

    def test_the_station_list_jumps_to_the_station(self):
        item = self.driver.find_element(By.XPATH, "//ol[@id='station-list']/li[contains(., 'Pratolungo')]")
        item.click()
        a, b = self.range()
        self.assertAlmostEqual((a + b) / 2, 79650, delta=1)
        drawn = self.js("return genera_viewer.drawn()")
        self.assertIn("Pratolungo", drawn["line"]["station_names"])
        self.assertEqual(drawn["plan"]["stations"], [79650])
        labels = self.assert_labels_apart("Pratolungo")
        self.assertIn("Pratolungo", [l["text"] for l in labels["plan"]])
        self.shot("viewer-station-pratolungo.png")

    def test_wheel_drag_keys_and_fit_move_both_views(self):
        self.set_range(40000, 50000)
        canvas = self.driver.find_element(By.ID, "line")
        self.js("arguments[0].scrollIntoView()", canvas)
        # A plain wheel is the page's: the range stays. Ctrl + wheel zooms in
        # around the pointer.
        point = self.js("return genera_viewer.lane_point('signals', 45000)")
        offset = self.js("""const r = arguments[0].getBoundingClientRect();
            return [arguments[1].x - r.left - r.width / 2, arguments[1].y - r.top - r.height / 2]""", canvas, point)
        origin = ScrollOrigin.from_element(canvas, int(offset[0]), int(offset[1]))
        ActionChains(self.driver).scroll_from_origin(origin, 0, -300).perform()
        self.assertEqual(self.range(), [40000, 50000])
        ActionChains(self.driver).key_down(Keys.CONTROL).scroll_from_origin(origin, 0, -300) \
            .key_up(Keys.CONTROL).perform()
        WebDriverWait(self.driver, 5).until(lambda d: self.range()[1] - self.range()[0] < 9000)
        a, b = self.range()
        self.assertTrue(a < 45000 < b)
        # A drag to the left moves the range on along the line.
        ActionChains(self.driver).move_to_element_with_offset(canvas, 0, 0).click_and_hold() \
            .move_by_offset(-200, 0).release().perform()
        a2, b2 = self.range()
        self.assertGreater(a2, a)
        self.assertAlmostEqual(b2 - a2, b - a, delta=1)
        rows = self.js("return genera_viewer.drawn()")["plan"]["rows"]
        self.assertAlmostEqual(rows[0], a2, delta=0.01)
        self.assertAlmostEqual(rows[1], b2, delta=0.01)
        # Keys: + halves the range, the right arrow moves it, F fits the grid.
        body = self.driver.find_element(By.TAG_NAME, "body")
        span = b2 - a2
        body.send_keys("+")
        self.assertAlmostEqual(self.range()[1] - self.range()[0], span / 2, delta=1)
        before = self.range()
        body.send_keys(Keys.ARROW_RIGHT)
        self.assertGreater(self.range()[0], before[0])
        body.send_keys("f")
        self.assertEqual(self.range(), [0, 1921 * 50])
        self.set_range(1000, 2000)
        self.driver.find_element(By.ID, "fit").click()
        self.assertEqual(self.range(), [0, 1921 * 50])

    def test_layers_switch_lanes_off_and_on(self):
        # Gradient and speed limit share a lane, which goes with the last of them.
        gradient = self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='gradient']")
        speed = self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='speed']")
        gradient.click()
        self.assertIsNone(self.js("return genera_viewer.profile_point('pendenza', 1000)"))
        self.assertIsNotNone(self.js("return genera_viewer.profile_point('velocita', 1000)"))
        self.assertIn("off", self.driver.find_element(
            By.CSS_SELECTOR, "#legend li[data-layer='gradient']").get_attribute("class"))
        speed.click()
        self.assertIsNone(self.js("return genera_viewer.lane_point('profile', 1000)"))
        gradient.click()
        speed.click()
        self.assertIsNotNone(self.js("return genera_viewer.profile_point('pendenza', 1000)"))
        self.assertIsNotNone(self.js("return genera_viewer.lane_point('profile', 1000)"))
        markers = self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='markers']")
        self.assertFalse(markers.is_selected())


# Colours the views draw that stand for no kind of thing, so the legend does
# not list them: the lanes' paper and frames, the grid, text and its backing.
NEUTRAL = {
    (251, 251, 248): "paper, and the backing of labels",
    (255, 255, 255): "white: glyphs' insides, text on a dark bar",
    (228, 228, 224): "the grid",
    (200, 200, 192): "a profile's zero",
    (187, 187, 187): "a lane's frame",
    (68, 68, 68): "lane titles",
    (51, 51, 51): "signal posts, the scale bar",
    (34, 34, 34): "text",
    (102, 102, 102): "muted text",
    (58, 44, 0): "a lit tunnel's length",
    (154, 74, 0): "a slowdown's speed",
    (120, 120, 120): "the room past the grid's end",
}

# Records every colour a canvas is given, by canvas: the views by their id,
# the legend's swatches by their class.
RECORD_COLOURS = """
window.colours_drawn = {};
for (const name of ['fillStyle', 'strokeStyle']) {
  const d = Object.getOwnPropertyDescriptor(CanvasRenderingContext2D.prototype, name);
  Object.defineProperty(CanvasRenderingContext2D.prototype, name, {configurable: true, get: d.get,
    set(v) {
      d.set.call(this, v);
      const c = d.get.call(this), key = this.canvas.id || this.canvas.className;
      if (typeof c === 'string' && key) (colours_drawn[key] = colours_drawn[key] || {})[c] = true;
    }});
}"""


def rgb(colour):
    """"#1f4e79" or "rgba(31, 78, 121, 0.18)" as (31, 78, 121)."""
    if colour.startswith("#"):
        return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return tuple(int(float(v)) for v in re.findall(r"[\d.]+", colour)[:3])


class TheLegend(ViewerCase):
    """Every colour the views draw is in the legend, drawn there from the
    same table; every layer has its entries."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        subprocess.run([exe, "view", LINE, TRAIN], cwd=cls.folder, check=True, capture_output=True)
        cls.url = "file://" + os.path.join(cls.folder, PAGE)
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def test_every_colour_drawn_is_in_the_legend(self):
        self.open(self.url)
        self.js(RECORD_COLOURS)
        # Approach markers on: a layer switched draws the legend and the views again.
        self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='markers']").click()
        for a, b in ((0, 1921 * 50), (38000, 48000), (40000, 45000), (2000, 4000), (80000, 96050)):
            self.set_range(a, b)
        drawn = self.js("return colours_drawn")
        legend = {rgb(c) for c in drawn["legend-swatch"]}
        config = self.js("return JSON.parse(document.getElementById('genera-config').textContent)")
        table = {rgb(c) for c in config["colori"].values()}
        self.assertLessEqual(legend - set(NEUTRAL), table, "the legend draws a colour the table lacks")
        for view in ("plan", "line", "minimap"):
            colours = {rgb(c) for c in drawn[view]}
            with self.subTest(view=view):
                self.assertEqual(colours - legend - set(NEUTRAL), set(),
                                 f"drawn in the {view} and missing from the legend")
        # The recording saw the things themselves: a signal, both profiles, a lit tunnel.
        line = {rgb(c) for c in drawn["line"]}
        for colour in ((214, 39, 40), (44, 160, 44), (31, 119, 180), (242, 194, 48)):
            self.assertIn(colour, line)
        # Every layer has its entries in the legend, with the layer's own colour among them.
        layers = self.js("return [...document.querySelectorAll('#layers input')].map((b) => b.dataset.layer)")
        for layer in layers:
            entries = self.driver.find_elements(By.CSS_SELECTOR, f"#legend li[data-layer='{layer}']")
            self.assertTrue(entries, f"no legend entry for the layer {layer}")
        names = [li.text for li in self.driver.find_elements(By.CSS_SELECTOR, "#legend li")]
        for name in ("Signal", "Code cut", "Speed limit, km/h (right scale)", "Cells no record wrote"):
            self.assertIn(name, names)
        self.shot("viewer-legend.png")


class FindsItsWay(ViewerCase):
    """Permalinks that survive a reload, the search box, the next and
    previous object from the keyboard, export as PNG and the print layout."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        subprocess.run([exe, "view", LINE, TRAIN], cwd=cls.folder, check=True, capture_output=True)
        cls.url = "file://" + os.path.join(cls.folder, PAGE)
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def test_a_permalink_survives_a_reload(self):
        self.open(self.url)
        self.set_range(38000, 48000)
        self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='adhesion']").click()
        WebDriverWait(self.driver, 5).until(lambda d: "km=38-48" in d.current_url)
        address = self.driver.current_url
        self.assertRegex(address, r"#km=38-48&layers=[a-z_,]+$")
        self.assertNotIn("adhesion", address.split("layers=")[1].split(","))
        self.driver.refresh()
        self.wait_drawn()
        self.assertEqual(self.range(), [38000, 48000])
        self.assertIsNone(self.js("return genera_viewer.lane_point('adhesion', 40000)"))
        self.assertFalse(self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='adhesion']").is_selected())
        # An address typed in by hand.
        self.open(self.url + "#km=2-4&layers=stations,signals")
        self.assertEqual(self.range(), [2000, 4000])
        self.assertEqual([l["id"] for l in self.js("return genera_viewer.lanes()")], ["stations", "signals"])

    def test_the_search_box_finds_stations_boards_kms_lines_and_signals(self):
        self.open(self.url)
        train = os.path.join(self.folder, TRAIN)
        signal_line = line_number(train, "segnale,    2800")
        with open(os.path.join(self.folder, LINE), encoding="latin-1") as f:
            at = int(re.search(r"cartello_indicatore,\s*(\d+),\s*\(Galleria\s*\)\(Monte Sacro", f.read()).group(1))
        board = round(at / 50 + 1) * 50  # where its cell begins
        cases = [
            ("a station", "valcer", 39650, "Valcerreto"),
            ("a board's text", "monte sacro", board, "Galleria / Monte Sacro / 9200 mt."),
            ("a km", "57.5", 57500, "km 57.500"),
            ("a source line", f"line {signal_line}", 2850, f"line {signal_line}"),
            ("a signal by its position", "signal 2800", 2850, "signal at 2,800 m"),
        ]
        for name, query, metre, words in cases:
            with self.subTest(name):
                box = self.driver.find_element(By.ID, "search")
                box.clear()
                box.send_keys(query, Keys.ENTER)
                WebDriverWait(self.driver, 5).until(
                    lambda d: d.find_element(By.ID, "search-result").text == words)
                a, b = self.range()
                self.assertAlmostEqual((a + b) / 2, metre, delta=1)
        box = self.driver.find_element(By.ID, "search")
        box.clear()
        box.send_keys("nowhere at all", Keys.ENTER)
        self.assertEqual(self.driver.find_element(By.ID, "search-result").text, "nothing matches")
        self.shot("viewer-search.png")

    def test_next_and_previous_object_from_the_keyboard(self):
        self.open(self.url)
        self.set_range(40000, 45000)
        self.driver.find_element(By.ID, "line").click()
        body = self.driver.find_element(By.TAG_NAME, "body")
        # From the middle of the view, km 42.5, on.
        body.send_keys("n")
        text = self.tooltip()
        self.assertIn("Code cell, code 180", text)
        self.assertIn("cell 853, 42,650 m", text)
        body.send_keys("n")
        self.assertIn("cell 872, 43,600 m", self.tooltip())
        body.send_keys("n")
        self.assertIn("Signal", self.tooltip())
        self.assertIn("cell 873, 43,650 m", self.tooltip())
        body.send_keys("p")
        self.assertIn("cell 872, 43,600 m", self.tooltip())
        self.shot("viewer-next-object.png")

    def test_the_minimap_shows_the_whole_line_and_moves_the_view(self):
        self.open(self.url)
        self.set_range(10000, 14000)
        minimap = self.driver.find_element(By.ID, "minimap")
        self.assert_inside_the_window("minimap")
        width = minimap.size["width"]
        extent = 1921 * 50
        # A click at three quarters of the strip centres the view there.
        ActionChains(self.driver).move_to_element_with_offset(minimap, int(width * 0.25), 0).click().perform()
        a, b = self.range()
        self.assertAlmostEqual((a + b) / 2, extent * 0.75, delta=extent / width * 2)
        self.assertAlmostEqual(b - a, 4000, delta=1)
        self.shot("viewer-minimap.png")

    def test_export_as_svg_covers_the_range_shown(self):
        self.window(1366, 768)
        self.addCleanup(self.driver.execute_cdp_cmd, "Emulation.clearDeviceMetricsOverride", {})
        self.open(self.url)
        self.set_range(38000, 48000)
        export = self.js("return genera_viewer.export_svg()")
        self.assertEqual(export["name"], "LIVRA_MONTALBA_R47316_km38.0-48.0.svg")
        svg = ElementTree.fromstring(export["data"].encode("utf-8"))  # well-formed, or it raises
        ns = "{http://www.w3.org/2000/svg}"
        self.assertEqual(svg.tag, ns + "svg")
        self.assertEqual((svg.get("data-km-from"), svg.get("data-km-to")), ("38", "48"))
        self.assertIn("km 38.000 to 48.000", svg.find(ns + "title").text)
        width, _ = self.js("return genera_viewer.line_size()")
        self.assertEqual(float(svg.get("width")), width)

        def texts(group):
            return [t.text for t in svg.find(f"{ns}g[@id='{group}']").iter(ns + "text")]
        # What the canvases show is what the picture holds: every label, the
        # lanes' titles, the km ticks 38 to 48.
        labels = self.js("return genera_viewer.labels()")
        for view in ("line", "plan"):
            missing = Counter(l["text"] for l in labels[view]) - Counter(texts(view))
            self.assertEqual(missing, Counter(), f"{view}: labels on screen and not in the picture")
        for title in ("stations", "signals, codes", "boards", "tunnels", "slowdowns", "curves", "km"):
            self.assertIn(title, texts("line"))
        axis = self.js("return genera_viewer.axis()")
        ticks = [t.text for t in svg.find(f"{ns}g[@id='line']").iter(ns + "text")
                 if re.fullmatch(r"\d+", t.text) and axis["top"] < float(t.get("y")) < axis["bottom"]]
        self.assertEqual(ticks, [str(k) for k in range(38, 49)])
        self.assertIn("Valcerreto", texts("line"))
        self.assertNotIn("Casalpiano", texts("line"))  # at km 9, outside the range
        # The layers shown, no more: the adhesion switched off leaves its lane out.
        self.driver.find_element(By.CSS_SELECTOR, "input[data-layer='adhesion']").click()
        later = ElementTree.fromstring(self.js("return genera_viewer.export_svg()")["data"].encode("utf-8"))
        words = [t.text for t in later.iter(ns + "text")]
        self.assertNotIn("adhesion (%)", words)
        self.assertIn("speed limit (km/h)", words)
        os.makedirs(ARTIFACTS, exist_ok=True)
        with open(os.path.join(ARTIFACTS, "viewer-export.svg"), "w", encoding="utf-8") as f:
            f.write(export["data"])
        self.driver.get("file://" + os.path.join(ARTIFACTS, "viewer-export.svg"))
        self.shot("viewer-export-svg.png")

    def test_export_as_png_is_the_view_as_an_image(self):
        self.window(1366, 768)
        self.addCleanup(self.driver.execute_cdp_cmd, "Emulation.clearDeviceMetricsOverride", {})
        self.open(self.url)
        self.set_range(38000, 48000)
        self.driver.find_element(By.ID, "export-png").click()
        self.driver.find_element(By.ID, "export-svg").click()
        self.assertEqual(self.console_errors(), [])
        export = self.js("return genera_viewer.export_png()")
        self.assertEqual(export["name"], "LIVRA_MONTALBA_R47316_km38.0-48.0.png")
        prefix = "data:image/png;base64,"
        self.assertTrue(export["data"].startswith(prefix))
        png = base64.b64decode(export["data"][len(prefix):])
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(png[12:16], b"IHDR")
        width, height = struct.unpack(">II", png[16:24])
        line_width, line_height = self.js("return genera_viewer.line_size()")
        self.assertEqual(width, line_width)
        self.assertGreater(height, line_height + self.js("return document.getElementById('plan').clientHeight"))
        os.makedirs(ARTIFACTS, exist_ok=True)
        with open(os.path.join(ARTIFACTS, "viewer-export.png"), "wb") as f:
            f.write(png)
        # Not blank: the image, decoded by the browser, has ink, and the signals' red.
        ink = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const img = new Image();
            img.onload = () => {
              const c = document.createElement('canvas');
              c.width = img.width; c.height = img.height;
              const g = c.getContext('2d');
              g.drawImage(img, 0, 0);
              const px = g.getImageData(0, 0, c.width, c.height).data;
              let dark = 0, red = 0;
              for (let i = 0; i < px.length; i += 4) {
                if (px[i] + px[i + 1] + px[i + 2] < 600) dark++;
                if (px[i] === 214 && px[i + 1] === 39 && px[i + 2] === 40) red++;
              }
              done([dark, red, c.width * c.height]);
            };
            img.src = arguments[0];""", export["data"])
        dark, red, total = ink
        self.assertGreater(dark, total * 0.02)
        self.assertGreater(red, 10)

    def test_print_layout(self):
        self.open(self.url)
        self.set_range(38000, 48000)
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        try:
            self.assertFalse(self.driver.find_element(By.ID, "controls").is_displayed())
            self.assertTrue(self.driver.find_element(By.ID, "line").is_displayed())
            self.assertTrue(self.driver.find_element(By.ID, "plan").is_displayed())
            self.assertTrue(self.driver.find_element(By.ID, "legend").is_displayed())
            # Drawn again to the paper's sizes: the plan as tall as on paper, every lane at its liked height.
            WebDriverWait(self.driver, 5).until(lambda d: self.js("""
                const c = document.getElementById('plan');
                return c.clientHeight === 300 && c.height === c.clientHeight;"""))
            self.assertEqual([(l["id"], l["height"]) for l in self.js("return genera_viewer.lanes()")][-2:],
                             [("profile", 176), ("adhesion", 76)])
            self.assertFalse(self.driver.find_element(By.ID, "station-list").is_displayed())
            self.shot("viewer-print.png")
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})


class FitsTheWindow(ViewerCase):
    """Nothing clipped on ordinary screens: both canvases, every lane and
    the km axis inside the window, the docked source panel too; a window
    resized is drawn again to its new size; a narrow one folds the side
    panel away."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        subprocess.run([exe, "view", LINE, TRAIN], cwd=cls.folder, check=True, capture_output=True)
        cls.url = "file://" + os.path.join(cls.folder, PAGE)
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def wait_redrawn(self):
        # Drawn to the canvas's size on screen: the backing store matches it.
        WebDriverWait(self.driver, 5).until(lambda d: self.js("""
            const c = document.getElementById('line');
            return c.width === c.clientWidth && c.height === c.clientHeight &&
                   genera_viewer.line_size()[1] === c.clientHeight;"""))

    def assert_nothing_clipped(self, where):
        with self.subTest(where=where):
            for element in ("plan", "line", "controls"):
                self.assert_inside_the_window(element)
            page = self.js("return [document.documentElement.scrollWidth, document.documentElement.scrollHeight,"
                           " innerWidth, innerHeight]")
            self.assertLessEqual(page[0], page[2], "the page scrolls sideways")
            self.assertLessEqual(page[1], page[3], "the page scrolls down")
            lanes = self.js("return genera_viewer.lanes()")
            axis = self.js("return genera_viewer.axis()")
            height = self.js("return document.getElementById('line').clientHeight")
            # Every lane but the diagnostics', empty for these sources.
            self.assertEqual([l["id"] for l in lanes], ["stations", "signals", "boards", "tunnels",
                                                        "slowdowns", "curves", "profile", "adhesion"])
            for lane in lanes:
                self.assertGreaterEqual(lane["height"], lane["min"], lane["id"])
                self.assertLessEqual(lane["top"] + lane["height"], axis["top"], lane["id"])
            # The axis and its labels inside the canvas.
            self.assertLessEqual(axis["bottom"], height)
            labels = self.js("return genera_viewer.labels()")["line"]
            ticks = [l for l in labels if re.fullmatch(r"\d+", l["text"])]
            self.assertGreaterEqual(len(ticks), 3, "km ticks")
            for l in labels:
                self.assertLessEqual(l["y1"], height, l["text"])

    def test_nothing_is_clipped_at_three_screen_sizes(self):
        for width, height in ((1280, 720), (1366, 768), (800, 600)):
            self.window(width, height)
            self.open(self.url)
            self.assertEqual(self.console_errors(), [])
            self.wait_redrawn()
            self.assert_nothing_clipped(f"{width}x{height}")
            self.shot(f"viewer-{width}x{height}.png")
            # The source line a click opens is docked in sight, the axis too.
            self.set_range(2000, 4000)
            point = self.js("return genera_viewer.lane_point('signals', 2850)")
            self.pointer_to("line", point)
            ActionChains(self.driver).click().perform()
            self.assertTrue(self.driver.find_element(By.ID, "source-panel").is_displayed())
            self.wait_redrawn()
            self.assert_inside_the_window("source-panel")
            self.assert_nothing_clipped(f"{width}x{height} with the source panel")
            self.shot(f"viewer-{width}x{height}-source.png")

    def test_a_resized_window_is_drawn_again(self):
        self.window(1366, 768)
        self.open(self.url)
        self.set_range(40000, 45000)
        before = self.js("return genera_viewer.line_size()")
        self.window(800, 600)
        self.wait_redrawn()
        after = self.js("return genera_viewer.line_size()")
        self.assertLess(after[0], before[0])
        self.assertEqual(self.range(), [40000, 45000])
        self.assert_nothing_clipped("1366x768 made 800x600")

    def test_a_narrow_window_folds_the_side_panel(self):
        self.window(420, 800)
        self.open(self.url)
        side = self.driver.find_element(By.ID, "side")
        self.assertFalse(side.is_displayed())
        self.assert_inside_the_window("line")
        self.driver.find_element(By.ID, "side-toggle").click()
        self.assertTrue(side.is_displayed())
        self.shot("viewer-420-side-open.png")
        self.driver.find_element(By.XPATH, "//ol[@id='station-list']/li[contains(., 'Pratolungo')]").click()
        a, b = self.range()
        self.assertAlmostEqual((a + b) / 2, 79650, delta=1)


class PageWithADiagnostic(ViewerCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        train = os.path.join(cls.folder, TRAIN)
        with open(train, "rb") as f:
            text = f.read()
        first = b"segnale,    2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n"
        with open(train, "wb") as f:
            # A second signal on the first one's cell (written apart, to be found by its text).
            f.write(text.replace(first, first + b"segnale,   2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n"))
        result = subprocess.run([exe, "view", LINE, TRAIN], cwd=cls.folder, capture_output=True)
        assert result.returncode == 1, result.stderr
        cls.driver = start_browser()
        cls.url = "file://" + os.path.join(cls.folder, PAGE)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def test_a_diagnostic_is_listed_drawn_and_jumped_to(self):
        self.open(self.url)
        self.assertEqual(self.console_errors(), [])
        files = self.driver.find_elements(By.CSS_SELECTOR, "#diagnostic-list li.file")
        self.assertEqual([f.text for f in files], [f"{TRAIN} (1)"])
        items = self.driver.find_elements(By.CSS_SELECTOR, "#diagnostic-list li[data-index]")
        self.assertEqual(len(items), 1)
        self.assertIn("error 16 (", items[0].text)
        items[0].click()
        a, b = self.range()
        self.assertTrue(a < 2800 < b)
        self.assertEqual(self.js("return genera_viewer.drawn()")["line"]["diagnostics"], [2800])
        line = line_number(os.path.join(self.folder, TRAIN), "segnale,   2800")
        self.assertIn(f"{TRAIN}, line {line}: error 16",
                      self.driver.find_element(By.ID, "source-panel").text)
        text, _ = self.hover_lane("diagnostics", 2800)
        self.assertIn("error 16", text)
        self.shot("viewer-diagnostic.png")


class LongestLine(ViewerCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        subprocess.run([os.path.join(BUILD, "genera_long_sources"), cls.folder], check=True)
        subprocess.run([os.path.join(BUILD, "genera_scenario"), "view", "LUNGA_linea.txt", "LUNGA_L1-.txt"],
                       cwd=cls.folder, check=True, capture_output=True)
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.tmp.cleanup()

    def test_the_whole_line_and_one_kilometre_of_it(self):
        path = os.path.join(self.folder, "LUNGA_L1.html")
        self.assertLess(os.path.getsize(path), 10 * 1000 * 1000)
        self.open("file://" + path)
        self.assertEqual(self.console_errors(), [])
        self.assert_labels_apart("the longest line")
        self.shot("viewer-longest-line.png")
        self.set_range(500600, 501600)
        self.assertEqual(self.js("return genera_viewer.drawn()")["plan"]["rows"], [500600, 501600])
        self.assert_labels_apart("one kilometre of the longest line")
        self.shot("viewer-longest-line-1km.png")


class ServedPage(ViewerCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = cls.tmp.name
        exe = os.path.join(BUILD, "genera_scenario")
        subprocess.run([exe, "sources", "--out", cls.folder], check=True, capture_output=True)
        cls.server = subprocess.Popen([exe, "view", LINE, TRAIN, "--serve", "--port", "0"], cwd=cls.folder,
                                      stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        found = re.search(r"http://127\.0\.0\.1:(\d+)/", cls.server.stdout.readline())
        assert found, "the server named no address"
        cls.port = int(found.group(1))
        cls.driver = start_browser()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        if cls.server.poll() is None:
            cls.server.kill()
        cls.server.wait()
        cls.server.stdout.close()
        cls.server.stderr.close()
        cls.tmp.cleanup()

    def wait_state(self, state):
        WebDriverWait(self.driver, 5, poll_frequency=0.05).until(
            lambda d: self.js("return genera_viewer.state()") == state)

    def test_a_broken_or_deleted_source_keeps_the_drawing_and_the_range(self):
        origin = f"http://127.0.0.1:{self.port}/"
        self.open(origin)
        self.set_range(38000, 48000)
        train = os.path.join(self.folder, TRAIN)
        with open(train, "rb") as f:
            text = f.read()
        overlay = self.driver.find_element(By.ID, "overlay")
        self.assertFalse(overlay.is_displayed())
        # Broken: the last clean drawing under the list of errors.
        with open(train, "wb") as f:
            f.write(text.replace(b"stazione,    9050", b"stazione,    9055"))
        self.wait_state("errori")
        self.assertTrue(overlay.is_displayed())
        self.assertIn("error 8", overlay.text)
        self.assertIn(f"{TRAIN}:", overlay.text)
        self.assertIn("last one that compiled without errors", overlay.text)
        self.assertEqual(self.range(), [38000, 48000])
        self.assertIn("Valcerreto", self.js("return genera_viewer.drawn()")["line"]["station_names"])
        self.shot("viewer-served-broken.png")
        # Deleted: named at once, the drawing kept.
        os.remove(train)
        self.wait_state("mancante")
        self.assertIn(f"{TRAIN} is missing", overlay.text)
        self.assertEqual(self.range(), [38000, 48000])
        self.shot("viewer-served-missing.png")
        # Back, with the line source emptied: an error, the range holds.
        line = os.path.join(self.folder, LINE)
        with open(line, "rb") as f:
            line_text = f.read()
        with open(line, "wb") as f:
            f.write(b"")
        with open(train, "wb") as f:
            f.write(text)
        self.wait_state("errori")
        self.assertIn("error 102", overlay.text)
        self.assertEqual(self.range(), [38000, 48000])
        # Mended: the overlay goes, the range is still the one asked for.
        with open(line, "wb") as f:
            f.write(line_text)
        self.wait_state("ok")
        self.assertFalse(overlay.is_displayed())
        self.assertEqual(self.range(), [38000, 48000])
        self.assertEqual(self.console_errors(), [])

    def test_an_edit_reaches_the_open_page_which_keeps_its_range(self):
        origin = f"http://127.0.0.1:{self.port}/"
        self.open(origin)
        self.assertEqual(self.console_errors(), [])
        self.set_range(40000, 45000)
        version = self.js("return genera_viewer.version()")
        train = os.path.join(self.folder, TRAIN)
        with open(train, "rb") as f:
            text = f.read()
        with open(train, "wb") as f:
            f.write(text.replace(b"San Vito", b"San Vitale").replace(
                b"rallentamento,   42850,    60", b"rallentamento,   42850,    40"))
        edited = time.monotonic()
        WebDriverWait(self.driver, 5, poll_frequency=0.02).until(
            lambda d: self.js("return genera_viewer.version()") == version + 1)
        print(f"\n  live reload: the page showed the edit {time.monotonic() - edited:.2f} s after it was saved",
              file=sys.stderr)
        self.assertEqual(self.range(), [40000, 45000])
        names = [li.text for li in self.driver.find_elements(By.CSS_SELECTOR, "#station-list li")]
        self.assertTrue(any(n.endswith("San Vitale") for n in names), names)
        text, _ = self.hover_lane("slowdowns", 42950)
        self.assertIn("Slowdown to 40 km/h", text)
        self.shot("viewer-served-after-edit.png")

        # Only the page and its own data were asked for.
        asked = requests_made(self.driver, origin)
        self.assertIn(origin + "version", asked)
        self.assertIn(origin + "data", asked)
        for url in asked:
            self.assertIn(url, [origin, origin + "version", origin + "data"])
        # Nothing else is served: no source by its path, no listing.
        for path in ["/" + TRAIN, "/../" + TRAIN, "/index.html", "/data/x", "/?list"]:
            connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
            connection.request("GET", path)
            status = connection.getresponse().status
            connection.close()
            self.assertEqual(status, 200 if path == "/?list" else 404, path)
        self.driver.get(origin + TRAIN)
        self.assertIn("not found", self.driver.find_element(By.TAG_NAME, "body").text)

        # Ctrl-C ends the server promptly even with the page still polling it.
        self.open(origin)
        self.server.send_signal(signal.SIGINT)
        self.assertEqual(self.server.wait(timeout=5), 0)
        WebDriverWait(self.driver, 5).until(
            lambda d: "does not answer" in d.find_element(By.ID, "live").text)


def main():
    global BUILD, ARTIFACTS
    BUILD = os.path.abspath(sys.argv.pop(1))
    ARTIFACTS = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 and not sys.argv[1].startswith("-") \
        else os.path.join(BUILD, "..", "browser-artifacts")
    result = unittest.main(exit=False).result
    print(f"screenshots in {os.path.normpath(ARTIFACTS)}")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
