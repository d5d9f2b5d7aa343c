// The bookcase: three shelves, each with its places; a place holds a
// finished book or stays empty.

const SHELF_NAMES = ['قفسه اول', 'قفسه دوم', 'قفسه سوم'];

// A drawn cover for a book without a picture, or whose picture is missing.
function coverPlaceholder(name) {
  return el('span', { class: 'cover-placeholder', 'aria-hidden': 'true' },
    el('span', { class: 'cover-placeholder-name' }, name));
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

function shelfBook(book, onOpen) {
  const pages = book.pageCount > 0 ? persianDigits(book.pageCount) + ' صفحه' : null;
  return el('li', { class: 'place' },
    el('button', { type: 'button', class: 'shelf-book', 'data-slot': book.slot, onclick: () => onOpen(book) },
      bookCover(book),
      el('span', { class: 'shelf-book-label' },
        el('span', { class: 'shelf-book-name' }, book.name),
        pages && el('span', { class: 'shelf-book-pages' }, pages))));
}

function emptyPlace() {
  return el('li', { class: 'place place-empty' },
    el('span', { class: 'place-empty-mark' }, el('span', { class: 'visually-hidden' }, 'جای خالی')));
}

function renderShelves(container, library, onOpen) {
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
  document.getElementById('shelves-summary').textContent = library.books.length
    ? persianDigits(library.books.length) + ' کتاب در این کتابخانه'
    : 'هنوز کتابی در این کتابخانه نیست.';
}

function renderResume(container, library, onResume) {
  const last = prefLastRead();
  const book = last && library.bySlot.get(last.slot);
  if (!book) {
    container.replaceChildren();
    container.hidden = true;
    return;
  }
  container.hidden = false;
  container.replaceChildren(
    el('button', { type: 'button', class: 'resume-button', id: 'resume-button', onclick: () => onResume(last) },
      el('span', { class: 'resume-icon', 'aria-hidden': 'true' }),
      'ادامه مطالعه: ',
      el('bdi', null, book.name),
      '، صفحه ' + persianDigits(last.page + 1)));
}
