// The book view: the bar with the book's name and position, the index
// (beside the page or in a drawer) with the book's bookmarks, the page
// itself, and the reading choices.

const bookView = { book: null, index: 0, tree: null, library: null };

function bookPosition(index, count) {
  return 'صفحه ' + persianDigits(index + 1) + ' از ' + persianDigits(count);
}

// The light template and small windows show the index as a drawer.
const DRAWER_QUERY = '(max-width: 800px)';

function indexIsDrawer() {
  return document.getElementById('book-view').classList.contains('index-drawer');
}

function indexIsOpen() {
  return document.getElementById('book-view').classList.contains('index-open');
}

// Everything of the page but the open drawer is out of reach while it is open.
function drawerOutside() {
  return [document.querySelector('.skip-link'), document.querySelector('.topbar'),
    document.querySelector('.book-bar'), document.querySelector('.page-column')];
}

function setIndexOpen(open) {
  const view = document.getElementById('book-view');
  const panel = document.getElementById('index-panel');
  view.classList.toggle('index-open', open);
  document.getElementById('index-toggle').setAttribute('aria-expanded', open ? 'true' : 'false');
  const modal = open && indexIsDrawer();
  for (const part of drawerOutside()) if (part) part.inert = modal;
  if (modal) {
    panel.setAttribute('role', 'dialog');
    panel.setAttribute('aria-modal', 'true');
  } else {
    panel.setAttribute('role', 'navigation');
    panel.removeAttribute('aria-modal');
  }
  if (open && bookView.tree) bookView.tree.focusCurrent();
}

function closeIndexDrawer() {
  setIndexOpen(false);
  document.getElementById('index-toggle').focus();
}

// Tab and Shift+Tab go round inside the open drawer.
function keepFocusInDrawer(event) {
  if (event.key !== 'Tab' || !indexIsDrawer() || !indexIsOpen()) return;
  const panel = document.getElementById('index-panel');
  const reachable = Array.from(panel.querySelectorAll('button, a[href], [tabindex="0"]'))
    .filter((e) => !e.disabled && e.getClientRects().length > 0);
  if (!reachable.length) return;
  const first = reachable[0];
  const last = reachable[reachable.length - 1];
  const at = document.activeElement;
  if (event.shiftKey && (at === first || !panel.contains(at))) {
    event.preventDefault();
    last.focus();
  } else if (!event.shiftKey && (at === last || !panel.contains(at))) {
    event.preventDefault();
    first.focus();
  }
}

function setupBookView(library, onPick) {
  bookView.library = library;
  const view = document.getElementById('book-view');
  const panel = document.getElementById('index-panel');
  const toggle = document.getElementById('index-toggle');
  const narrow = window.matchMedia(DRAWER_QUERY);
  const layout = () => {
    const drawer = library.template === 2 || narrow.matches;
    view.classList.toggle('index-drawer', drawer);
    setIndexOpen(false);
  };
  layout();
  narrow.addEventListener('change', layout);

  toggle.addEventListener('click', () => setIndexOpen(!indexIsOpen()));
  document.getElementById('index-close').addEventListener('click', closeIndexDrawer);
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && indexIsDrawer() && indexIsOpen()) {
      event.preventDefault();
      closeIndexDrawer();
    }
    keepFocusInDrawer(event);
  });
  // A click beside the open drawer closes it.
  document.addEventListener('click', (event) => {
    if (!indexIsOpen()) return;
    if (panel.contains(event.target) || toggle.contains(event.target)) return;
    setIndexOpen(false);
  });
  bookView.onPick = onPick;

  document.getElementById('bookmark-toggle').addEventListener('click', toggleBookmark);
  setupPageJump(onPick);
  setupSwipe();
}

function pickFromIndex(page) {
  if (indexIsDrawer()) {
    setIndexOpen(false);
    focusQuietly(document.getElementById('book-name'));
  }
  bookView.onPick(page);
}

// The bookmarks of the open book, listed under its index.
function renderBookmarks() {
  const book = bookView.book;
  const list = document.getElementById('bookmark-list');
  if (!book) {
    list.replaceChildren();
    return;
  }
  const pages = prefBookmarks(book.slot).filter((p) => p < book.pages.length);
  list.replaceChildren(...pages.map((p) => el('li', { class: 'bookmark' },
    el('button', { type: 'button', class: 'bookmark-link', 'data-page': String(p), onclick: () => pickFromIndex(p) },
      el('span', { class: 'bookmark-page' }, 'صفحهٔ ' + persianDigits(p + 1)),
      book.pages[p].title ? ' ' : null,
      book.pages[p].title ? nameNode(book.pages[p].title, 'bookmark-title') : null))));
  document.getElementById('bookmarks-empty').hidden = pages.length > 0;
  const marked = pages.includes(bookView.index);
  const button = document.getElementById('bookmark-toggle');
  button.setAttribute('aria-pressed', marked ? 'true' : 'false');
  button.title = (marked ? 'برداشتن نشانهٔ این صفحه' : 'نشانه‌گذاری این صفحه') + ' (Ctrl+B)';
}

function toggleBookmark() {
  if (!bookView.book) return;
  prefToggleBookmark(bookView.book.slot, bookView.index);
  renderBookmarks();
}

function showBookPage(library, book, index, matcher) {
  const view = document.getElementById('book-view');
  view.classList.remove('book-missing');
  if (bookView.book !== book) {
    bookView.book = book;
    bookView.tree = createIndexTree(book, pickFromIndex);
    document.getElementById('index-tree-holder').replaceChildren(bookView.tree.element);
    document.getElementById('book-name').replaceChildren(nameNode(book.name));
    setIndexOpen(false);
  }
  bookView.index = index;
  const count = book.pages.length;
  const article = renderPage(document.getElementById('page-holder'), book, index, { print: library.print, matcher });
  document.getElementById('book-position').textContent = bookPosition(index, count);
  const prev = document.getElementById('page-prev');
  const next = document.getElementById('page-next');
  const focused = document.activeElement;
  prev.disabled = index <= 0;
  next.disabled = index >= count - 1;
  // A button that has just gone dead hands the focus to the other one.
  if (focused === prev && prev.disabled) next.focus();
  if (focused === next && next.disabled) prev.focus();
  bookView.tree.select(index);
  prefSetPlace(book.slot, index);
  document.title = shownText(book.name) + ' — ' + bookPosition(index, count);
  updatePageJump(index, count);
  renderBookmarks();

  const mark = article.querySelector('mark');
  if (mark) {
    mark.classList.add('current');
    mark.scrollIntoView({ block: 'center' });
  } else if (app.toEnd) {
    // Paging back goes on reading backwards: from the previous page's end.
    window.scrollTo(0, document.documentElement.scrollHeight);
  } else {
    window.scrollTo(0, 0);
  }
  app.toEnd = false;
}

function showBookMissing(entry) {
  bookView.book = null;
  bookView.tree = null;
  setIndexOpen(false);
  document.getElementById('book-view').classList.add('book-missing');
  document.getElementById('index-tree-holder').replaceChildren();
  document.getElementById('bookmark-list').replaceChildren();
  document.getElementById('book-name').replaceChildren(entry ? nameNode(entry.name) : '');
  document.getElementById('book-position').textContent = '';
  document.getElementById('page-prev').disabled = true;
  document.getElementById('page-next').disabled = true;
  document.getElementById('page-holder').replaceChildren(
    el('p', { class: 'notice book-missing-notice', role: 'alert' },
      entry ? ['کتاب ', nameNode(entry.name), ' روی این لوح خوانده نشد؛ پرونده‌اش نیست یا ناقص است.']
        : 'این کتاب روی این لوح نیست.'));
  document.title = 'کتاب خوانده نشد — کتابخانه';
  if (entry) markBookBroken(entry.slot);
}

// Going to a page by its number or by the slider.
function updatePageJump(index, count) {
  const slider = document.getElementById('page-slider');
  const number = document.getElementById('page-number');
  slider.max = String(count);
  slider.value = String(index + 1);
  slider.setAttribute('aria-valuetext', bookPosition(index, count));
  number.max = String(count);
  number.value = String(index + 1);
  document.getElementById('page-jump').hidden = count < 2;
}

function setupPageJump(onPick) {
  const slider = document.getElementById('page-slider');
  const number = document.getElementById('page-number');
  const jump = (value) => {
    const book = bookView.book;
    if (!book) return;
    const n = Math.round(Number(String(value).replace(/[۰-۹]/g, (d) => String(d.charCodeAt(0) - 0x06f0))));
    if (!Number.isFinite(n)) return;
    const page = Math.max(1, Math.min(book.pages.length, n)) - 1;
    if (page !== bookView.index) onPick(page);
    else updatePageJump(page, book.pages.length);
  };
  slider.addEventListener('input', () => {
    if (bookView.book) slider.setAttribute('aria-valuetext', bookPosition(Number(slider.value) - 1, bookView.book.pages.length));
  });
  slider.addEventListener('change', () => jump(slider.value));
  document.getElementById('page-jump').addEventListener('submit', (event) => {
    event.preventDefault();
    jump(number.value);
  });
}

// On a touch screen a sideways swipe turns the page: the book reads right
// to left, so the next page is pulled in from the left (a swipe to the
// right), as a paper page of a Persian book is turned.
const SWIPE_MIN_PX = 60;

function setupSwipe() {
  const holder = document.getElementById('page-holder');
  let start = null;
  holder.addEventListener('touchstart', (event) => {
    // A player's own slider moves sideways too.
    const own = event.target.closest && event.target.closest('audio, video, input, select, textarea');
    start = event.touches.length === 1 && !own ? { x: event.touches[0].clientX, y: event.touches[0].clientY } : null;
  }, { passive: true });
  holder.addEventListener('touchend', (event) => {
    if (!start || event.changedTouches.length !== 1) return;
    const dx = event.changedTouches[0].clientX - start.x;
    const dy = event.changedTouches[0].clientY - start.y;
    start = null;
    if (Math.abs(dx) < SWIPE_MIN_PX || Math.abs(dx) < 2 * Math.abs(dy)) return;
    turnPage(dx > 0 ? 1 : -1);
  });
  holder.addEventListener('touchcancel', () => { start = null; });
}

// Reading choices: text size, line spacing, margins, theme, the letters as
// written, full screen.
function applyTextSize(i) {
  document.documentElement.style.setProperty('--text-scale', String(TEXT_SIZES[i]));
  document.documentElement.classList.toggle('text-large', i >= TEXT_SIZES.length - 3);
  document.getElementById('text-smaller').disabled = i <= 0;
  document.getElementById('text-larger').disabled = i >= TEXT_SIZES.length - 1;
}

function applyReading() {
  const root = document.documentElement;
  root.style.setProperty('--line-spacing', String(LINE_SPACINGS[prefLineSpacingIndex()]));
  root.dataset.margins = MARGINS[prefMarginIndex()];
  const theme = prefTheme();
  for (const t of THEMES) document.body.classList.toggle('theme-' + t, t === theme);
  display.asWritten = prefAsWritten();
  const check = (name, value) => {
    for (const input of document.querySelectorAll('input[name="' + name + '"]')) input.checked = input.value === String(value);
  };
  check('theme', theme);
  check('line-spacing', prefLineSpacingIndex());
  check('margins', prefMarginIndex());
  document.getElementById('as-written').checked = display.asWritten;
}

function setSettingsOpen(open) {
  document.getElementById('settings-panel').hidden = !open;
  document.getElementById('settings-toggle').setAttribute('aria-expanded', open ? 'true' : 'false');
}

function setupReading(onDisplayChange) {
  let i = prefTextSizeIndex();
  applyTextSize(i);
  const change = (step) => {
    i = Math.max(0, Math.min(TEXT_SIZES.length - 1, i + step));
    prefSet('textSize', i);
    applyTextSize(i);
  };
  document.getElementById('text-smaller').addEventListener('click', () => change(-1));
  document.getElementById('text-larger').addEventListener('click', () => change(1));

  applyReading();
  const panel = document.getElementById('settings-panel');
  const toggle = document.getElementById('settings-toggle');
  toggle.addEventListener('click', () => setSettingsOpen(panel.hidden));
  panel.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.stopPropagation();
      setSettingsOpen(false);
      toggle.focus();
    }
  });
  document.addEventListener('click', (event) => {
    if (!panel.hidden && !panel.contains(event.target) && !toggle.contains(event.target)) setSettingsOpen(false);
  });
  panel.addEventListener('change', (event) => {
    const input = event.target;
    if (input.name === 'theme') prefSet('theme', input.value);
    else if (input.name === 'line-spacing') prefSet('lineSpacing', Number(input.value));
    else if (input.name === 'margins') prefSet('margins', Number(input.value));
    else if (input.id === 'as-written') {
      prefSet('asWritten', input.checked);
      applyReading();
      onDisplayChange();
      return;
    }
    applyReading();
  });

  const full = document.getElementById('fullscreen-toggle');
  if (document.fullscreenEnabled && document.documentElement.requestFullscreen) {
    full.hidden = false;
    const label = () => {
      full.textContent = document.fullscreenElement ? 'خروج از تمام‌صفحه' : 'تمام‌صفحه';
      full.setAttribute('aria-pressed', document.fullscreenElement ? 'true' : 'false');
    };
    label();
    full.addEventListener('click', () => {
      const done = document.fullscreenElement ? document.exitFullscreen() : document.documentElement.requestFullscreen();
      if (done && done.catch) done.catch(() => {});
    });
    document.addEventListener('fullscreenchange', label);
  }
}
