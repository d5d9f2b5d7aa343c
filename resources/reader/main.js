// Starts the reader and moves between its views. The address's fragment
// holds where the reader is, so the browser's back button and a reload
// keep the place:  "" shelves,  #/book/<slot>/<page>,  #/search/<words>.

const app = { library: null, view: null, mark: null };

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

function route() {
  const library = app.library;
  const hash = location.hash;
  const bookMatch = /^#\/book\/([^/]+)\/(\d+)$/.exec(hash);
  const searchMatch = /^#\/search\/(.*)$/.exec(hash);

  if (bookMatch) {
    const slot = decodePart(bookMatch[1]);
    const wanted = Number(bookMatch[2]) - 1;
    const mark = app.mark && app.mark.slot === slot && app.mark.page === wanted ? app.mark.query : '';
    app.mark = null;
    const entered = showView('book');
    musicFor(library, 'book');
    const entry = library.bySlot.get(slot);
    if (!bookView.book || bookView.book.slot !== slot) {
      document.getElementById('book-name').textContent = entry ? entry.name : '';
    }
    loadBook(library, slot).then((book) => {
      if (location.hash !== hash) return;
      if (!book || !book.pages.length) {
        showBookMissing();
        return;
      }
      const index = Math.max(0, Math.min(book.pages.length - 1, wanted));
      const opened = bookView.book !== book;
      showBookPage(library, book, index, mark);
      if (entered || opened) focusQuietly(document.getElementById('book-name'));
    });
    return;
  }

  if (searchMatch) {
    const words = decodePart(searchMatch[1]);
    document.getElementById('search-input').value = words;
    if (showView('search')) focusQuietly(document.getElementById('search-heading'));
    musicFor(library, 'shelves');
    runSearch(library, words, (result) => {
      app.mark = { slot: result.book.slot, page: result.page, query: foldText(words.trim().replace(/\s+/g, ' ')) };
    });
    return;
  }

  const from = bookView.book && app.view === 'book' ? bookView.book.slot : null;
  showView('shelves');
  if (from) focusQuietly(document.querySelector('.shelf-book[data-slot="' + CSS.escape(from) + '"]'));
  musicFor(library, 'shelves');
  document.title = 'کتابخانه';
  renderResume(document.getElementById('resume'), library, (last) => go(bookHash(last.slot, last.page)));
}

function turnPage(step) {
  const book = bookView.book;
  if (app.view !== 'book' || !book) return;
  const index = bookView.index + step;
  if (index < 0 || index >= book.pages.length) return;
  go(bookHash(book.slot, index), true);
}

function onKey(event) {
  if (app.view !== 'book' || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
  if (isTypingTarget(event.target) || event.target.closest('[role="tree"]')) return;
  // The book reads right to left: the next page lies to the left.
  const step = { ArrowLeft: 1, PageDown: 1, ArrowRight: -1, PageUp: -1 }[event.key];
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

  renderShelves(document.getElementById('bookcase'), library, (book) => go(bookHash(book.slot, 0)));
  setupMusic(library);
  setupTextSize();
  setupBookView(library, (page) => go(bookHash(bookView.book.slot, page), true));

  document.getElementById('back-to-shelves').addEventListener('click', () => go(''));
  document.getElementById('search-back').addEventListener('click', () => go(''));
  document.getElementById('page-prev').addEventListener('click', () => turnPage(-1));
  document.getElementById('page-next').addEventListener('click', () => turnPage(1));
  document.getElementById('search-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const words = document.getElementById('search-input').value.trim();
    go('#/search/' + encodeURIComponent(words));
  });
  document.addEventListener('keydown', onKey);
  window.addEventListener('hashchange', route);

  route();
  body.classList.remove('loading');
  window.requestAnimationFrame(() => performance.mark('zorvel-shelves'));
  // Search wants every book folded; do it while nobody waits.
  preloadBooks(library, (book) => idle(() => foldedPages(book)));
}

start();
