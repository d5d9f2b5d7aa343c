// Starts the reader and moves between its views. The address's fragment
// holds where the reader is, so the browser's back button and a reload
// keep the place:  "" shelves,  #/book/<slot>/<page>,  #/search/<words>
// (all books),  #/find/<slot>/<words> (one book).

const app = { library: null, view: null, mark: null, lastBook: null, toEnd: false };

function go(hash, replace) {
  if (location.hash === hash || (hash === '' && location.hash === '')) route();
  else if (replace) location.replace(hash || '#');
  else location.hash = hash;
}

// A hand-typed address may hold a broken escape; take it as it stands.
function decodePart(part) {
  try {
    return decodeURIComponent(part);
  } catch (e) {
    return part;
  }
}

function bookHash(slot, index) {
  return '#/book/' + encodeURIComponent(slot) + '/' + (index + 1);
}

// Shows one view; true when it was not the one shown before.
function showView(name) {
  const changed = app.view !== name;
  app.view = name;
  for (const v of ['shelves', 'book', 'search']) {
    document.getElementById(v + '-view').hidden = v !== name;
    document.body.classList.toggle('view-' + v, v === name);
  }
  return changed;
}

// Keyboard users land where the new view starts, not on a hidden button.
function focusQuietly(element) {
  if (element) element.focus({ preventScroll: true });
}

// Where a book opens from the shelves: its own last page.
function bookStartHash(slot) {
  const page = prefPlaceOf(slot);
  const entry = app.library.bySlot.get(slot);
  const last = entry && entry.pageCount > 0 ? entry.pageCount - 1 : 0;
  return bookHash(slot, page === null ? 0 : Math.min(page, last));
}

function searchHash(words, slot) {
  return slot ? '#/find/' + encodeURIComponent(slot) + '/' + encodeURIComponent(words) : '#/search/' + encodeURIComponent(words);
}

// The book a search may be kept to: the one open last.
function searchScopeBook() {
  const slot = app.lastBook || (prefLastRead() && prefLastRead().slot);
  return slot && app.library.bySlot.has(slot) ? app.library.bySlot.get(slot) : null;
}

function showSearchScope(words, onlySlot) {
  const scope = document.getElementById('search-scope');
  const book = onlySlot ? app.library.bySlot.get(onlySlot) : searchScopeBook();
  scope.hidden = !book;
  if (!book) return;
  document.getElementById('search-scope-book').textContent = shownText(book.name);
  for (const input of scope.querySelectorAll('input')) {
    input.checked = input.value === (onlySlot ? 'book' : 'all');
    input.dataset.slot = book.slot;
  }
  scope.dataset.words = words;
}

function routeSearch(words, onlySlot) {
  const library = app.library;
  document.getElementById('search-input').value = words;
  const entered = showView('search');
  const heading = words.trim() ? 'جستجوی «' + words.trim() + '»' : 'جستجو';
  document.getElementById('search-heading').textContent = heading;
  document.title = heading + ' — کتابخانه';
  musicFor(library, 'shelves');
  showSearchScope(words, onlySlot);
  // Back from a result: the list as it was left, at the same place.
  const key = searchKey(words, onlySlot);
  if (searchShown.key === key && document.getElementById('search-results').children.length) {
    window.scrollTo(0, searchShown.scrollY);
    const link = searchShown.slot === null ? null : document.querySelector('#search-results .result-link[data-slot="'
      + CSS.escape(searchShown.slot) + '"][data-page="' + searchShown.page + '"]');
    if (link) focusQuietly(link);
    else if (entered) focusQuietly(document.getElementById('search-heading'));
    return;
  }
  if (entered) focusQuietly(document.getElementById('search-heading'));
  window.scrollTo(0, 0);
  runSearch(library, words, onlySlot, (book, result) => {
    searchShown.scrollY = window.scrollY;
    searchShown.slot = book.slot;
    searchShown.page = result.page;
    app.mark = { slot: book.slot, page: result.page, matcher: makeMatcher(words) };
  });
}

function route() {
  const library = app.library;
  const hash = location.hash;
  const bookMatch = /^#\/book\/([^/]+)\/(\d+)$/.exec(hash);
  const searchMatch = /^#\/search\/(.*)$/.exec(hash);
  const findMatch = /^#\/find\/([^/]+)\/(.*)$/.exec(hash);

  if (bookMatch) {
    const slot = decodePart(bookMatch[1]);
    const wanted = Number(bookMatch[2]) - 1;
    const matcher = app.mark && app.mark.slot === slot && app.mark.page === wanted ? app.mark.matcher : null;
    app.mark = null;
    const entered = showView('book');
    musicFor(library, 'book');
    const entry = library.bySlot.get(slot);
    if (!bookView.book || bookView.book.slot !== slot) {
      document.getElementById('book-name').replaceChildren(entry ? nameNode(entry.name) : '');
      if (entry) document.title = shownText(entry.name) + ' — کتابخانه';
    }
    loadBook(library, slot).then((book) => {
      if (location.hash !== hash) return;
      if (!book) {
        showBookMissing(entry);
        if (entered) focusQuietly(document.getElementById('book-name'));
        return;
      }
      app.lastBook = slot;
      const index = Math.max(0, Math.min(book.pages.length - 1, wanted));
      const opened = bookView.book !== book;
      showBookPage(library, book, index, matcher);
      if (entered || opened) focusQuietly(document.getElementById('book-name'));
    });
    return;
  }

  if (findMatch) {
    routeSearch(decodePart(findMatch[2]), decodePart(findMatch[1]));
    return;
  }
  if (searchMatch) {
    routeSearch(decodePart(searchMatch[1]), null);
    return;
  }

  const from = app.view === 'book' && bookView.book ? bookView.book.slot
    : app.view === 'book' && app.lastBook ? app.lastBook : null;
  showView('shelves');
  refreshShelves();
  if (from) focusQuietly(document.querySelector('.shelf-book[data-slot="' + CSS.escape(from) + '"]'));
  musicFor(library, 'shelves');
  document.title = 'کتابخانه';
  renderResume(document.getElementById('resume'), library, (last) => go(bookHash(last.slot, last.page)));
}

function turnPage(step) {
  const book = bookView.book;
  if (app.view !== 'book' || !book) return false;
  const index = bookView.index + step;
  if (index < 0 || index >= book.pages.length) return false;
  go(bookHash(book.slot, index), true);
  return true;
}

// How far PageDown or Space moves: a window, less the bar that stays and a
// line or two kept in view.
function scrollStep() {
  const bar = document.querySelector('.book-bar');
  const covered = bar ? bar.getBoundingClientRect().height : 0;
  return Math.max(40, window.innerHeight - covered - 48);
}

// Scrolls the page by one window; false when it is already at that end.
function scrollPage(down) {
  const root = document.scrollingElement || document.documentElement;
  const max = root.scrollHeight - window.innerHeight;
  if (down ? root.scrollTop >= max - 2 : root.scrollTop <= 2) return false;
  window.scrollTo({ top: Math.max(0, Math.min(max, root.scrollTop + (down ? 1 : -1) * scrollStep())), behavior: 'instant' });
  return true;
}

function onKey(event) {
  if (app.view !== 'book' || event.altKey || event.metaKey) return;
  if (isTypingTarget(event.target)) return;
  if (event.ctrlKey) {
    if ((event.key === 'b' || event.key === 'B' || event.code === 'KeyB') && bookView.book) {
      event.preventDefault();
      toggleBookmark();
    }
    return;
  }
  if (event.target.closest('[role="tree"]') || (indexIsDrawer() && indexIsOpen())) return;
  const onControl = Boolean(event.target.closest('button, a[href], summary, [role="button"]'));
  let key = event.key;
  if (key === ' ' || key === 'Spacebar') {
    // Space presses a focused button; elsewhere it reads on, Shift+Space back.
    if (onControl) return;
    key = event.shiftKey ? 'PageUp' : 'PageDown';
  } else if (event.shiftKey) {
    return;
  }
  if (key === 'PageDown' || key === 'PageUp') {
    event.preventDefault();
    const down = key === 'PageDown';
    // The page is read to its end before the next one comes.
    if (scrollPage(down)) return;
    if (turnPage(down ? 1 : -1) && !down) app.toEnd = true;
    return;
  }
  // The book reads right to left: the next page lies to the left.
  const step = { ArrowLeft: 1, ArrowRight: -1 }[key];
  if (!step) return;
  event.preventDefault();
  turnPage(step);
}

function showNoLibrary() {
  document.body.classList.add('template-1');
  document.getElementById('shelves-view').replaceChildren(
    el('p', { class: 'notice' }, 'فهرست کتاب‌های این لوح پیدا نشد.'));
  document.getElementById('music-toggle').remove();
  document.getElementById('search-form').remove();
  document.title = 'کتابخانه';
  showView('shelves');
  document.body.classList.remove('loading');
}

function start() {
  const library = readLibrary();
  if (!library) {
    showNoLibrary();
    return;
  }
  app.library = library;
  const body = document.body;
  body.classList.add('template-' + library.template, library.print ? 'print-on' : 'print-off');
  if (library.background) {
    body.style.setProperty('--background-image', 'url("' + dataUrl(library.background) + '")');
    body.classList.add('has-background');
  }
  document.getElementById('print-notice').textContent = library.print
    ? 'برای چاپ، صفحه‌ای از یک کتاب را باز کنید و دکمهٔ «چاپ» را بزنید.'
    : 'این لوح برای چاپ نیست.';

  renderShelves(document.getElementById('bookcase'), library, (book) => go(bookStartHash(book.slot)));
  setupMusic(library);
  setupReading(() => {
    // The letters as written, or in Persian: every view shown again.
    refreshShelves();
    if (app.view === 'book' && bookView.book) {
      document.getElementById('book-name').replaceChildren(nameNode(bookView.book.name));
      const book = bookView.book;
      bookView.book = null;
      showBookPage(library, book, bookView.index, null);
    } else if (app.view === 'search') {
      searchShown.key = null;
      route();
    }
  });
  setupBookView(library, (page) => go(bookHash(bookView.book.slot, page), true));

  document.getElementById('back-to-shelves').addEventListener('click', () => go(''));
  document.getElementById('search-back').addEventListener('click', () => go(''));
  document.getElementById('page-prev').addEventListener('click', () => turnPage(-1));
  document.getElementById('page-next').addEventListener('click', () => turnPage(1));
  document.getElementById('search-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const words = document.getElementById('search-input').value.trim();
    // A new search, even of the same words, is searched again.
    searchShown.key = null;
    go(searchHash(words, null));
  });
  document.getElementById('search-scope').addEventListener('change', (event) => {
    const input = event.target;
    const words = document.getElementById('search-scope').dataset.words || '';
    go(searchHash(words, input.value === 'book' ? input.dataset.slot : null), true);
  });
  document.addEventListener('keydown', onKey);
  window.addEventListener('hashchange', route);

  route();
  body.classList.remove('loading');
  window.requestAnimationFrame(() => performance.mark('zorvel-shelves'));
}

start();
