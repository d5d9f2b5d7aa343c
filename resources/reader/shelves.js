// The bookcase: three shelves, each with its places; a place holds a
// finished book or stays empty. A started book shows how far it is read.

const SHELF_NAMES = ['قفسه اول', 'قفسه دوم', 'قفسه سوم'];

// Books found unreadable during this visit.
const brokenBooks = new Set();

// A drawn cover for a book without a picture, or whose picture is missing.
function coverPlaceholder(name) {
  return el('span', { class: 'cover-placeholder', 'aria-hidden': 'true' },
    nameNode(name, 'cover-placeholder-name'));
}

function bookCover(book) {
  const frame = el('span', { class: 'cover' });
  if (!book.cover) {
    frame.append(coverPlaceholder(book.name));
    return frame;
  }
  const img = el('img', { class: 'cover-image', src: dataUrl(book.cover), alt: '', decoding: 'async' });
  img.addEventListener('error', () => img.replaceWith(coverPlaceholder(book.name)));
  frame.append(img);
  return frame;
}

function readPercent(book) {
  const page = prefPlaceOf(book.slot);
  if (page === null || book.pageCount < 1) return null;
  return Math.max(1, Math.min(100, Math.round(((Math.min(page, book.pageCount - 1) + 1) / book.pageCount) * 100)));
}

function bookProgress(book) {
  const percent = readPercent(book);
  if (percent === null) return null;
  return el('span', { class: 'shelf-book-progress' },
    el('span', { class: 'progress-bar', 'aria-hidden': 'true' },
      el('span', { class: 'progress-fill', style: 'width: ' + percent + '%' })),
    el('span', { class: 'visually-hidden' }, persianDigits(percent) + ' درصد خوانده شده'));
}

function shelfBook(book, onOpen) {
  const broken = brokenBooks.has(book.slot);
  const pages = broken ? null : book.pageCount > 0 ? persianDigits(book.pageCount) + ' صفحه' : null;
  return el('li', { class: broken ? 'place place-broken' : 'place' },
    el('button', { type: 'button', class: 'shelf-book', 'data-slot': book.slot, onclick: () => onOpen(book) },
      bookCover(book),
      broken ? null : bookProgress(book),
      el('span', { class: 'shelf-book-label' },
        nameNode(book.name, 'shelf-book-name'),
        pages && el('span', { class: 'shelf-book-pages' }, pages),
        broken ? el('span', { class: 'shelf-book-broken' }, 'خوانده نشد') : null)));
}

function emptyPlace() {
  return el('li', { class: 'place place-empty' },
    el('span', { class: 'place-empty-mark' }, el('span', { class: 'visually-hidden' }, 'جای خالی')));
}

const shelvesShown = { container: null, library: null, onOpen: null };

function renderShelves(container, library, onOpen) {
  Object.assign(shelvesShown, { container, library, onOpen });
  const shelves = [];
  for (let r = 0; r < ROW_COUNT; r++) {
    const books = library.books.filter((b) => b.row === r);
    // A book set on a place past the shelf's length still shows.
    const places = Math.max(library.rows[r], ...books.map((b) => b.place), 0);
    const byPlace = new Map(books.map((b) => [b.place, b]));
    const list = el('ul', { class: 'shelf-places' });
    for (let p = 1; p <= places; p++) {
      const book = byPlace.get(p);
      list.append(book ? shelfBook(book, onOpen) : emptyPlace());
    }
    const titleId = 'shelf-title-' + r;
    shelves.push(el('section', { class: places ? 'shelf' : 'shelf shelf-bare', 'aria-labelledby': titleId },
      el('h2', { class: 'shelf-title', id: titleId }, SHELF_NAMES[r]),
      list,
      el('div', { class: 'shelf-plank', 'aria-hidden': 'true' })));
  }
  container.replaceChildren(...shelves);
  const readable = library.books.filter((b) => !brokenBooks.has(b.slot));
  let summary = library.books.length
    ? persianDigits(library.books.length) + ' کتاب در این کتابخانه'
    : 'هنوز کتابی در این کتابخانه نیست.';
  if (readable.length < library.books.length) summary += '؛ ' + persianDigits(library.books.length - readable.length) + ' کتاب خوانده نشد';
  document.getElementById('shelves-summary').textContent = summary;
  document.getElementById('shelves-empty').hidden = library.books.length > 0;
}

// Refreshes the shelves (after a book turned out broken, or a place moved),
// keeping the focus on the book that had it.
function refreshShelves() {
  if (!shelvesShown.container) return;
  const focused = document.activeElement && document.activeElement.dataset ? document.activeElement.dataset.slot : null;
  renderShelves(shelvesShown.container, shelvesShown.library, shelvesShown.onOpen);
  if (focused) focusQuietly(document.querySelector('.shelf-book[data-slot="' + CSS.escape(focused) + '"]'));
}

function markBookBroken(slot) {
  if (brokenBooks.has(slot)) return;
  brokenBooks.add(slot);
  refreshShelves();
}

function renderResume(container, library, onResume) {
  const last = prefLastRead();
  const book = last && library.bySlot.get(last.slot);
  if (!book || brokenBooks.has(book.slot)) {
    container.replaceChildren();
    container.hidden = true;
    return;
  }
  container.hidden = false;
  // One run of text beside the icon, so no gap opens before the comma.
  container.replaceChildren(
    el('button', { type: 'button', class: 'resume-button', id: 'resume-button', onclick: () => onResume(last) },
      el('span', { class: 'resume-icon', 'aria-hidden': 'true' }),
      el('span', { class: 'resume-text' },
        'ادامه مطالعه: ', nameNode(book.name), '، صفحه ' + persianDigits(last.page + 1))));
}
