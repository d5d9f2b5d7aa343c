#!/usr/bin/python3
"""Times the CD reader in headless Chromium on a large generated export.

  reader_timing.py [EXPORT_DIR [WORDS...]]

WORDS are the searches to time (by default words of make_sample.py's text; for
an export of bench_readerdata, for example کتاب and متن).

Without EXPORT_DIR, tests/reader/make_sample.py --big 30 257 writes one to
/tmp/zorvel-big first. Prints, each measured inside the page with
performance.now() and around it by the wall clock:
  - shelves shown after opening the page            (goal 1 s)
  - the memory 3 s after the shelves showed
  - a 257-page book opened from the shelves         (goal 300 ms)
  - a page turn                                     (goal 100 ms)
  - first results of the first search (cold) and of warm ones (goal 300 ms)
  - the memory after searching every book
"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# Clicks, then resolves after the first frame in which ready() holds.
TIMED_CLICK_JS = '''
const [selector, readyCode, done] = [arguments[0], arguments[1], arguments[arguments.length - 1]];
const ready = new Function(readyCode);
const t0 = performance.now();
document.querySelector(selector).click();
const poll = () => {
  if (ready()) requestAnimationFrame(() => done(performance.now() - t0));
  else setTimeout(poll, 1);
};
poll();
'''

# Searches, then resolves with [first results painted, search finished] in ms.
TIMED_SEARCH_JS = '''
const [words, done] = [arguments[0], arguments[arguments.length - 1]];
const list = document.getElementById('search-results');
const status = document.getElementById('search-status');
// What an earlier search left must not count as this one's.
list.replaceChildren();
status.textContent = 'در حال';
const t0 = performance.now();
let first = null;
document.getElementById('search-input').value = words;
document.getElementById('search-form').requestSubmit();
const poll = () => {
  if (first === null && list.children.length) requestAnimationFrame(() => { first = performance.now() - t0; });
  const finished = !document.getElementById('search-view').hidden && !status.textContent.includes('در حال');
  if (finished && first !== null) done([first, performance.now() - t0, list.children.length, status.textContent]);
  else if (finished && list.children.length === 0) done([null, performance.now() - t0, 0, status.textContent]);
  else setTimeout(poll, 1);
};
poll();
'''


def browser():
    profile = tempfile.mkdtemp(prefix='zorvel-timing-')
    options = Options()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                 '--no-first-run', '--disable-background-networking', '--disable-component-update',
                 '--disable-sync', '--user-data-dir=' + profile, '--window-size=1280,800',
                 '--enable-precise-memory-info', '--js-flags=--expose-gc'):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.set_script_timeout(120)
    return driver, profile


def report(what, page_ms, wall_s, goal_ms):
    verdict = 'within' if page_ms is not None and page_ms <= goal_ms else 'OVER'
    page = '%.0f ms' % page_ms if page_ms is not None else 'n/a'
    print('%-52s page %8s   wall %6.0f ms   goal %d ms: %s' % (what, page, wall_s * 1000, goal_ms, verdict))


def wait_for(driver, code, timeout=120):
    end = time.time() + timeout
    while not driver.execute_script(code):
        if time.time() > end:
            raise TimeoutError(code)
        time.sleep(0.02)


def open_fresh(driver, url):
    driver.get(url)
    driver.execute_script('localStorage.clear()')
    start = time.time()
    driver.get(url + '?fresh=' + str(time.time()))
    wall = time.time() - start
    wait_for(driver, 'return performance.getEntriesByName("zorvel-shelves").length > 0')
    return driver.execute_script('return performance.getEntriesByName("zorvel-shelves")[0].startTime'), wall


def heap_mb(driver):
    driver.execute_script('if (window.gc) window.gc();')
    heap = driver.execute_script('return performance.memory ? performance.memory.usedJSHeapSize : null')
    return heap / 1e6 if heap else None


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else None
    searches = sys.argv[2:] or ['کتاب باران', 'انار', '1403']
    if folder is None:
        folder = '/tmp/zorvel-big'
        subprocess.run([sys.executable, os.path.join(ROOT, 'tests', 'reader', 'make_sample.py'),
                        '--big', '30', '257', folder], check=True, stdout=subprocess.DEVNULL)
    url = pathlib.Path(folder, 'Data', 'reader', 'index.html').resolve().as_uri()
    data = os.path.join(folder, 'Data', 'reader', 'data')
    books = len([n for n in os.listdir(data) if n.endswith('.js') and n != 'library.js' and '.search.' not in n])
    indexed = len([n for n in os.listdir(data) if n.endswith('.search.js')])
    print('%d books, %d with a search index written by the export' % (books, indexed))
    # Other work on the machine slows the browser as much as anything here.
    print('load average before: %.2f %.2f %.2f on %d cores' % (os.getloadavg() + (os.cpu_count(),)))
    driver, profile = browser()
    try:
        shelves_ms, wall = open_fresh(driver, url)
        report('shelves shown after opening the page', shelves_ms, wall, 1000)
        # Nothing is loaded for search while the reader only looks at the shelves.
        time.sleep(3)
        mb = heap_mb(driver)
        if mb is not None:
            print('%-52s %.1f MB' % ('JS heap 3 s after the shelves showed', mb))

        slot = driver.execute_script('return window.ZORVEL_LIBRARY.books.at(-1).slot')
        pages = driver.execute_script('return window.ZORVEL_LIBRARY.books.at(-1).pageCount')
        start = time.time()
        ms = driver.execute_async_script(TIMED_CLICK_JS, '.shelf-book[data-slot="%s"]' % slot,
                                         'return document.querySelector("#page-holder .page-title") !== null'
                                         ' && !document.getElementById("book-view").hidden')
        report('a %d-page book opened from the shelves' % pages, ms, time.time() - start, 300)
        start = time.time()
        ms = driver.execute_async_script(TIMED_CLICK_JS, '#page-next',
                                         'return bookView.index === 1 && document.querySelector("#page-holder .page-title") !== null')
        report('next page by the button', ms, time.time() - start, 100)

        # Cold: a fresh page, nothing loaded for search yet.
        open_fresh(driver, url)
        words = searches[0]
        start = time.time()
        first, total, count, status = driver.execute_async_script(TIMED_SEARCH_JS, words)
        report('first search "%s" (cold), first results' % words, first, time.time() - start, 300)
        print('%-52s %.0f ms, %d groups: %s' % ('    ... whole search', total, count, status))
        for words in searches:
            start = time.time()
            first, total, count, status = driver.execute_async_script(TIMED_SEARCH_JS, words)
            report('search "%s" (warm), first results' % words, first, time.time() - start, 300)
            print('%-52s %.0f ms, %d groups: %s' % ('    ... whole search', total, count, status))
        mb = heap_mb(driver)
        if mb is not None:
            print('%-52s %.1f MB' % ('JS heap after searching every book', mb))
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == '__main__':
    main()
