// The book view: the bar with the book's name and position, the index
// (beside the page or in a drawer) and the page itself.

const bookView = { book: null, index: 0, tree: null };

function bookPosition(index, count) {
  return 'صفحه ' + persianDigits(index + 1) + ' از ' + persianDigits(count);
}

// The light template and small windows show the index as a drawer.
const DRAWER_QUERY = '(max-width: 800px)';

function indexIsDrawer() {
  return document.getElementById('book-view').classList.contains('index-drawer');
}

function setIndexOpen(open) {
  const view = document.getElementById('book-view');
  view.classList.toggle('index-open', open);
  document.getElementById('index-toggle').setAttribute('aria-expanded', open ? 'true' : 'false');
  if (open && bookView.tree) bookView.tree.focusCurrent();
}

function closeIndexDrawer() {
  setIndexOpen(false);
  document.getElementById('index-toggle').focus();
}

function setupBookView(library, onPick) {
  const view = document.getElementById('book-view');
  const panel = document.getElementById('index-panel');
  const toggle = document.getElementById('index-toggle');
  const narrow = window.matchMedia(DRAWER_QUERY);
  const layout = () => {
    const drawer = library.template === 2 || narrow.matches;
    view.classList.toggle('index-drawer', drawer);
    if (!drawer) setIndexOpen(false);
  };
  layout();
  narrow.addEventListener('change', layout);

  toggle.addEventListener('click', () => setIndexOpen(!view.classList.contains('index-open')));
  document.getElementById('index-close').addEventListener('click', closeIndexDrawer);
  panel.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && indexIsDrawer()) closeIndexDrawer();
  });
  // A click beside the open drawer closes it.
  document.addEventListener('click', (event) => {
    if (!view.classList.contains('index-open')) return;
    if (panel.contains(event.target) || toggle.contains(event.target)) return;
    setIndexOpen(false);
  });
  bookView.onPick = onPick;
}

function showBookPage(library, book, index, query) {
  if (bookView.book !== book) {
    bookView.book = book;
    bookView.tree = createIndexTree(book, (page) => {
      if (indexIsDrawer()) {
        setIndexOpen(false);
        focusQuietly(document.getElementById('book-name'));
      }
      bookView.onPick(page);
    });
    document.getElementById('index-tree-holder').replaceChildren(bookView.tree.element);
    document.getElementById('book-name').textContent = book.name;
    setIndexOpen(false);
  }
  bookView.index = index;
  const count = book.pages.length;
  const article = renderPage(document.getElementById('page-holder'), book, index, { print: library.print, query });
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
  prefSet('lastRead', { slot: book.slot, page: index });
  document.title = book.name + ' — ' + bookPosition(index, count);

  const mark = article.querySelector('mark');
  if (mark) {
    mark.classList.add('current');
    mark.scrollIntoView({ block: 'center' });
  } else {
    window.scrollTo(0, 0);
  }
}

function showBookMissing() {
  bookView.book = null;
  bookView.tree = null;
  document.getElementById('index-tree-holder').replaceChildren();
  document.getElementById('book-name').textContent = '';
  document.getElementById('book-position').textContent = '';
  document.getElementById('page-prev').disabled = true;
  document.getElementById('page-next').disabled = true;
  document.getElementById('page-holder').replaceChildren(
    el('p', { class: 'notice' }, 'این کتاب روی این لوح خوانده نشد.'));
}

function applyTextSize(i) {
  document.documentElement.style.setProperty('--text-scale', String(TEXT_SIZES[i]));
  document.getElementById('text-smaller').disabled = i <= 0;
  document.getElementById('text-larger').disabled = i >= TEXT_SIZES.length - 1;
}

function setupTextSize() {
  let i = prefTextSizeIndex();
  applyTextSize(i);
  const change = (step) => {
    i = Math.max(0, Math.min(TEXT_SIZES.length - 1, i + step));
    prefSet('textSize', i);
    applyTextSize(i);
  };
  document.getElementById('text-smaller').addEventListener('click', () => change(-1));
  document.getElementById('text-larger').addEventListener('click', () => change(1));
}
