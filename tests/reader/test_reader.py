#!/usr/bin/python3
"""The CD reader in a real browser.

  test_reader.py FIXTURE_DIR

FIXTURE_DIR holds expect.json and the export folders it names. Each export's
Data/reader/index.html is opened from file:// in headless Chromium and used
as a reader would: shelves, templates, music switch, a book's index, its
pages, moving with buttons and keys, search, printing and the way back.
Any SEVERE entry in the browser's log fails the test that caused it.
Screenshots go to $ZORVEL_SCREENSHOTS when it is set.
"""

import base64
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

FIXTURE = None
VARIANTS = None
EXPECT = None
DRIVER = None
PROFILE = None
WIDE = (1280, 800)
NARROW = (400, 760)

ZWNJ = '\u200c'


def fold(text):
    """Search folding as a reader expects it, written here on its own so the
    reader's marks are checked against an independent account."""
    same = {'ي': 'ی', 'ى': 'ی', 'ك': 'ک', 'ة': 'ه', 'أ': 'ا', 'إ': 'ا', 'آ': 'ا'}
    for d in range(10):
        same[chr(0x06f0 + d)] = str(d)
        same[chr(0x0660 + d)] = str(d)
    out = []
    for ch in text:
        c = ord(ch)
        if ch in '\u200c\u200d\u200e\u200f\u0640' or 0x064b <= c <= 0x065f or c == 0x0670:
            continue
        out.append(same.get(ch, ch).lower())
    return ''.join(out)


def persian_digits(n):
    return ''.join(chr(0x06f0 + int(d)) for d in str(n))


def shown(text):
    """A text of the CD as the reader shows it: Persian ی and ک, Persian
    digits, except digits that are part of a Latin word."""
    text = text.replace('ي', 'ی').replace('ك', 'ک')
    text = ''.join(chr(ord(c) - 0x0660 + 0x06f0) if '\u0660' <= c <= '\u0669' else c for c in text)
    return re.sub(r'(?<![A-Za-z])[0-9]+(?![A-Za-z])', lambda m: persian_digits(m.group(0)), text)


def shown_toc(toc):
    return [dict(n, label=shown(n['label']), **({'children': shown_toc(n['children'])} if 'children' in n else {}))
            for n in toc]


def luminance(css):
    """Relative luminance of a CSS rgb()/rgba() colour."""
    parts = [float(v) for v in re.findall(r'[\d.]+', css)[:3]]
    lin = [c / 255 / 12.92 if c / 255 <= 0.03928 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in parts]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def start_browser():
    global DRIVER, PROFILE
    PROFILE = tempfile.mkdtemp(prefix='zorvel-reader-test-')
    options = Options()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                 '--no-first-run', '--disable-background-networking', '--disable-component-update',
                 '--disable-sync', '--user-data-dir=' + PROFILE,
                 '--window-size=%d,%d' % WIDE, '--lang=fa'):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    DRIVER = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    DRIVER.set_window_size(*WIDE)


def stop_browser():
    if DRIVER:
        DRIVER.quit()
    if PROFILE:
        shutil.rmtree(PROFILE, ignore_errors=True)


def setUpModule():
    global VARIANTS
    VARIANTS = tempfile.mkdtemp(prefix='zorvel-reader-variants-')
    start_browser()


def tearDownModule():
    stop_browser()
    shutil.rmtree(VARIANTS, ignore_errors=True)


def pg(title, *texts, **media):
    """A page of a book made by a test."""
    page = {'title': title, 'identity': False, 'blocks': [{'text': t} for t in texts],
            'picture': None, 'sound': None, 'film': None, 'printable': None}
    page.update(media)
    return page


def variant(name, books=(), template=1, print_on=True, music=False, keep=True):
    """A copy of the fixture's first export, its settings changed and the
    given books added (keep=False: instead of the fixture's own). A book
    may name how its file is broken: 'missing', 'cut' or 'garbage'."""
    out = os.path.join(VARIANTS, name)
    shutil.copytree(os.path.join(FIXTURE, EXPECT['exports'][0]['folder']), out)
    data = os.path.join(out, 'Data', 'reader', 'data')
    lib_path = os.path.join(data, 'library.js')
    with open(lib_path, encoding='utf-8') as f:
        text = f.read()
    library = json.loads(text[text.index('=') + 1:].strip().rstrip(';'))
    library['settings'].update(template=template, print=print_on, music=music)
    if not keep:
        library['books'] = []
    for b in books:
        pages = b.get('pages', [])
        library['books'].append({'slot': b['slot'], 'row': b['row'], 'place': b['place'], 'name': b['name'],
                                 'cover': b.get('cover'), 'pageCount': len(pages),
                                 'script': 'data/%s.js' % b['slot']})
        book = {'name': b['name'], 'toc': [{'label': p['title'], 'page': i} for i, p in enumerate(pages)],
                'pages': pages}
        script = ('(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[%s] = %s;\n'
                  % (json.dumps(b['slot']), json.dumps(book, ensure_ascii=False)))
        broken = b.get('broken')
        if broken == 'missing':
            continue
        if broken == 'cut':
            script = script[:len(script) // 2]
        if broken == 'garbage':
            script = '(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[%s] = 5;\n' % json.dumps(b['slot'])
        with open(os.path.join(data, b['slot'] + '.js'), 'w', encoding='utf-8') as f:
            f.write(script)
    for row in range(3):
        places = [b['place'] for b in library['books'] if b['row'] == row]
        library['settings']['rows'][row] = max([library['settings']['rows'][row]] + places)
    with open(lib_path, 'w', encoding='utf-8') as f:
        f.write('window.ZORVEL_LIBRARY = ' + json.dumps(library, ensure_ascii=False) + ';\n')
    return out


def screenshot(name):
    folder = os.environ.get('ZORVEL_SCREENSHOTS')
    if folder:
        os.makedirs(folder, exist_ok=True)
        DRIVER.save_screenshot(os.path.join(folder, name + '.png'))


def leaf_labels(toc):
    for n in toc:
        if 'children' in n:
            yield from leaf_labels(n['children'])
        else:
            yield n['label']


# The index tree as the page shows it: labels, and children for main titles.
TREE_SHAPE_JS = '''
const shape = (list) => Array.from(list.children)
  .filter((li) => li.getAttribute('role') === 'treeitem')
  .map((li) => {
    const node = {label: li.querySelector('.tree-label').textContent};
    if (li.classList.contains('tree-title')) {
      const group = li.querySelector(':scope > [role="group"]');
      node.children = group ? shape(group) : [];
    }
    return node;
  });
const tree = document.querySelector('#index-tree-holder [role="tree"]');
return tree ? shape(tree) : null;
'''


class ReaderTestCase(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        DRIVER.set_window_size(*WIDE)
        DRIVER.get_log('browser')

    # Browser errors a test causes on purpose (a book file it removed).
    allowed_errors = ()

    def tearDown(self):
        severe = [e for e in DRIVER.get_log('browser') if e.get('level') == 'SEVERE'
                  and not any(a in e.get('message', '') for a in self.allowed_errors)]
        DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': '', 'features': []})
        DRIVER.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': False})
        DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': ''})
        DRIVER.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
        self.assertEqual(severe, [], 'the browser logged errors')

    # Opening and waiting.

    def wait(self, condition, message, timeout=10):
        try:
            return WebDriverWait(DRIVER, timeout, poll_frequency=0.05).until(lambda d: condition())
        except TimeoutException:
            self.fail('timed out: ' + message)

    def js(self, script, *args):
        return DRIVER.execute_script(script, *args)

    def open_export(self, export, fresh=True):
        """The export's reader on its shelves; fresh forgets what it remembered."""
        page = pathlib.Path(FIXTURE, export['folder'], 'Data', 'reader', 'index.html')
        self.assertTrue(page.is_file(), 'no reader page in ' + export['folder'])
        url = page.as_uri()
        DRIVER.get(url)
        if fresh:
            self.js('localStorage.clear()')
            DRIVER.refresh()
        self.wait(lambda: self.js('return !document.body.classList.contains("loading")'), 'reader starting')
        self.wait(lambda: self.visible('#shelves-view'), 'shelves shown')
        return url

    def open_folder(self, folder, fresh=True, hash=''):
        """The reader of an export folder made by the test itself."""
        url = pathlib.Path(folder, 'Data', 'reader', 'index.html').as_uri()
        DRIVER.get(url)
        if fresh:
            self.js('localStorage.clear()')
        DRIVER.get(url + (hash or '#'))
        DRIVER.refresh()
        self.wait(lambda: self.js('return !document.body.classList.contains("loading")'), 'reader starting')
        return url

    def search_for(self, query):
        box = DRIVER.find_element(By.ID, 'search-input')
        box.clear()
        box.send_keys(query, Keys.ENTER)
        heading = 'جستجوی «%s»' % query.strip() if query.strip() else 'جستجو'
        self.wait(lambda: self.visible('#search-view')
                  and DRIVER.find_element(By.ID, 'search-heading').text == heading, 'search view')
        self.wait(lambda: 'در حال' not in DRIVER.find_element(By.ID, 'search-status').text, 'search done', 30)

    def results(self):
        """[(slot, page)] of the results shown, in their order."""
        return [tuple(r) for r in self.js('return Array.from(document.querySelectorAll("#search-results .result-link"),'
                                          ' (a) => [a.dataset.slot, Number(a.dataset.page)])')]

    def visible(self, selector):
        return self.js('const e = document.querySelector(arguments[0]);'
                       'return !!e && e.getClientRects().length > 0 && getComputedStyle(e).visibility !== "hidden";',
                       selector)

    def library(self):
        return self.js('return window.ZORVEL_LIBRARY')

    def book_expect(self, slot):
        return next(b for b in EXPECT['books'] if b['slot'] == slot)

    # The book view.

    def open_book(self, slot):
        DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="%s"]' % slot).click()
        # This book's, not the index of the book shown before it.
        self.wait(lambda: self.visible('#book-view') and self.current_label() is not None
                  and self.js('return !!bookView.book && bookView.book.slot === arguments[0]', slot), 'book ' + slot + ' open')

    def current_label(self):
        return self.js('const e = document.querySelector("#index-tree-holder [aria-selected=true]");'
                       'return e ? e.getAttribute("aria-label") : null;')

    def position(self):
        return DRIVER.find_element(By.ID, 'book-position').text

    def show_index(self):
        if self.visible('#index-toggle') and not self.visible('#index-tree-holder [role="tree"]'):
            DRIVER.find_element(By.ID, 'index-toggle').click()
        self.wait(lambda: self.visible('#index-tree-holder [role="tree"]'), 'index shown')
        # A drawer slides in; its entries take clicks once it is in place.
        self.wait(lambda: self.js('return getComputedStyle(document.getElementById("index-panel")).transform') == 'none',
                  'index in place')

    def click_entry(self, label):
        """Clicks an index entry as a reader would, unfolding the titles above it."""
        self.show_index()
        item = self.js('return Array.from(document.querySelectorAll("#index-tree-holder [role=treeitem]"))'
                       '.find((e) => e.getAttribute("aria-label") === arguments[0]) || null', label)
        self.assertIsNotNone(item, 'no index entry ' + label)
        folded = self.js('const out = []; for (let p = arguments[0].parentElement.closest("[role=treeitem]"); p;'
                         ' p = p.parentElement.closest("[role=treeitem]")) out.unshift(p); return out;', item)
        for title in folded:
            if title.get_attribute('aria-expanded') == 'false':
                title.find_element(By.CSS_SELECTOR, ':scope > .tree-row').click()
        item.find_element(By.CSS_SELECTOR, ':scope > .tree-row').click()
        self.wait(lambda: self.current_label() == label, 'page ' + label + ' shown')

    def page_texts(self):
        return self.js('return Array.from(document.querySelectorAll("#page-holder .page-text"), (p) => p.textContent)')

    def active_label(self):
        """The index entry that has the focus, by the label its row shows."""
        return self.js('const e = document.activeElement.closest("[role=treeitem]");'
                       'return e ? e.querySelector(":scope > .tree-row .tree-label").textContent : null;')

    def page_through(self, key, label, presses=40):
        """Presses key until the page labelled label shows; a page turns only
        after its far end has been in view."""
        down = key != Keys.PAGE_UP
        for _ in range(presses):
            if self.current_label() == label:
                return
            before = self.current_label()
            at_end = self.js('const r = document.scrollingElement;'
                             'return arguments[0] ? r.scrollTop >= r.scrollHeight - innerHeight - 2 : r.scrollTop <= 2;', down)
            self.press(key)
            time.sleep(0.05)
            if self.current_label() != before:
                self.assertTrue(at_end, 'the page turned before its end was shown')
        self.wait(lambda: self.current_label() == label, 'paged to ' + label)

    def press(self, key):
        DRIVER.switch_to.active_element.send_keys(key)

    def wait_picture(self, selector, what):
        self.wait(lambda: self.js('const i = document.querySelector(arguments[0]);'
                                  'return !!i && i.complete && i.naturalWidth > 0;', selector), what + ' loaded')


class ShelvesTest(ReaderTestCase):

    def test_every_book_on_its_shelf_with_name_and_picture(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                self.open_export(export)
                for book in EXPECT['books']:
                    button = DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="%s"]' % book['slot'])
                    self.assertEqual(button.find_element(By.CSS_SELECTOR, '.shelf-book-name').text, book['name'])
                    self.wait_picture('.shelf-book[data-slot="%s"] img' % book['slot'], 'cover of ' + book['slot'])
                library = self.library()
                for entry in library['books']:
                    pictures = self.js('return document.querySelectorAll(".shelf-book[data-slot=\'" + arguments[0]'
                                       ' + "\'] img").length', entry['slot'])
                    drawn = self.js('return document.querySelectorAll(".shelf-book[data-slot=\'" + arguments[0]'
                                    ' + "\'] .cover-placeholder").length', entry['slot'])
                    self.assertEqual((pictures, drawn), (1, 0) if entry['cover'] else (0, 1), entry['slot'])
                # Every place of each shelf is there, the ones without a book empty.
                for row in range(3):
                    on_row = [b for b in library['books'] if b['row'] == row]
                    places = max([library['settings']['rows'][row]] + [b['place'] for b in on_row])
                    shown = self.js('return [document.querySelectorAll("#bookcase .shelf")[arguments[0]]'
                                    '.querySelectorAll(".place").length,'
                                    ' document.querySelectorAll("#bookcase .shelf")[arguments[0]]'
                                    '.querySelectorAll(".place-empty").length]', row)
                    self.assertEqual(shown, [places, places - len(on_row)], 'shelf %d' % row)
                broken = self.js('return Array.from(document.images).filter((i) =>'
                                 ' i.getClientRects().length && i.complete && i.naturalWidth === 0).length')
                self.assertEqual(broken, 0, 'broken pictures shown')
                screenshot('shelves-template-%d' % export['template'])

    def test_start_page_leads_to_the_reader(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                start = pathlib.Path(FIXTURE, export['folder'], 'index.html')
                self.assertTrue(start.is_file(), 'no start page at the root')
                DRIVER.get(start.as_uri())
                self.wait(lambda: DRIVER.current_url.split('#')[0].endswith('/Data/reader/index.html'), 'moved on')
                self.wait(lambda: self.visible('#shelves-view'), 'shelves shown')
                # It moves on at once, so its visible link is read from the file.
                text = start.read_text(encoding='utf-8')
                self.assertIn('<a href="Data/reader/index.html">', text)
                self.assertRegex(text, r'<html lang="fa" dir="rtl">')

    def test_template_class_and_layout(self):
        looks = {}
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                self.open_export(export)
                classes = self.js('return Array.from(document.body.classList)')
                self.assertIn('template-%d' % export['template'], classes)
                self.assertNotIn('template-%d' % (3 - export['template']), classes)
                size = self.js('const r = document.getElementById("bookcase").getBoundingClientRect();'
                               'return [r.width, r.height]')
                self.assertGreater(size[0], 200)
                self.assertGreater(size[1], 100)
                looks[export['template']] = self.js(
                    'const s = getComputedStyle(document.querySelector(".shelf-places"));'
                    'const b = getComputedStyle(document.querySelector(".shelf"));'
                    'return [s.display, b.backgroundColor, getComputedStyle(document.body).backgroundColor]')
                self.assertEqual(self.js('return document.documentElement.getAttribute("dir")'), 'rtl')
                self.assertEqual(self.js('return document.documentElement.lang'), 'fa')
        if len(looks) == 2:
            self.assertNotEqual(looks[1], looks[2], 'the two templates look the same')

    def test_narrow_window_shows_everything(self):
        export = EXPECT['exports'][0]
        # A window cannot be made this narrow; the page can be shown so.
        DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': NARROW[0], 'height': NARROW[1], 'deviceScaleFactor': 1, 'mobile': False})
        self.open_export(export)
        self.assertEqual(self.js('return window.innerWidth'), NARROW[0])
        overflow = 'return document.documentElement.scrollWidth - document.documentElement.clientWidth'
        self.assertLessEqual(self.js(overflow), 0, 'shelves wider than the window')
        screenshot('shelves-narrow')
        book = EXPECT['books'][0]
        self.open_book(book['slot'])
        self.assertLessEqual(self.js(overflow), 0, 'book wider than the window')
        # The index is a drawer here.
        self.assertFalse(self.visible('#index-tree-holder [role="tree"]'))
        self.click_entry(book['order'][-1])
        self.wait(lambda: not self.visible('#index-tree-holder [role="tree"]'), 'drawer closed after a pick')
        screenshot('page-narrow')


class MusicTest(ReaderTestCase):

    def test_switch_iff_music_and_remembered(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                url = self.open_export(export)
                library = self.library()
                has_switch = self.js('return !!document.getElementById("music-toggle")')
                self.assertEqual(has_switch, export['music'])
                source = 'const a = document.getElementById("music"); return a.dataset.track || null;'
                # Music waits for the reader's first action.
                self.assertIsNone(self.js(source))
                DRIVER.find_element(By.CSS_SELECTOR, '.shelf-title').click()
                if not export['music']:
                    self.open_book(EXPECT['books'][0]['slot'])
                    self.assertIsNone(self.js(source))
                    continue
                toggle = DRIVER.find_element(By.ID, 'music-toggle')
                self.assertEqual(toggle.get_attribute('aria-pressed'), 'true')
                self.assertTrue(toggle.get_attribute('aria-label'))
                self.wait(lambda: self.js(source) == library['music']['shelves'], 'shelves music chosen')
                self.open_book(EXPECT['books'][0]['slot'])
                self.wait(lambda: self.js(source) == library['music']['book'], 'book music chosen')
                toggle = DRIVER.find_element(By.ID, 'music-toggle')
                toggle.click()
                self.assertEqual(toggle.get_attribute('aria-pressed'), 'false')
                self.assertTrue(self.js('return document.getElementById("music").paused'))
                DRIVER.get(url)
                self.wait(lambda: self.visible('#shelves-view'), 'shelves again')
                self.assertEqual(DRIVER.find_element(By.ID, 'music-toggle').get_attribute('aria-pressed'), 'false')


class BookTest(ReaderTestCase):

    def setUp(self):
        super().setUp()
        self.export = EXPECT['exports'][0]
        self.open_export(self.export)

    def test_index_tree_follows_the_book(self):
        for book in EXPECT['books']:
            with self.subTest(book=book['slot']):
                self.open_export(self.export, fresh=False)
                self.open_book(book['slot'])
                self.show_index()
                self.assertEqual(self.js(TREE_SHAPE_JS), book['toc'])
                self.assertEqual(DRIVER.find_element(By.ID, 'book-name').text, book['name'])
                # The identity page comes first.
                self.assertEqual(self.current_label(), book['order'][0])
                self.assertEqual(self.position(), 'صفحه %s از %s' % (persian_digits(1), persian_digits(len(book['order']))))
                roles = self.js('const t = document.querySelector("#index-tree-holder [role=tree]");'
                                'return [t.querySelectorAll("[role=treeitem]").length,'
                                ' t.querySelectorAll("[role=treeitem][aria-expanded]").length,'
                                ' t.querySelectorAll("[role=group] > [role=treeitem]").length]')
                self.assertEqual(roles[0], self.count_nodes(book['toc']))
                self.assertEqual(roles[1], self.count_titles_with_children(book['toc']))
                self.assertEqual(roles[2], self.count_nodes(book['toc']) - len(book['toc']))
                if book is EXPECT['books'][0]:
                    screenshot('book-index')

    def count_nodes(self, toc):
        return sum(1 + self.count_nodes(n.get('children', [])) for n in toc)

    def count_titles_with_children(self, toc):
        return sum((1 if n.get('children') else 0) + self.count_titles_with_children(n.get('children', []))
                   for n in toc)

    def test_paragraph_keeps_its_zwnj(self):
        z = EXPECT['zwnj']
        self.assertIn(ZWNJ, z['text'])
        self.open_book(z['slot'])
        self.click_entry(z['label'])
        self.assertIn(shown(z['text']), self.page_texts())

    def test_inline_picture_in_its_place(self):
        entry = EXPECT['inlineImage']
        self.open_book(entry['slot'])
        self.click_entry(entry['label'])
        self.wait_picture('#page-holder .page-body .inline-picture img', 'inline picture')
        # In place: between the paragraphs, not after them all.
        order = self.js('return Array.from(document.querySelector("#page-holder .page-body").children,'
                        ' (e) => e.classList.contains("inline-picture") ? "image" : "text")')
        self.assertIn('image', order)
        broken = self.js('return Array.from(document.querySelectorAll("#page-holder img")).filter((i) =>'
                         ' i.getClientRects().length && i.complete && i.naturalWidth === 0).length')
        self.assertEqual(broken, 0)
        DRIVER.execute_script('document.querySelector("#page-holder .inline-picture").scrollIntoView({block: "center"})')
        screenshot('page-pictures')

    def test_next_and_previous_follow_the_reading_order(self):
        book = EXPECT['books'][0]
        order = book['order']
        self.open_book(book['slot'])
        count = len(order)
        prev_button = DRIVER.find_element(By.ID, 'page-prev')
        next_button = DRIVER.find_element(By.ID, 'page-next')
        self.assertFalse(prev_button.is_enabled())
        for i in range(1, count):
            next_button.click()
            self.wait(lambda: self.current_label() == order[i], 'next to ' + order[i])
            self.assertEqual(self.position(), 'صفحه %s از %s' % (persian_digits(i + 1), persian_digits(count)))
        self.assertFalse(next_button.is_enabled())
        if count > 1:
            # The keyboard's place is not lost on a button that went dead.
            self.assertEqual(DRIVER.switch_to.active_element.get_attribute('id'), 'page-prev')
        for i in range(count - 2, -1, -1):
            prev_button.click()
            self.wait(lambda: self.current_label() == order[i], 'previous to ' + order[i])
        # Keys: the book reads right to left, so ← is the next page.
        DRIVER.find_element(By.ID, 'book-name').click()
        steps = [(Keys.ARROW_LEFT, 1), (Keys.ARROW_LEFT, 2), (Keys.ARROW_RIGHT, 1),
                 (Keys.PAGE_DOWN, 2), (Keys.PAGE_UP, 1), (Keys.ARROW_RIGHT, 0), (Keys.ARROW_RIGHT, 0)]
        for key, at in steps:
            at = min(at, count - 1)
            if key in (Keys.PAGE_DOWN, Keys.PAGE_UP):
                # These read the page through first: one press a window.
                self.page_through(key, order[at])
            else:
                self.press(key)
            self.wait(lambda: self.current_label() == order[at], 'key to ' + order[at])
        # Typing in the search box leaves the page where it is.
        box = DRIVER.find_element(By.ID, 'search-input')
        box.send_keys('ab', Keys.ARROW_LEFT, Keys.PAGE_DOWN)
        time.sleep(0.2)
        self.assertEqual(self.current_label(), order[0])

    def test_index_keys(self):
        book = next((b for b in EXPECT['books'] if any(n.get('children') for n in b['toc'])), None)
        if book is None:
            self.skipTest('no book with a main title')
        self.open_book(book['slot'])
        self.show_index()
        at = next(i for i, n in enumerate(book['toc']) if n.get('children'))
        title = DRIVER.find_elements(By.CSS_SELECTOR, '#index-tree-holder [role=tree] > [role=treeitem]')[at]
        title.find_element(By.CSS_SELECTOR, ':scope > .tree-row').click()   # folds it
        self.assertEqual(title.get_attribute('aria-expanded'), 'false')
        self.press(Keys.ARROW_LEFT)                                          # unfolds
        self.assertEqual(title.get_attribute('aria-expanded'), 'true')
        self.press(Keys.ARROW_LEFT)                                          # into its first entry
        first = book['toc'][at]['children'][0]
        self.assertEqual(self.active_label(), first['label'])
        if first.get('children'):
            self.press(Keys.ARROW_RIGHT)                                     # an open title folds first
            self.assertEqual(DRIVER.switch_to.active_element.get_attribute('aria-expanded'), 'false')
            self.assertEqual(self.active_label(), first['label'])
        self.press(Keys.ARROW_RIGHT)                                         # back out to the title
        self.assertEqual(self.active_label(), book['toc'][at]['label'])
        self.press(Keys.ARROW_RIGHT)                                         # folds it
        self.assertEqual(title.get_attribute('aria-expanded'), 'false')
        if at > 0 and 'children' not in book['toc'][at - 1]:
            self.press(Keys.ARROW_UP)
            self.assertEqual(self.active_label(), book['toc'][at - 1]['label'])
        # Enter on a leaf opens its page.
        self.press(Keys.HOME)
        self.press(Keys.ENTER)
        self.wait(lambda: self.current_label() == book['order'][0], 'first page by Enter')

    def test_back_to_shelves_and_continue_reading(self):
        book = EXPECT['books'][0]
        self.open_book(book['slot'])
        self.click_entry(book['order'][-1])
        DRIVER.find_element(By.ID, 'back-to-shelves').click()
        self.wait(lambda: self.visible('#shelves-view') and not self.visible('#book-view'), 'shelves again')
        resume = DRIVER.find_element(By.ID, 'resume-button')
        self.assertTrue(resume.text.startswith('ادامه مطالعه'))
        self.assertIn(book['name'], resume.text)
        resume.click()
        self.wait(lambda: self.visible('#book-view') and self.current_label() == book['order'][-1], 'continued')
        # The browser's own back button leaves the book too.
        DRIVER.back()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves after back')

    def test_keyboard_alone(self):
        book = EXPECT['books'][0]
        active = lambda: DRIVER.switch_to.active_element
        for _ in range(30):
            DRIVER.switch_to.active_element.send_keys(Keys.TAB)
            if active().get_attribute('data-slot') == book['slot']:
                break
        self.assertEqual(active().get_attribute('data-slot'), book['slot'], 'book not reached with Tab')
        self.press(Keys.ENTER)
        self.wait(lambda: self.visible('#book-view') and self.current_label() == book['order'][0], 'book by Enter')
        self.assertEqual(active().get_attribute('id'), 'book-name')
        if len(book['order']) > 1:
            self.press(Keys.ARROW_LEFT)
            self.wait(lambda: self.current_label() == book['order'][1], 'next page by key')
        # Back along the bar to the shelves button; focus shows.
        for _ in range(5):
            if active().get_attribute('id') == 'back-to-shelves':
                break
            ActionChains(DRIVER).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
        self.assertEqual(active().get_attribute('id'), 'back-to-shelves')
        self.assertNotEqual(self.js('return getComputedStyle(document.activeElement).outlineStyle'), 'none')
        self.press(Keys.ENTER)
        self.wait(lambda: self.visible('#shelves-view'), 'shelves by Enter')
        self.assertEqual(active().get_attribute('data-slot'), book['slot'], 'focus back on the book')

    def test_text_size_buttons_are_remembered(self):
        book = EXPECT['books'][0]
        self.open_book(book['slot'])
        size = 'return parseFloat(getComputedStyle(document.querySelector("#page-holder .page-body")).fontSize)'
        before = self.js(size)
        DRIVER.find_element(By.ID, 'text-larger').click()
        DRIVER.find_element(By.ID, 'text-larger').click()
        larger = self.js(size)
        self.assertGreater(larger, before)
        DRIVER.refresh()
        self.wait(lambda: self.visible('#book-view') and self.current_label() is not None, 'book after reload')
        self.assertEqual(self.js(size), larger)
        DRIVER.find_element(By.ID, 'text-smaller').click()
        self.assertLess(self.js(size), larger)


class SearchTest(ReaderTestCase):

    def search(self, query):
        box = DRIVER.find_element(By.ID, 'search-input')
        box.clear()
        box.send_keys(query, Keys.ENTER)
        heading = 'جستجوی «%s»' % query.strip() if query.strip() else 'جستجو'
        self.wait(lambda: self.visible('#search-view')
                  and DRIVER.find_element(By.ID, 'search-heading').text == heading, 'search view')
        self.wait(lambda: 'در حال' not in DRIVER.find_element(By.ID, 'search-status').text, 'search done', 20)

    def test_searches_find_the_page_and_mark_the_hit(self):
        self.open_export(EXPECT['exports'][0])
        for n, s in enumerate(EXPECT['searches']):
            with self.subTest(query=s['query']):
                book = self.book_expect(s['slot'])
                pages = [i for i, label in enumerate(book['order']) if label == s['label']]
                self.assertTrue(pages, 'label not in the book')
                self.search(s['query'])
                hit = self.js('return Array.from(document.querySelectorAll("#search-results .result-link"))'
                              '.find((a) => a.dataset.slot === arguments[0] && arguments[1].includes(Number(a.dataset.page)))'
                              ' || null', s['slot'], pages)
                self.assertIsNotNone(hit, 'no hit in the expected page')
                self.assertIn(book['name'], hit.find_element(By.CSS_SELECTOR, '.result-book').text)
                marks = [m.get_attribute('textContent') for m in hit.find_elements(By.TAG_NAME, 'mark')]
                self.assertEqual(len(marks), 1)
                self.assertEqual(fold(marks[0]), fold(s['query']))
                if n == 0:
                    screenshot('search-results')
                hit.click()
                self.wait(lambda: self.visible('#book-view') and self.current_label() == s['label'], 'hit opened')
                marked = self.js('return Array.from(document.querySelectorAll("#page-holder mark"), (m) => m.textContent)')
                self.assertTrue(marked, 'no mark on the page')
                self.assertTrue(all(fold(m) == fold(s['query']) for m in marked), marked)

    def test_search_without_words_or_hits(self):
        self.open_export(EXPECT['exports'][0])
        self.search('   ')
        self.assertEqual(DRIVER.find_elements(By.CSS_SELECTOR, '#search-results .result'), [])
        self.search('واژه‌اي كه در هيچ كتابي نيست ۱۲۳۴۵۶۷۸۹')
        self.assertEqual(DRIVER.find_elements(By.CSS_SELECTOR, '#search-results .result'), [])
        self.assertTrue(DRIVER.find_element(By.ID, 'search-status').text)
        DRIVER.find_element(By.ID, 'search-back').click()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves after search')


class FoldTest(ReaderTestCase):
    """The reader's own folding, run in the page on texts the fixture may lack."""

    # (name, text, folded)
    FOLDS = [
        ('arabic yeh and alef maqsura', 'يى', 'یی'),
        ('arabic kaf', 'كتاب', 'کتاب'),
        ('teh marbuta', 'مدرسة', 'مدرسه'),
        ('alef forms', 'أإآا', 'اااا'),
        ('zwnj after digits', '1\u200c4\u200c0\u200c3\u200c', '1403'),
        ('persian digits', '۱۴۰۳', '1403'),
        ('arabic-indic digits', '١٤٠٣', '1403'),
        ('tatweel', 'كـــتاب', 'کتاب'),
        ('harakat and superscript alef', 'كِتَابٌ هٰذا', 'کتاب هذا'),
        ('direction marks and zwj', '\u200fa\u200db\u200e', 'ab'),
        ('spaces stay', 'نان و آب', 'نان و اب'),
        ('latin case', 'CD Zorvel', 'cd zorvel'),
    ]

    # (name, text, query, marked original)
    MARKS = [
        ('digits with zwnj', 'سال 1\u200c4\u200c0\u200c3\u200c است', '1403', '1\u200c4\u200c0\u200c3'),
        ('query in persian letters', 'كتاب كوچك', 'کوچک', 'كوچك'),
        ('mark stays with its letter', 'كتابُ خوب', 'کتاب', 'كتابُ'),
        ('every hit', 'آب و آب', 'اب', 'آب|آب'),
        ('persian digits query', 'هر 2\u200c9\u200c روز', '۲۹ روز', '2\u200c9\u200c روز'),
    ]

    # Search form (name, text, folded): the same cases as the export's own
    # fold in test_readerdata, so the index it writes is the reader's.
    SEARCH_FOLDS = [
        ('arabic yeh and kaf', 'كتاب يي ى', 'کتاب یی ی'),
        ('teh marbuta and alef forms', 'مدرسة أإآ', 'مدرسه ااا'),
        ('zwnj between letters stays', 'مي\u200cرفت', 'می\u200cرفت'),
        ('zwnj after digits goes', '1\u200c4\u200c0\u200c3\u200c', '1403'),
        ('zwnj beside a space goes', 'ب \u200cا', 'ب ا'),
        ('zwnj at the end goes', 'ها\u200c', 'ها'),
        ('zwnj across a mark stays', 'ه\u200c\u0650ا', 'ه\u200cا'),
        ('white space runs', '  a \t\r\n b\u00a0 ', 'a b'),
        ('harakat and tatweel', 'كِتَـابٌ', 'کتاب'),
        ('digits', '۱۴۰۳ ١٤٠٣', '1403 1403'),
        ('latin case, direction marks', 'CD\u200fZorvel', 'cdzorvel'),
    ]

    def test_search_form(self):
        self.open_export(EXPECT['exports'][0])
        for name, text, folded in self.SEARCH_FOLDS:
            with self.subTest(name):
                self.assertEqual(self.js('return searchFold(arguments[0]).text', text), folded)

    def test_folding_and_marks(self):
        self.open_export(EXPECT['exports'][0])
        for name, text, folded in self.FOLDS:
            with self.subTest(name):
                self.assertEqual(self.js('return foldText(arguments[0])', text), folded)
                self.assertEqual(fold(text), folded, 'the test\'s own folding')
        for name, text, query, marked in self.MARKS:
            with self.subTest(name):
                ranges = self.js('return foldFindRanges(arguments[0], foldText(arguments[1]), 10)', text, query)
                self.assertEqual('|'.join(text[a:b] for a, b in ranges), marked)


class PrintTest(ReaderTestCase):

    def shown(self, selector):
        return self.js('return Array.from(document.querySelectorAll(arguments[0]))'
                       '.some((e) => e.getClientRects().length > 0)', selector)

    def test_print_button_iff_print(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                self.open_export(export)
                self.open_book(EXPECT['books'][0]['slot'])
                buttons = self.js('return Array.from(document.querySelectorAll("#page-holder button"))'
                                  '.filter((b) => b.textContent.trim() === "چاپ").length')
                self.assertEqual(buttons, 1 if export['print'] else 0)
                # The export's own printable page is offered beside it, as a link.
                printable = self.js('return window.ZORVEL_BOOKS[arguments[0]].pages[0].printable', EXPECT['books'][0]['slot'])
                links = self.js('return Array.from(document.querySelectorAll("#page-holder a.printable-link"),'
                                ' (a) => decodeURIComponent(a.getAttribute("href")))')
                self.assertEqual(links, ['../' + printable] if export['print'] and printable else [])
                DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': 'print'})
                try:
                    if export['print']:
                        self.assertTrue(self.shown('#page-holder .page-title'))
                        self.assertTrue(self.shown('#page-holder .page-body'))
                        for other in ('.topbar', '.book-bar', '#index-panel', '.page-tools'):
                            self.assertFalse(self.shown(other), other + ' printed')
                        # Black on white, whatever the template's colours on screen.
                        self.assertEqual(self.js('return [getComputedStyle(document.querySelector("#page-holder .page-body")).color,'
                                                 ' getComputedStyle(document.body, "::before").display]'),
                                         ['rgb(0, 0, 0)', 'none'])
                    else:
                        for text in ('#page-holder .page-title', '#page-holder .page-body', '.topbar', '#book-name'):
                            self.assertFalse(self.shown(text), text + ' printed')
                        self.assertTrue(self.shown('#print-notice'))
                        self.assertTrue(DRIVER.find_element(By.ID, 'print-notice').get_attribute('textContent'))
                finally:
                    DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': ''})
                if export['print']:
                    self.js('window.zorvelPrinted = 0; window.print = () => { window.zorvelPrinted++; };')
                    DRIVER.find_element(By.CSS_SELECTOR, '#page-holder .print-button').click()
                    self.assertEqual(self.js('return window.zorvelPrinted'), 1)


class PlaceAndBookmarkTest(ReaderTestCase):
    """Each book keeps its own place and its own bookmarks."""

    def setUp(self):
        super().setUp()
        self.open_export(EXPECT['exports'][0])

    def back_to_shelves(self):
        DRIVER.find_element(By.ID, 'back-to-shelves').click()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves again')

    def test_each_book_opens_at_its_own_page(self):
        first, second = EXPECT['books'][0], EXPECT['books'][1]
        self.open_book(first['slot'])
        self.click_entry(first['order'][-1])
        self.back_to_shelves()
        self.open_book(second['slot'])
        self.back_to_shelves()
        # The resume button offers the last book read, the other keeps its page.
        self.assertIn(second['name'], DRIVER.find_element(By.ID, 'resume-button').text)
        self.open_book(first['slot'])
        self.wait(lambda: self.current_label() == first['order'][-1], 'first book at its own page')
        self.back_to_shelves()
        # A started book shows how far it is read; the figure is there for screen readers.
        count = len(first['order'])
        percent = round(100 * count / count)
        progress = self.js('const p = document.querySelector(".shelf-book[data-slot=\'" + arguments[0] + "\'] .shelf-book-progress");'
                           'return p ? [p.querySelector(".progress-fill").style.width, p.textContent,'
                           ' p.querySelector(".progress-bar").getAttribute("aria-hidden")] : null', first['slot'])
        self.assertEqual(progress, ['%d%%' % percent, persian_digits(percent) + ' درصد خوانده شده', 'true'])
        DRIVER.refresh()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves after reload')
        self.open_book(first['slot'])
        self.wait(lambda: self.current_label() == first['order'][-1], 'place kept after a reload')

    def test_bookmarks_by_button_and_ctrl_b(self):
        book = EXPECT['books'][0]
        if len(book['order']) < 3:
            self.skipTest('a book of three pages is needed')
        self.open_book(book['slot'])
        toggle = DRIVER.find_element(By.ID, 'bookmark-toggle')
        self.assertEqual(toggle.get_attribute('aria-pressed'), 'false')
        self.assertIn('Ctrl+B', toggle.get_attribute('title'))
        toggle.click()
        self.assertEqual(toggle.get_attribute('aria-pressed'), 'true')
        self.click_entry(book['order'][2])
        self.assertEqual(toggle.get_attribute('aria-pressed'), 'false')
        DRIVER.find_element(By.ID, 'book-name').click()
        ActionChains(DRIVER).key_down(Keys.CONTROL).send_keys('b').key_up(Keys.CONTROL).perform()
        self.wait(lambda: toggle.get_attribute('aria-pressed') == 'true', 'bookmarked by Ctrl+B')
        listed = lambda: self.js('return Array.from(document.querySelectorAll("#bookmark-list .bookmark-link"),'
                                 ' (b) => [Number(b.dataset.page), b.textContent])')
        self.assertEqual([p for p, _ in listed()], [0, 2])
        self.assertIn(book['order'][2], listed()[1][1])
        # Kept with the other choices, and each opens its page.
        DRIVER.refresh()
        self.wait(lambda: self.current_label() == book['order'][2], 'book after reload')
        toggle = DRIVER.find_element(By.ID, 'bookmark-toggle')
        self.show_index()
        DRIVER.find_element(By.CSS_SELECTOR, '#bookmark-list .bookmark-link[data-page="0"]').click()
        self.wait(lambda: self.current_label() == book['order'][0], 'bookmark opened its page')
        self.assertEqual(toggle.get_attribute('aria-pressed'), 'true')
        toggle.click()
        self.assertEqual([p for p, _ in listed()], [2])
        # Another book has bookmarks of its own.
        self.back_to_shelves()
        self.open_book(EXPECT['books'][1]['slot'])
        self.assertEqual(listed(), [])
        self.assertTrue(self.js('return !document.getElementById("bookmarks-empty").hidden'))


class ReadingComfortTest(ReaderTestCase):

    def setUp(self):
        super().setUp()
        self.export = EXPECT['exports'][0]

    def page_style(self, prop, selector='#page-holder .page'):
        return self.js('return getComputedStyle(document.querySelector(arguments[0]))[arguments[1]]', selector, prop)

    def choose(self, name, value):
        if not self.visible('#settings-panel'):
            DRIVER.find_element(By.ID, 'settings-toggle').click()
        DRIVER.find_element(By.CSS_SELECTOR, 'input[name="%s"][value="%s"]' % (name, value)).click()

    def test_themes_dress_the_book_not_the_shelves(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                self.open_export(export)
                shelves_look = self.js('return getComputedStyle(document.body).backgroundColor')
                book = EXPECT['books'][0]
                self.open_book(book['slot'])
                # A plain page: the identity page dresses its paper in a frame.
                self.click_entry(book['order'][-1])
                looks = {}
                for theme in ('template', 'sepia', 'night'):
                    self.choose('theme', theme)
                    looks[theme] = (self.page_style('backgroundColor'), self.page_style('color'))
                    screenshot('theme-%s-template-%d' % (theme, export['template']))
                self.assertEqual(len(set(looks.values())), 3, looks)
                # Night is dark: light ink on a dark page.
                self.assertGreater(luminance(looks['night'][1]), luminance(looks['night'][0]))
                self.assertLess(luminance(looks['template'][1]), luminance(looks['template'][0]), looks)
                DRIVER.find_element(By.ID, 'back-to-shelves').click()
                self.wait(lambda: self.visible('#shelves-view'), 'shelves')
                self.assertEqual(self.js('return getComputedStyle(document.body).backgroundColor'), shelves_look)
                DRIVER.refresh()
                self.open_book(book['slot'])
                self.wait(lambda: self.current_label() == book['order'][-1], 'book at its page')
                self.assertEqual((self.page_style('backgroundColor'), self.page_style('color')), looks['night'])

    def test_night_on_a_dark_system_first_visit(self):
        DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia',
                               {'media': '', 'features': [{'name': 'prefers-color-scheme', 'value': 'dark'}]})
        self.open_export(self.export)
        self.open_book(EXPECT['books'][0]['slot'])
        self.assertIn('theme-night', self.js('return Array.from(document.body.classList)'))
        # A theme once chosen is the reader's, whatever the system says.
        self.choose('theme', 'sepia')
        DRIVER.refresh()
        self.wait(lambda: self.current_label() is not None, 'book after reload')
        self.assertIn('theme-sepia', self.js('return Array.from(document.body.classList)'))

    def test_line_spacing_and_margins(self):
        self.open_export(self.export)
        self.open_book(EXPECT['books'][0]['slot'])
        body = '#page-holder .page-body'
        spacing = []
        for step in ('0', '1', '2'):
            self.choose('line-spacing', step)
            spacing.append(float(self.page_style('lineHeight', body).rstrip('px')))
        self.assertLess(spacing[0], spacing[1])
        self.assertLess(spacing[1], spacing[2])
        margins = []
        for step in ('0', '1', '2'):
            self.choose('margins', step)
            margins.append(float(self.page_style('paddingLeft').rstrip('px')))
        self.assertLess(margins[0], margins[1])
        self.assertLess(margins[1], margins[2])
        DRIVER.refresh()
        self.wait(lambda: self.current_label() is not None, 'book after reload')
        self.assertEqual(float(self.page_style('lineHeight', body).rstrip('px')), spacing[2])
        self.assertEqual(float(self.page_style('paddingLeft').rstrip('px')), margins[2])
        # Esc closes the choices and gives the focus back to their button.
        self.choose('margins', '1')
        self.press(Keys.ESCAPE)
        self.assertFalse(self.visible('#settings-panel'))
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute('id'), 'settings-toggle')

    def test_go_to_a_page_by_number_and_slider(self):
        self.open_export(self.export)
        book = EXPECT['books'][0]
        count = len(book['order'])
        if count < 3:
            self.skipTest('a book of three pages is needed')
        self.open_book(book['slot'])
        number = DRIVER.find_element(By.ID, 'page-number')
        number.clear()
        number.send_keys(str(count), Keys.ENTER)
        self.wait(lambda: self.current_label() == book['order'][-1], 'last page by number')
        # A number past the end goes to the end; Persian digits are read too.
        number = DRIVER.find_element(By.ID, 'page-number')
        self.assertEqual(number.get_attribute('value'), str(count))
        self.js('const s = document.getElementById("page-slider"); s.value = "2";'
                's.dispatchEvent(new Event("input", {bubbles: true})); s.dispatchEvent(new Event("change", {bubbles: true}));')
        self.wait(lambda: self.current_label() == book['order'][1], 'second page by the slider')
        slider = DRIVER.find_element(By.ID, 'page-slider')
        self.assertEqual(slider.get_attribute('aria-valuetext'),
                         'صفحه %s از %s' % (persian_digits(2), persian_digits(count)))
        slider.send_keys(Keys.HOME)
        self.wait(lambda: self.current_label() == book['order'][0], 'first page by the slider and Home')

    def swipe(self, dx, on='#page-holder .page-body'):
        # From the middle of the page's text, away from its buttons and links.
        at = self.js('const r = document.querySelector(arguments[0]).getBoundingClientRect();'
                     'return [r.left + r.width / 2, (Math.max(r.top, 0) + Math.min(r.bottom, innerHeight)) / 2]', on)
        start = {'x': round(at[0] - dx / 2), 'y': round(at[1])}
        DRIVER.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchStart', 'touchPoints': [start]})
        DRIVER.execute_cdp_cmd('Input.dispatchTouchEvent',
                               {'type': 'touchMove', 'touchPoints': [{'x': start['x'] + dx / 2, 'y': start['y'] + 2}]})
        DRIVER.execute_cdp_cmd('Input.dispatchTouchEvent',
                               {'type': 'touchMove', 'touchPoints': [{'x': start['x'] + dx, 'y': start['y'] + 4}]})
        DRIVER.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})

    def test_swipe_turns_the_page(self):
        book = EXPECT['books'][0]
        if len(book['order']) < 2:
            self.skipTest('a book of two pages is needed')
        DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 390, 'height': 844, 'deviceScaleFactor': 1, 'mobile': True})
        self.open_export(self.export)
        self.open_book(book['slot'])
        DRIVER.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 1})
        self.wait(lambda: self.js('return app.view') == 'book' and self.current_label() == book['order'][0], 'book open')
        # Right to left: a swipe to the right brings the next page.
        self.swipe(150)
        self.wait(lambda: self.current_label() == book['order'][1], 'next page by a swipe')
        # The browser's own sideways swipe (back in history) stays out of it.
        self.assertEqual(self.js('return app.view'), 'book')
        self.swipe(-150)
        self.wait(lambda: self.current_label() == book['order'][0], 'previous page by a swipe')
        # A short or mostly upright move is a scroll, not a turn.
        self.swipe(30)
        time.sleep(0.3)
        self.assertEqual(self.current_label(), book['order'][0])
        # Nor does a move along a player's slider turn the page.
        self.js('const a = document.createElement("audio"); a.controls = true; a.id = "swipe-player";'
                'a.style.cssText = "position: fixed; inset: 0; width: 100vw; height: 100vh; z-index: 50";'
                'document.getElementById("page-holder").append(a);')
        self.swipe(150, on='#swipe-player')
        time.sleep(0.3)
        self.assertEqual(self.current_label(), book['order'][0])

    def test_full_screen_where_allowed(self):
        self.open_export(self.export)
        self.open_book(EXPECT['books'][0]['slot'])
        allowed = self.js('return document.fullscreenEnabled')
        DRIVER.find_element(By.ID, 'settings-toggle').click()
        self.assertEqual(self.visible('#fullscreen-toggle'), allowed)
        if not allowed:
            return
        toggle = DRIVER.find_element(By.ID, 'fullscreen-toggle')
        toggle.click()
        try:
            self.wait(lambda: self.js('return !!document.fullscreenElement'), 'full screen')
            self.wait(lambda: toggle.get_attribute('aria-pressed') == 'true', 'switch shows full screen')
            toggle.click()
            self.wait(lambda: self.js('return !document.fullscreenElement'), 'full screen left')
            self.wait(lambda: toggle.get_attribute('aria-pressed') == 'false', 'switch shows full screen left')
        finally:
            self.js('if (document.fullscreenElement) document.exitFullscreen()')
            DRIVER.set_window_size(*WIDE)


ZW = '\u200c'
# Books for search: the same words written with a ZWNJ, a space or nothing
# between their parts, short words alone and inside longer ones, and one
# word on more pages than a group first shows.
SEARCH_BOOKS = [
    {'slot': 'a5', 'row': 0, 'place': 5, 'name': 'جستجو يك', 'pages': [
        pg('شناسنامه', 'كتاب آزمون'),
        pg('با نيم‌فاصله', 'او هر روز به مدرسه مي' + ZW + 'رفت.'),
        pg('بي فاصله', 'او هر روز به مدرسه ميرفت.'),
        pg('با فاصله', 'او هر روز به مدرسه مي رفت.'),
        pg('چشمه', 'آب از چشمه' + ZW + 'اي در بالاي تپه مي' + ZW + 'آمد.'),
        pg('برگ', 'در پاييز برگ' + ZW + 'ها زرد مي' + ZW + 'شوند.'),
        pg('برگ جدا', 'برگ ها را جمع كرد.'),
        pg('واو درون', 'درخت دور از خانه بود.'),
        pg('واو تنها', 'نان و آب.'),
        pg('باغ', 'در باغ ما درخت سيب بود.'),
        pg('سيب باغ', 'سيب باغ شيرين بود.'),
    ]},
    {'slot': 'b5', 'row': 1, 'place': 5, 'name': 'جستجو دو',
     'pages': [pg('برگه %d' % (i + 1), 'واژهٔ مشترك در برگهٔ %d' % (i + 1)) for i in range(23)]},
    {'slot': 'c5', 'row': 2, 'place': 5, 'name': 'جستجو سه', 'pages': [pg('تنها', 'واژهٔ مشترك اینجا هم هست.')]},
]


class ForgivingSearchTest(ReaderTestCase):

    @classmethod
    def setUpClass(cls):
        cls.folder = variant('search', SEARCH_BOOKS)

    def setUp(self):
        super().setUp()
        self.open_folder(self.folder)

    def labels(self, slot='a5'):
        book = next(b for b in SEARCH_BOOKS if b['slot'] == slot)
        return [book['pages'][p]['title'] for s, p in self.results() if s == slot]

    def test_space_zwnj_or_nothing_between_letters(self):
        everywhere = ['با نيم‌فاصله', 'بي فاصله', 'با فاصله']
        for query in ('می رفت', 'می' + ZW + 'رفت', 'میرفت', 'مي رفت'):
            with self.subTest(query=query):
                self.search_for(query)
                self.assertEqual(sorted(self.labels()), sorted(everywhere))
        # A suffix does not reach across a ZWNJ into the next part's start.
        self.search_for('ها')
        self.assertNotIn('چشمه', self.labels())
        self.assertIn('برگ', self.labels())
        self.search_for('برگ ها')
        self.assertEqual(self.labels()[:2], ['برگ', 'برگ جدا'])
        self.search_for('برگها')
        self.assertEqual(sorted(self.labels()), ['برگ', 'برگ جدا'])

    def test_whole_words_first_and_marked_as_words(self):
        self.search_for('و')
        labels = self.labels()
        self.assertEqual(labels[0], 'واو تنها', 'a whole word comes before the word inside others')
        self.assertIn('واو درون', labels)
        first = DRIVER.find_element(By.CSS_SELECTOR, '#search-results .result-group[data-slot="a5"] .result-link')
        marks = first.find_elements(By.CSS_SELECTOR, '.result-snippet mark')
        self.assertEqual([m.get_attribute('textContent') for m in marks], ['و'])
        # On the page, the hit is the word, not the letter inside «نان».
        first.click()
        self.wait(lambda: self.visible('#book-view'), 'result opened')
        self.assertEqual(self.js('return Array.from(document.querySelectorAll("#page-holder .page-text mark"), (m) => m.textContent)'),
                         ['و'])
        self.assertEqual(self.js('return document.querySelector("#page-holder mark").previousSibling.textContent'), 'نان ')

    def test_several_words_find_pages_with_all_of_them(self):
        self.search_for('سیب باغ')
        labels = self.labels()
        # The exact phrase first, then the page that has both words apart.
        self.assertEqual(labels, ['سيب باغ', 'باغ'])
        self.search_for('سیب کوه')
        self.assertEqual(self.labels(), [])

    def test_grouped_by_book_with_every_hit_reachable(self):
        self.search_for('مشترک')
        groups = self.js('return Array.from(document.querySelectorAll("#search-results .result-group"),'
                         ' (g) => [g.dataset.slot, g.querySelector(".result-group-count").textContent,'
                         ' g.querySelectorAll(".result").length])')
        self.assertEqual([g[0] for g in groups], ['b5', 'c5'])
        self.assertEqual(groups[0][1], persian_digits(23) + ' صفحه')
        self.assertLess(groups[0][2], 23, 'a big group shows its first results')
        self.assertEqual(groups[1][2], 1, 'a later book is not starved by an earlier one')
        more = DRIVER.find_element(By.CSS_SELECTOR, '.result-group[data-slot="b5"] .result-more')
        while True:
            more.click()
            if not DRIVER.find_elements(By.CSS_SELECTOR, '.result-group[data-slot="b5"] .result-more'):
                break
        self.assertEqual(sorted(p for s, p in self.results() if s == 'b5'), list(range(23)))
        # The first of the newly shown results has the focus.
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute('class'), 'result-link')
        self.assertIn(persian_digits(24) + ' صفحه در ' + persian_digits(2) + ' کتاب', DRIVER.find_element(By.ID, 'search-status').text)

    def test_this_book_or_all_books(self):
        self.open_book('b5')
        DRIVER.find_element(By.ID, 'back-to-shelves').click()
        self.search_for('مشترک')
        scope = DRIVER.find_element(By.CSS_SELECTOR, 'input[name="search-scope"][value="book"]')
        self.assertEqual(DRIVER.find_element(By.ID, 'search-scope-book').text, 'جستجو دو')
        scope.click()
        self.wait(lambda: self.js('return location.hash.startsWith("#/find/")'), 'one book')
        self.wait(lambda: 'در حال' not in DRIVER.find_element(By.ID, 'search-status').text, 'search done')
        self.assertEqual({s for s, _ in self.results()}, {'b5'})
        DRIVER.find_element(By.CSS_SELECTOR, 'input[name="search-scope"][value="all"]').click()
        self.wait(lambda: {s for s, _ in self.results()} == {'b5', 'c5'}, 'all books again')

    def test_back_from_a_result_to_the_same_place(self):
        DRIVER.set_window_size(1280, 500)
        self.search_for('مشترک')
        more = DRIVER.find_element(By.CSS_SELECTOR, '.result-group[data-slot="b5"] .result-more')
        more.click()
        link = DRIVER.find_elements(By.CSS_SELECTOR, '.result-group[data-slot="b5"] .result-link')[14]
        self.js('arguments[0].scrollIntoView({block: "center"})', link)
        scrolled = self.js('return scrollY')
        self.assertGreater(scrolled, 0)
        page = link.get_attribute('data-page')
        link.click()
        self.wait(lambda: self.visible('#book-view'), 'result opened')
        DRIVER.back()
        self.wait(lambda: self.visible('#search-view'), 'results again')
        self.assertEqual(self.js('return scrollY'), scrolled)
        active = DRIVER.switch_to.active_element
        self.assertEqual((active.get_attribute('data-slot'), active.get_attribute('data-page')), ('b5', page))
        self.assertEqual(len(self.results()), 10 + 13 + 1, 'the list is the one that was left')

    def test_nothing_loaded_for_search_until_one_starts(self):
        time.sleep(2.5)
        loaded = 'return [Object.keys(window.ZORVEL_BOOKS || {}).length, searchIndexes.size]'
        self.assertEqual(self.js(loaded), [0, 0])
        self.search_for('مشترک')
        self.assertGreater(self.js(loaded)[1], 0)

    def test_a_slow_search_shows_its_progress(self):
        # Each book's text a while in coming, as on a slow CD drive.
        self.js('const real = searchIndexOf; window.searchIndexOf = (l, s) => new Promise((r) =>'
                ' setTimeout(() => r(real(l, s)), 250));')
        box = DRIVER.find_element(By.ID, 'search-input')
        box.send_keys('مشترک', Keys.ENTER)
        self.wait(lambda: self.visible('#search-progress'), 'progress shown')
        status = DRIVER.find_element(By.ID, 'search-status').text
        self.assertRegex(status, '^در حال جستجو… [۰-۹]+ از [۰-۹]+ کتاب$')
        self.wait(lambda: 'در حال' not in DRIVER.find_element(By.ID, 'search-status').text, 'search done', 30)
        self.assertFalse(self.visible('#search-progress'))


LONG_WORD = 'ب' * 400
LONG_NAME = ' '.join(['نام بسيار بلند كتابي كه روي جلد كشيده شده جا نمي‌شود و بايد با سه نقطه تمام شود'] * 2)
LATIN_NAME = 'Zorvel Guide (2nd ed.).'
DEFECT_BOOKS = [
    {'slot': 'a6', 'row': 0, 'place': 6, 'name': LATIN_NAME, 'pages': [
        pg('شناسنامه', 'كتاب راهنما'),
        pg('بلند', *['پاره‌ي %d از متني بلند كه صفحه را از بلندي پنجره بيشتر مي‌كند.' % i for i in range(1, 80)]),
        pg('واژهٔ بلند', 'پيش از آن ' + LONG_WORD + ' پس از آن'),
        pg('صدا و فيلم', 'صفحه‌اي با صدا و فيلمي كه اين مرورگر پخش نمي‌كند.',
           sound='BookTXT/x.wma', film='BookTXT/y.wmv'),
        pg('رقم‌ها', 'در سال 1403 و ١٤٠٣ كتاب 2nd نوشته شد.'),
    ]},
    {'slot': 'a7', 'row': 0, 'place': 7, 'name': LONG_NAME, 'cover': None,
     'pages': [pg('شناسنامه', 'جلد كشيده')]},
    {'slot': 'b6', 'row': 1, 'place': 6, 'name': 'كتاب گمشده', 'broken': 'missing', 'pages': [pg('يك', 'متن')]},
    {'slot': 'b7', 'row': 1, 'place': 7, 'name': 'كتاب بريده', 'broken': 'cut', 'pages': [pg('يك', 'متن مشترك')]},
    {'slot': 'b8', 'row': 1, 'place': 8, 'name': 'كتاب خراب', 'broken': 'garbage', 'pages': [pg('يك', 'متن')]},
]


class DefectsTest(ReaderTestCase):
    # The missing and the cut book file, on purpose.
    allowed_errors = ('b6.js', 'b7.js')

    @classmethod
    def setUpClass(cls):
        cls.folder = variant('defects', DEFECT_BOOKS)
        cls.folder2 = variant('defects-2', DEFECT_BOOKS, template=2, print_on=False)

    def open_page(self, slot, page, folder=None):
        self.open_folder(folder or self.folder, hash='#/book/%s/%d' % (slot, page + 1))
        self.wait(lambda: self.visible('#book-view') and self.js('return bookView.index') == page
                  and self.js('return !!bookView.book'), 'page %d of %s' % (page + 1, slot))

    def scroll_top(self):
        return self.js('return document.scrollingElement.scrollTop')

    def test_page_down_and_space_read_the_page_through(self):
        self.open_page('a6', 1)
        DRIVER.find_element(By.ID, 'book-name').click()
        height = self.js('return document.scrollingElement.scrollHeight - innerHeight')
        self.assertGreater(height, 800, 'the long page fits the window')
        seen = [self.scroll_top()]
        for key in (Keys.PAGE_DOWN, Keys.SPACE, Keys.PAGE_DOWN):
            self.press(key)
            self.wait(lambda: self.scroll_top() > seen[-1], 'scrolled by ' + repr(key))
            seen.append(self.scroll_top())
            self.assertEqual(self.js('return bookView.index'), 1, 'turned before the end')
        # Each step keeps some of what was shown: no line is skipped.
        steps = [b - a for a, b in zip(seen, seen[1:])]
        self.assertTrue(all(s < self.js('return innerHeight') for s in steps), steps)
        while self.js('return bookView.index') == 1:
            at = self.scroll_top()
            self.press(Keys.PAGE_DOWN)
            time.sleep(0.05)
            if self.js('return bookView.index') == 2:
                self.assertGreaterEqual(at, height - 2, 'turned before the end')
        # Shift+Space goes back: to the previous page's end.
        DRIVER.find_element(By.ID, 'book-name').click()
        ActionChains(DRIVER).key_down(Keys.SHIFT).send_keys(Keys.SPACE).key_up(Keys.SHIFT).perform()
        self.wait(lambda: self.js('return bookView.index') == 1, 'back a page')
        self.wait(lambda: self.scroll_top() >= height - 2, 'at the end of the previous page')
        ActionChains(DRIVER).key_down(Keys.SHIFT).send_keys(Keys.SPACE).key_up(Keys.SHIFT).perform()
        self.wait(lambda: self.scroll_top() < height - 2, 'scrolled back up')
        self.assertEqual(self.js('return bookView.index'), 1)
        # Space on a button presses it, and does not scroll.
        DRIVER.find_element(By.ID, 'bookmark-toggle').send_keys(Keys.SPACE)
        self.assertEqual(DRIVER.find_element(By.ID, 'bookmark-toggle').get_attribute('aria-pressed'), 'true')

    def test_drawer_is_a_modal_dialog(self):
        for folder in (self.folder2, self.folder):
            with self.subTest(folder=os.path.basename(folder)):
                if folder == self.folder:
                    DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                        'width': 390, 'height': 844, 'deviceScaleFactor': 1, 'mobile': True})
                self.open_page('a6', 0, folder)
                toggle = DRIVER.find_element(By.ID, 'index-toggle')
                panel = DRIVER.find_element(By.ID, 'index-panel')
                self.assertNotEqual(panel.get_attribute('role'), 'dialog')
                toggle.click()
                self.wait(lambda: self.visible('#index-tree-holder [role=tree]'), 'drawer open')
                self.assertEqual((panel.get_attribute('role'), panel.get_attribute('aria-modal')), ('dialog', 'true'))
                self.assertTrue(panel.get_attribute('aria-label'))
                inside = 'return document.getElementById("index-panel").contains(document.activeElement)'
                self.assertTrue(self.js(inside))
                for _ in range(12):
                    self.press(Keys.TAB)
                    self.assertTrue(self.js(inside), 'Tab left the drawer')
                for _ in range(12):
                    ActionChains(DRIVER).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
                    self.assertTrue(self.js(inside), 'Shift+Tab left the drawer')
                # The page behind cannot be reached at all.
                self.assertTrue(self.js('return document.querySelector(".page-column").inert'))
                screenshot('drawer-%s' % os.path.basename(folder))
                self.press(Keys.ESCAPE)
                self.wait(lambda: not self.visible('#index-tree-holder [role=tree]'), 'drawer closed by Esc')
                self.assertEqual(DRIVER.switch_to.active_element.get_attribute('id'), 'index-toggle')
                self.assertFalse(self.js('return document.querySelector(".page-column").inert'))

    def test_names_keep_their_own_direction(self):
        self.open_folder(self.folder)
        # The full stop stays at the end (right) of a Latin name, on the shelf and in the bar.
        order = ('const e = arguments[0]; const t = e.firstChild; const r = document.createRange();'
                 'r.setStart(t, 0); r.setEnd(t, 1); const first = r.getBoundingClientRect();'
                 'r.setStart(t, t.length - 1); r.setEnd(t, t.length); const last = r.getBoundingClientRect();'
                 'return [e.textContent, last.left >= first.right, getComputedStyle(e).unicodeBidi];')
        name = DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="a6"] .shelf-book-name')
        self.assertEqual(self.js(order, name), [LATIN_NAME, True, 'isolate'])
        self.open_book('a6')
        self.assertEqual(self.js(order, DRIVER.find_element(By.CSS_SELECTOR, '#book-name bdi')), [LATIN_NAME, True, 'isolate'])
        self.assertEqual(self.js('return document.title'), LATIN_NAME + ' — صفحه ۱ از ۵')

    def test_long_words_wrap_and_long_cover_names_end_in_an_ellipsis(self):
        for size in (WIDE, (390, 844)):
            with self.subTest(size=size):
                DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                    'width': size[0], 'height': size[1], 'deviceScaleFactor': 1, 'mobile': size[0] < 500})
                self.open_page('a6', 2)
                overflow = 'return document.documentElement.scrollWidth - document.documentElement.clientWidth'
                self.assertLessEqual(self.js(overflow), 0, 'a long word widens the page')
                DRIVER.find_element(By.ID, 'back-to-shelves').click()
                self.wait(lambda: self.visible('#shelves-view'), 'shelves')
                cover = self.js('const c = document.querySelector(".shelf-book[data-slot=\'a7\'] .cover").getBoundingClientRect();'
                                'const n = document.querySelector(".shelf-book[data-slot=\'a7\'] .cover-placeholder-name");'
                                'const r = n.getBoundingClientRect();'
                                'return [r.top >= c.top - 0.5, r.bottom <= c.bottom + 0.5, n.scrollHeight > n.clientHeight,'
                                ' getComputedStyle(n).webkitLineClamp]')
                self.assertEqual(cover[:3], [True, True, True], 'the drawn name is cut at its start')
                self.assertNotEqual(cover[3], 'none')
                screenshot('long-cover-name-%d' % size[0])

    def test_empty_library_says_so(self):
        for template in (1, 2):
            with self.subTest(template=template):
                folder = variant('empty-%d' % template, keep=False, template=template)
                self.open_folder(folder)
                notice = DRIVER.find_element(By.ID, 'shelves-empty')
                self.assertTrue(notice.is_displayed())
                self.assertEqual(notice.text, 'هنوز کتابی در این کتابخانه نیست.')
                screenshot('empty-library-template-%d' % template)

    def test_resume_has_no_gap_before_its_comma(self):
        self.open_page('a7', 0)
        DRIVER.find_element(By.ID, 'back-to-shelves').click()
        self.wait(lambda: self.visible('#resume-button'), 'resume shown')
        text = DRIVER.find_element(By.ID, 'resume-button').text
        self.assertNotIn(' ،', text)
        # Drawn, the comma sits right after the name (to its left, in Persian).
        gap = self.js('const b = document.querySelector("#resume-button bdi"); const t = b.nextSibling;'
                      'const r = document.createRange(); r.setStart(t, 0); r.setEnd(t, 1);'
                      'return b.getClientRects()[b.getClientRects().length - 1].left - r.getBoundingClientRect().right;')
        self.assertLess(abs(gap), 2)

    def test_large_text_on_a_phone_is_not_justified(self):
        DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 390, 'height': 844, 'deviceScaleFactor': 1, 'mobile': True})
        self.open_page('a6', 1)
        align = 'return getComputedStyle(document.querySelector("#page-holder .page-body")).textAlign'
        self.assertEqual(self.js(align), 'justify')
        while DRIVER.find_element(By.ID, 'text-larger').is_enabled():
            DRIVER.find_element(By.ID, 'text-larger').click()
        self.assertNotEqual(self.js(align), 'justify')
        screenshot('largest-text-phone')

    def test_window_title_follows_the_view(self):
        self.open_folder(self.folder)
        self.assertEqual(self.js('return document.title'), 'کتابخانه')
        self.search_for('متن')
        self.assertEqual(self.js('return document.title'), 'جستجوی «متن» — کتابخانه')
        self.js('location.hash = "#/book/b6/1"')
        self.wait(lambda: self.visible('.book-missing-notice'), 'missing book notice')
        self.assertEqual(self.js('return document.title'), 'کتاب خوانده نشد — کتابخانه')

    def test_broken_books_are_named_and_marked(self):
        self.open_folder(self.folder)
        self.search_for('متن')
        status = DRIVER.find_element(By.ID, 'search-status').text
        for name in ('کتاب گمشده', 'کتاب بریده', 'کتاب خراب'):
            self.assertIn('«%s»' % name, status)
        self.assertIn('خوانده نشدند', status)
        DRIVER.find_element(By.ID, 'search-back').click()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves')
        marked = self.js('return Array.from(document.querySelectorAll(".place-broken .shelf-book"), (b) => b.dataset.slot)')
        self.assertEqual(sorted(marked), ['b6', 'b7', 'b8'])
        self.assertEqual(self.js('return document.querySelectorAll(".place-broken .shelf-book-pages").length'), 0,
                         'a broken book still counts its pages')
        self.assertIn('خوانده نشد', DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="b7"]').text)
        screenshot('broken-books')
        # Opened: a clear notice, no empty index beside it.
        for slot in ('b6', 'b7', 'b8'):
            with self.subTest(slot=slot):
                DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="%s"]' % slot).click()
                self.wait(lambda: self.visible('.book-missing-notice'), 'notice')
                self.assertIn('خوانده نشد', DRIVER.find_element(By.CSS_SELECTOR, '.book-missing-notice').text)
                for gone in ('#index-panel', '#index-toggle', '#bookmark-toggle', '#page-jump'):
                    self.assertFalse(self.visible(gone), gone + ' shown for a broken book')
                DRIVER.find_element(By.ID, 'back-to-shelves').click()
                self.wait(lambda: self.visible('#shelves-view'), 'shelves')

    def test_unplayable_sound_and_film_say_so(self):
        self.open_page('a6', 3)
        notes = self.js('return Array.from(document.querySelectorAll("#page-holder .media-unplayable"), (e) => e.textContent)')
        self.assertEqual(len(notes), 2)
        self.assertIn('این صدا در این مرورگر پخش نمی‌شود.', notes[0])
        self.assertIn('این فیلم در این مرورگر پخش نمی‌شود.', notes[1])
        for note in notes:
            self.assertNotIn('.wma', note)
            self.assertNotIn('.wmv', note)

    def test_persian_letters_and_digits_with_a_switch(self):
        self.open_page('a6', 4)
        text = 'در سال 1403 و ١٤٠٣ كتاب 2nd نوشته شد.'
        self.assertEqual(self.page_texts(), ['در سال ۱۴۰۳ و ۱۴۰۳ کتاب 2nd نوشته شد.'])
        self.assertEqual(self.page_texts(), [shown(text)])
        self.assertEqual(DRIVER.find_element(By.CSS_SELECTOR, '#page-holder .page-title').text, 'رقم‌ها')
        # The files keep what they hold.
        self.assertEqual(self.js('return window.ZORVEL_BOOKS.a6.pages[4].blocks[0].text'), text)
        DRIVER.find_element(By.ID, 'settings-toggle').click()
        DRIVER.find_element(By.ID, 'as-written').click()
        self.assertEqual(self.page_texts(), [text])
        DRIVER.refresh()
        self.wait(lambda: self.js('return !!bookView.book'), 'book after reload')
        self.assertEqual(self.page_texts(), [text])
        self.assertEqual(DRIVER.find_element(By.CSS_SELECTOR, '#index-tree-holder [aria-selected=true] .tree-label').text, 'رقم‌ها')
        DRIVER.find_element(By.ID, 'back-to-shelves').click()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves')
        self.assertEqual(DRIVER.find_element(By.CSS_SELECTOR, '.shelf-book[data-slot="b6"] .shelf-book-name').text, 'كتاب گمشده')
        # Search finds either way of writing, whichever is shown.
        for query in ('كتاب 1403', 'کتاب ۱۴۰۳'):
            self.search_for(query)
            self.assertIn(('a6', 4), self.results())

    def test_storage_switched_off_keeps_choices_for_the_visit(self):
        DRIVER.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': '''
            Object.defineProperty(window, "localStorage", {get() { throw new DOMException("off", "SecurityError"); }});'''})
        try:
            url = pathlib.Path(self.folder, 'Data', 'reader', 'index.html').as_uri()
            DRIVER.get(url)
            self.wait(lambda: self.visible('#shelves-view'), 'shelves')
            self.open_book('a6')
            size = 'return getComputedStyle(document.querySelector("#page-holder .page-body")).fontSize'
            before = self.js(size)
            DRIVER.find_element(By.ID, 'text-larger').click()
            DRIVER.find_element(By.ID, 'bookmark-toggle').click()
            DRIVER.find_element(By.ID, 'page-next').click()
            self.wait(lambda: self.js('return bookView.index') == 1, 'next page')
            DRIVER.find_element(By.ID, 'back-to-shelves').click()
            self.wait(lambda: self.visible('#resume-button'), 'resume offered without storage')
            self.open_book('a7')
            DRIVER.find_element(By.ID, 'back-to-shelves').click()
            self.open_book('a6')
            self.wait(lambda: self.js('return bookView.index') == 1, 'place kept without storage')
            self.assertNotEqual(self.js(size), before)
            self.show_index()
            self.assertEqual(len(DRIVER.find_elements(By.CSS_SELECTOR, '#bookmark-list .bookmark-link')), 1)
        finally:
            DRIVER.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': ''})
            DRIVER.quit()
            start_browser()

    def test_music_switch_tells_the_truth_after_a_reload(self):
        folder = variant('music', music=True)
        self.open_folder(folder)
        toggle = lambda: DRIVER.find_element(By.ID, 'music-toggle')
        DRIVER.find_element(By.CSS_SELECTOR, '.shelf-title').click()
        self.wait(lambda: toggle().get_attribute('aria-pressed') == 'true', 'music on after a first action')
        DRIVER.refresh()
        self.wait(lambda: self.visible('#shelves-view'), 'shelves after reload')
        # Nothing plays before the reader acts, and the switch says so.
        self.assertEqual(toggle().get_attribute('aria-pressed'), 'false')
        self.assertTrue(self.js('return document.getElementById("music").paused'))
        # The first press starts it, rather than turning off what never played.
        toggle().click()
        self.assertEqual(toggle().get_attribute('aria-pressed'), 'true')
        self.assertTrue(self.js('return !!document.getElementById("music").dataset.track'))
        toggle().click()
        self.assertEqual(toggle().get_attribute('aria-pressed'), 'false')
        self.assertTrue(self.js('return document.getElementById("music").paused'))


AXE = os.environ.get('ZORVEL_AXE') or os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                    'node_modules', 'axe-core', 'axe.min.js')
SIZES = [WIDE, (390, 844)]


class AccessibilityTest(ReaderTestCase):
    """axe-core on every view, both templates, both sizes; focus rings."""

    def set_size(self, size):
        DRIVER.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': size[0], 'height': size[1], 'deviceScaleFactor': 1, 'mobile': size[0] < 500})

    def axe(self, what):
        if not os.path.isfile(AXE):
            self.skipTest('axe-core is not installed (%s); scripts/bootstrap installs it with npm' % AXE)
        if not self.js('return !!window.axe'):
            with open(AXE, encoding='utf-8') as f:
                self.js(f.read())
        DRIVER.set_script_timeout(60)
        result = DRIVER.execute_async_script(
            'const done = arguments[arguments.length - 1];'
            'axe.run(document, {resultTypes: ["violations"], preload: false}).then((r) => done(r.violations.map((v) =>'
            ' [v.id, v.nodes.map((n) => n.target.join(" ") + ": " + n.failureSummary).slice(0, 3)])),'
            ' (e) => done([["axe failed", [String(e)]]]));')
        self.assertEqual(result, [], what)

    def test_axe_finds_nothing(self):
        for export in EXPECT['exports']:
            for size in SIZES:
                where = 'template %d at %dx%d' % (export['template'], size[0], size[1])
                with self.subTest(where):
                    self.set_size(size)
                    self.open_export(export)
                    self.axe('shelves, ' + where)
                    book = EXPECT['books'][0]
                    self.open_book(book['slot'])
                    DRIVER.find_element(By.ID, 'bookmark-toggle').click()
                    self.show_index()
                    time.sleep(0.3)
                    self.axe('book with its index, ' + where)
                    if self.visible('#index-close'):
                        DRIVER.find_element(By.ID, 'index-close').click()
                    for theme in ('sepia', 'night'):
                        self.js('prefSet("theme", arguments[0]); applyReading();', theme)
                        self.axe('book in %s, %s' % (theme, where))
                    self.js('prefSet("theme", "template"); applyReading();')
                    DRIVER.find_element(By.ID, 'settings-toggle').click()
                    self.axe('reading choices, ' + where)
                    self.search_for(EXPECT['searches'][0]['query'])
                    self.axe('search results, ' + where)

    def test_focus_rings_stand_out(self):
        # The ring's colour against what lies just outside it (or inside, for
        # a ring drawn within its element), composed down to an opaque colour.
        ring = '''
const e = document.activeElement;
// Focus may have gone back to the page since the key was pressed.
if (!e || e === document.body || e === document.documentElement) return null;
// Some rings are drawn on a part: a tree item's row, a shelf book's cover.
const ringed = (n) => n && getComputedStyle(n).outlineStyle !== "none";
const target = [e, e.querySelector(":scope > .tree-row"), e.querySelector(".cover")].find(ringed) || e;
const s = getComputedStyle(target);
if (s.outlineStyle === "none" || parseFloat(s.outlineWidth) < 2) return [e.id || e.className, null, null];
const parse = (c) => (c.match(/[\\d.]+/g) || []).map(Number);
const under = (node) => {
  const layers = [];
  for (let n = node; n; n = n.parentElement) {
    const c = parse(getComputedStyle(n).backgroundColor);
    const a = c.length > 3 ? c[3] : 1;
    if (a > 0) layers.push([c[0], c[1], c[2], a]);
    if (a >= 1) break;
  }
  let out = [255, 255, 255];
  for (const [r, g, b, a] of layers.reverse()) out = [r * a + out[0] * (1 - a), g * a + out[1] * (1 - a), b * a + out[2] * (1 - a)];
  return "rgb(" + out.map(Math.round).join(", ") + ")";
};
const inside = parseFloat(s.outlineOffset) < 0;
return [e.id || e.className, s.outlineColor, under(inside ? target : target.parentElement)];
'''
        low = []
        for export in EXPECT['exports']:
            for size in SIZES:
                self.set_size(size)
                self.open_export(export)
                stops = []
                # Tab through the shelves, then a book with its index open, then the results.
                def tab_through(name, count=40):
                    first = None
                    for _ in range(count):
                        ActionChains(DRIVER).send_keys(Keys.TAB).perform()
                        here = self.js('return document.activeElement')
                        if self.js('return document.activeElement === document.body'):
                            continue
                        if first is None:
                            first = here
                        elif here == first:
                            break
                        seen = self.js(ring)
                        if seen is not None:
                            stops.append((name, seen))
                DRIVER.find_element(By.TAG_NAME, 'body').click()
                tab_through('shelves')
                self.js('location.hash = arguments[0]', '#/book/%s/1' % EXPECT['books'][0]['slot'])
                self.wait(lambda: self.visible('#book-view') and self.current_label() is not None, 'book open')
                self.js('document.getElementById("book-name").focus()')
                tab_through('book')
                self.show_index()
                tab_through('index', 12)
                ActionChains(DRIVER).send_keys(Keys.ESCAPE).perform()
                for theme in ('sepia', 'night'):
                    self.js('prefSet("theme", arguments[0]); applyReading();', theme)
                    self.js('document.getElementById("book-name").focus()')
                    tab_through('book in ' + theme)
                    self.show_index()
                    tab_through('index in ' + theme, 12)
                    ActionChains(DRIVER).send_keys(Keys.ESCAPE).perform()
                self.js('prefSet("theme", "template"); applyReading();')
                self.search_for(EXPECT['searches'][0]['query'])
                tab_through('results', 12)
                for name, (what, colour, under) in stops:
                    if colour is None:
                        low.append((export['template'], size, name, what, 'no ring'))
                    elif contrast(colour, under) < 3:
                        low.append((export['template'], size, name, what, colour, under, round(contrast(colour, under), 2)))
        self.assertEqual(low, [], '\n'.join(map(str, low)))


class PrintSheetsTest(ReaderTestCase):
    """What comes out of a printer: sheets counted in a PDF of the view."""

    def pdf(self, name):
        data = base64.b64decode(DRIVER.execute_cdp_cmd('Page.printToPDF', {'printBackground': True})['data'])
        folder = os.environ.get('ZORVEL_SCREENSHOTS')
        if folder:
            os.makedirs(folder, exist_ok=True)
            path = os.path.join(folder, name + '.pdf')
            with open(path, 'wb') as f:
                f.write(data)
            if shutil.which('pdftoppm'):
                subprocess.run(['pdftoppm', '-png', '-r', '50', path, os.path.join(folder, name)], check=False)
        return data

    def sheets(self, data):
        return len(re.findall(rb'/Type\s*/Page[^s]', data))

    def test_a_notice_prints_on_one_sheet(self):
        for export in EXPECT['exports']:
            with self.subTest(export=export['folder']):
                self.open_export(export)
                self.assertEqual(self.sheets(self.pdf('print-shelves-template-%d' % export['template'])), 1)
                if not export['print']:
                    self.open_book(EXPECT['books'][0]['slot'])
                    self.assertEqual(self.sheets(self.pdf('print-book-off')), 1)

    def test_a_printed_page_names_its_book_and_place(self):
        export = next((e for e in EXPECT['exports'] if e['print']), None)
        if export is None:
            self.skipTest('no export allows printing')
        self.open_export(export)
        book = EXPECT['books'][0]
        self.open_book(book['slot'])
        self.click_entry(book['order'][-1])
        DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': 'print'})
        heading = DRIVER.find_element(By.CSS_SELECTOR, '#page-holder .print-heading')
        self.assertTrue(heading.is_displayed())
        count = len(book['order'])
        self.assertEqual(heading.text, '%s — صفحه %s از %s' % (book['name'], persian_digits(count), persian_digits(count)))
        DRIVER.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': ''})
        self.assertFalse(heading.is_displayed(), 'the print heading shows on screen')
        data = self.pdf('print-page')
        self.assertGreaterEqual(self.sheets(data), 1)


FIREFOX = shutil.which('firefox-esr') or shutil.which('firefox')

# Waits in the page until code (an expression) is true, then gives value.
FF_WAIT = '''new Promise((resolve, reject) => { const t0 = Date.now(); const poll = () => {
  let ok = false; try { ok = (%s); } catch (e) {}
  if (ok) resolve((%s)); else if (Date.now() - t0 > 10000) reject(new Error("timed out: %s")); else setTimeout(poll, 30); };
  poll(); })'''


@unittest.skipUnless(FIREFOX, 'Firefox is not installed')
class FirefoxTest(unittest.TestCase):
    """The same reader driven in Firefox over WebDriver BiDi (no geckodriver
    in Debian): each item checked through the page's own DOM."""

    def wait(self, ff, condition, value='true', what=''):
        return ff.evaluate(FF_WAIT % (condition, value, what or condition.replace('"', "'")))

    def url(self, folder, hash=''):
        return pathlib.Path(folder, 'Data', 'reader', 'index.html').as_uri() + hash

    def fresh(self, ff, folder, hash=''):
        ff.navigate(self.url(folder))
        ff.evaluate('localStorage.clear()')
        # A query makes it a new page, loaded afresh with storage empty.
        ff.navigate(self.url(folder, '?fresh' + (hash or '#')))
        self.wait(ff, '!document.body.classList.contains("loading")', what='reader start')

    def shot(self, ff, name):
        folder = os.environ.get('ZORVEL_SCREENSHOTS')
        if folder:
            os.makedirs(folder, exist_ok=True)
            ff.screenshot(os.path.join(folder, 'firefox-' + name + '.png'))

    def go(self, ff, hash, condition):
        ff.evaluate('location.hash = %s' % json.dumps(hash))
        self.wait(ff, condition, what=hash)

    def test_reader_in_firefox(self):
        from bidi import Firefox
        search_folder = variant('firefox-search', SEARCH_BOOKS)
        for export in EXPECT['exports']:
            folder = os.path.join(FIXTURE, export['folder'])
            book = EXPECT['books'][0]
            for size in (WIDE, (390, 844)):
                where = 'template-%d-%d' % (export['template'], size[0])
                with self.subTest(where), Firefox(width=size[0], height=size[1]) as ff:
                    self.fresh(ff, folder)
                    self.assertEqual(ff.evaluate('document.querySelectorAll(".shelf-book").length'),
                                     len(ff.evaluate('ZORVEL_LIBRARY.books')))
                    self.shot(ff, 'shelves-' + where)
                    # A place per book.
                    last = len(book['order'])
                    self.go(ff, '#/book/%s/%d' % (book['slot'], last), '!!bookView.book && bookView.index === %d' % (last - 1))
                    self.assertEqual(ff.evaluate('document.querySelector("#book-name bdi").textContent'), book['name'])
                    self.shot(ff, 'book-' + where)
                    other = EXPECT['books'][1]['slot']
                    self.go(ff, '#/book/%s/1' % other, '!!bookView.book && bookView.book.slot === "%s"' % other)
                    self.go(ff, '#', '!document.getElementById("shelves-view").hidden')
                    ff.evaluate('document.querySelector(".shelf-book[data-slot=\'%s\']").click()' % book['slot'])
                    self.wait(ff, 'location.hash === "#/book/%s/%d"' % (book['slot'], last), what='own page')
                    # A bookmark, a theme, the Persian letters, the print heading.
                    self.wait(ff, '!!bookView.book && bookView.index === %d' % (last - 1))
                    ff.evaluate('document.getElementById("bookmark-toggle").click()')
                    self.assertEqual(ff.evaluate('document.querySelectorAll("#bookmark-list .bookmark-link").length'), 1)
                    ff.evaluate('(prefSet("theme", "night"), applyReading())')
                    self.assertIn('theme-night', ff.evaluate('document.body.className'))
                    self.shot(ff, 'book-night-' + where)
                    ff.evaluate('(prefSet("theme", "sepia"), applyReading())')
                    self.shot(ff, 'book-sepia-' + where)
                    self.assertEqual(ff.evaluate('document.querySelector("#index-tree-holder [aria-selected=true]")'
                                                 '.getAttribute("aria-label")'), book['order'][-1])
                    self.assertTrue(ff.evaluate('document.querySelector("#page-holder .print-heading").textContent.includes(%s)'
                                                % json.dumps(book['name'])))
                    # The drawer, where there is one, is a modal dialog.
                    if ff.evaluate('indexIsDrawer()'):
                        ff.evaluate('document.getElementById("index-toggle").click()')
                        self.assertEqual(ff.evaluate('[document.getElementById("index-panel").getAttribute("role"),'
                                                     ' document.getElementById("index-panel").getAttribute("aria-modal"),'
                                                     ' document.querySelector(".page-column").inert]'), ['dialog', 'true', True])
                        self.wait(ff, 'getComputedStyle(document.getElementById("index-panel")).transform === "none"')
                        time.sleep(0.3)
                        self.shot(ff, 'drawer-' + where)
                        ff.evaluate('document.dispatchEvent(new KeyboardEvent("keydown", {key: "Escape", bubbles: true}))')
                        self.assertEqual(ff.evaluate('document.activeElement.id'), 'index-toggle')
                    # No page wider than the window.
                    self.assertLessEqual(ff.evaluate('document.documentElement.scrollWidth - document.documentElement.clientWidth'), 0)
                    if os.path.isfile(AXE):
                        with open(AXE, encoding='utf-8') as f:
                            ff.evaluate('(() => { %s; return true; })()' % f.read())
                        found = ff.evaluate('axe.run(document, {resultTypes: ["violations"], preload: false})'
                                            '.then((r) => r.violations.map((v) => v.id + " " + v.nodes.map((n) => n.target.join(" ")).join(", ")))')
                        self.assertEqual(found, [], 'axe-core in Firefox, ' + where)
                with self.subTest('search ' + where), Firefox(width=size[0], height=size[1]) as ff:
                    self.fresh(ff, search_folder)
                    for query in ('میرفت', 'می رفت'):
                        self.go(ff, '#/search/' + urllib.parse.quote(query),
                                '!document.getElementById("search-status").textContent.includes("در حال")'
                                ' && document.getElementById("search-status").textContent !== ""')
                        pages = ff.evaluate('Array.from(document.querySelectorAll(".result-group[data-slot=a5] .result-link"),'
                                            ' (a) => Number(a.dataset.page)).sort()')
                        self.assertEqual(pages, [1, 2, 3], query)
                    self.shot(ff, 'search-' + where)


class SearchIndexTest(ReaderTestCase):
    """The export's search index is the reader's own search form of each book."""

    def test_export_index_matches_the_reader_folding(self):
        export = EXPECT['exports'][0]
        self.open_export(export)
        entries = self.library()['books']
        if not any(e.get('search') for e in entries):
            self.skipTest('this export writes no search index; the reader builds it at search time')
        for entry in entries:
            with self.subTest(slot=entry['slot']):
                self.assertTrue(entry.get('search'), 'no index for ' + entry['slot'])
                DRIVER.set_script_timeout(30)
                same = DRIVER.execute_async_script('''
const [slot, done] = [arguments[0], arguments[arguments.length - 1]];
const library = app.library;
loadScript(bookScriptUrl(library.bySlot.get(slot).search)).then((ok) => {
  const written = ok && window.ZORVEL_SEARCH ? window.ZORVEL_SEARCH[slot] : null;
  return loadBook(library, slot).then((book) => {
    const made = buildSearchIndex(book);
    done(written ? [written.format, written.text === made.text, JSON.stringify(written.starts) === JSON.stringify(made.starts),
      written.text.length] : null);
  });
});''', entry['slot'])
                self.assertIsNotNone(same, 'index file not read')
                self.assertEqual(same[:3], [1, True, True])


def main():
    global FIXTURE, EXPECT
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    FIXTURE = os.path.abspath(sys.argv[1])
    with open(os.path.join(FIXTURE, 'expect.json'), encoding='utf-8') as f:
        EXPECT = json.load(f)
    # What the files hold is kept as written; the names and labels the
    # checks compare with the page are the ones it shows.
    for book in EXPECT['books']:
        if 'order' not in book:
            book['order'] = list(leaf_labels(book['toc']))
        book['written'] = {'name': book['name'], 'order': book['order']}
        book['name'] = shown(book['name'])
        book['order'] = [shown(label) for label in book['order']]
        book['toc'] = shown_toc(book['toc'])
    for key in ('zwnj', 'inlineImage'):
        EXPECT[key]['label'] = shown(EXPECT[key]['label'])
    for s in EXPECT['searches']:
        s['label'] = shown(s['label'])
    program = unittest.main(argv=[sys.argv[0]] + sys.argv[2:], exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == '__main__':
    main()
