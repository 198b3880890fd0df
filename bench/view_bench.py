#!/usr/bin/python3
"""The route viewer's figures, for the built-in scenario and the longest line
(1,000,000 m, bench/long_scenario.h): the page's size, the time `view` takes
to write it, the time to first draw in headless Chromium (from the start of
the navigation to the end of the first complete draw, read from the page's
own performance mark), and with --serve the delay from saving a source to
the open page showing the new version. A program that prints its figures,
never a test.

Usage: view_bench.py BUILD_DIR [RUNS]   (BUILD_DIR holds genera_scenario and
genera_long_sources; /usr/bin/python3, for Debian's Selenium)"""

import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait


def browser():
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + tempfile.mkdtemp(prefix="genera-bench-"), "--window-size=1500,1200"]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def first_draw_ms(driver, url):
    driver.get("about:blank")
    driver.get(url)
    WebDriverWait(driver, 60).until(lambda d: d.execute_script(
        "return performance.getEntriesByName('genera-first-draw').length > 0"))
    return driver.execute_script("return performance.getEntriesByName('genera-first-draw')[0].startTime")


def live_reload_s(driver, exe, folder, line, train, station, edits):
    """Seconds from saving the train source, a station renamed, to the open
    page listing the new name."""
    server = subprocess.Popen([exe, "view", line, train, "--serve", "--port", "0"], cwd=folder,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        port = re.search(r"127\.0\.0\.1:(\d+)/", server.stdout.readline()).group(1)
        first_draw_ms(driver, f"http://127.0.0.1:{port}/")
        path = os.path.join(folder, train)
        with open(path, "rb") as f:
            text = f.read()
        delays = []
        for k in range(edits):
            time.sleep(0.37)  # not in step with either side's polling
            name = f"{station} {k + 1}"
            with open(path, "wb") as f:
                f.write(text.replace(station.encode(), name.encode()))
            saved = time.monotonic()
            WebDriverWait(driver, 30, poll_frequency=0.005).until(
                lambda d: name in d.execute_script("return genera_viewer.stations()"))
            delays.append(time.monotonic() - saved)
        return delays
    finally:
        server.terminate()
        server.wait()


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    exe = os.path.join(build, "genera_scenario")
    driver = browser()
    rows = []
    try:
        for case in ("builtin", "longest"):
            with tempfile.TemporaryDirectory() as folder:
                if case == "builtin":
                    subprocess.run([exe, "sources", "--out", folder], check=True, capture_output=True)
                    line, train, page = ("LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA_R47316-.txt",
                                         "LIVRA_MONTALBA_R47316.html")
                    station = "San Vito"
                else:
                    subprocess.run([os.path.join(build, "genera_long_sources"), folder], check=True)
                    line, train, page = "LUNGA_linea.txt", "LUNGA_L1-.txt", "LUNGA_L1.html"
                    station = "Fermata 37"
                writes = []
                for _ in range(runs):
                    start = time.monotonic()
                    subprocess.run([exe, "view", line, train], cwd=folder, check=True, capture_output=True)
                    writes.append(time.monotonic() - start)
                size = os.path.getsize(os.path.join(folder, page))
                url = "file://" + os.path.join(folder, page)
                first_draw_ms(driver, url)  # the browser's own first-time work is not the page's
                draws = [first_draw_ms(driver, url) for _ in range(runs)]
                delays = live_reload_s(driver, exe, folder, line, train, station, runs)
                rows.append((case, size, statistics.median(writes) * 1000, statistics.median(draws),
                             max(draws), statistics.median(delays), max(delays)))
    finally:
        driver.quit()
    print(f"{'case':<8} {'page':>9} {'view writes it':>15} {'first draw (median, max)':>26} "
          f"{'live reload (median, max)':>27}")
    for case, size, write, draw, draw_max, delay, delay_max in rows:
        print(f"{case:<8} {size / 1e6:>6.2f} MB {write:>12.0f} ms {draw:>13.0f} ms {draw_max:>6.0f} ms "
              f"{delay:>14.2f} s {delay_max:>6.2f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
