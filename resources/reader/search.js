// Search across every book of the CD. Each page is folded once and kept;
// a hit found in folded text is mapped back to the original characters
// for the snippet. Results come book by book, so the first show at once.

const SEARCH_PAGES_MAX = 300;
const RESULTS_BATCH = 25;
const SNIPPET_BEFORE = 45;
const SNIPPET_AFTER = 90;

const foldedBooks = new Map();

// The searchable texts of each page: its title and its paragraphs, folded.
function foldedPages(book) {
  let pages = foldedBooks.get(book.slot);
  if (pages) return pages;
  pages = book.pages.map((page) => {
    const units = [{ text: page.title, folded: foldText(page.title) }];
    for (const block of page.blocks) {
      if (block.text !== undefined) units.push({ text: block.text, folded: foldText(block.text) });
    }
    return units;
  });
  foldedBooks.set(book.slot, pages);
  return pages;
}

// One result per page: how many hits it has, and the one its snippet
// shows, from the text rather than the title, which the result names anyway.
function searchBook(book, query, max) {
  const results = [];
  const pages = foldedPages(book);
  for (let p = 0; p < pages.length && results.length < max; p++) {
    let shown = null;
    let count = 0;
    const units = pages[p];
    for (let u = 0; u < units.length; u++) {
      const hits = foldFindAll(units[u].folded, query, PAGE_MARKS_MAX);
      if (!hits.length) continue;
      count += hits.length;
      if (!shown || (shown.unit === units[0] && u > 0)) shown = { unit: units[u], at: hits[0] };
    }
    if (shown) results.push({ book, page: p, count, unit: shown.unit, at: shown.at });
  }
  return results;
}

function snippet(text, from, to) {
  let start = Math.max(0, from - SNIPPET_BEFORE);
  let end = Math.min(text.length, to + SNIPPET_AFTER);
  // Cut at spaces so words stay whole.
  if (start > 0) {
    const space = text.indexOf(' ', start);
    if (space >= 0 && space < from) start = space + 1;
  }
  if (end < text.length) {
    const space = text.lastIndexOf(' ', end);
    if (space > to) end = space;
  }
  return [
    start > 0 ? '… ' : '',
    text.slice(start, from),
    el('mark', null, text.slice(from, to)),
    text.slice(to, end),
    end < text.length ? ' …' : '',
  ];
}

function resultItem(result, query, onOpen) {
  const unit = result.unit;
  const folded = foldWithMap(unit.text);
  const [from, to] = foldOriginalRange(unit.text, folded.map, result.at, query.length);
  const page = result.book.pages[result.page];
  const href = '#/book/' + encodeURIComponent(result.book.slot) + '/' + (result.page + 1);
  const link = el('a', { class: 'result-link', href, 'data-slot': result.book.slot, 'data-page': String(result.page) },
    el('span', { class: 'result-where' },
      el('span', { class: 'result-book' }, result.book.name),
      el('span', { class: 'result-sep', 'aria-hidden': 'true' }, ' › '),
      el('span', { class: 'result-title' }, page.title || bookPosition(result.page, result.book.pages.length)),
      result.count > 1 ? el('span', { class: 'result-count' }, persianDigits(result.count) + ' مورد') : null),
    el('span', { class: 'result-snippet' }, snippet(unit.text, from, to)));
  link.addEventListener('click', () => onOpen(result));
  return el('li', { class: 'result' }, link);
}

let searchToken = 0;

function searchStatus(text) {
  document.getElementById('search-status').textContent = text;
}

// Shows the results of query in the search view; a newer search stops an
// older one between books.
function runSearch(library, rawQuery, onOpen) {
  const token = ++searchToken;
  const query = foldText(rawQuery.trim().replace(/\s+/g, ' '));
  const list = document.getElementById('search-results');
  list.replaceChildren();
  document.getElementById('search-heading').textContent = rawQuery.trim()
    ? 'جستجوی «' + rawQuery.trim() + '»' : 'جستجو';
  if (!query) {
    searchStatus('عبارتی برای جستجو بنویسید.');
    return Promise.resolve();
  }
  searchStatus('در حال جستجو…');
  let found = 0;
  let books = 0;
  let unread = 0;
  const step = (i) => {
    if (token !== searchToken) return Promise.resolve();
    if (i >= library.books.length || found >= SEARCH_PAGES_MAX) {
      let text = found === 0 ? 'چیزی پیدا نشد.'
        : persianDigits(found) + ' صفحه در ' + persianDigits(books) + ' کتاب پیدا شد.';
      if (found >= SEARCH_PAGES_MAX) text += ' فقط همین تعداد نشان داده می‌شود؛ برای نتیجهٔ دقیق‌تر، عبارت بلندتری بنویسید.';
      if (unread) text += ' ' + persianDigits(unread) + ' کتاب خوانده نشد.';
      searchStatus(text);
      return Promise.resolve();
    }
    return loadBook(library, library.books[i].slot).then((book) => {
      if (token !== searchToken) return undefined;
      if (!book) {
        unread++;
      } else {
        const results = searchBook(book, query, SEARCH_PAGES_MAX - found);
        if (results.length) {
          books++;
          found += results.length;
          return showResults(results, 0).then(() => step(i + 1));
        }
      }
      return nextTask().then(() => step(i + 1));
    });
  };
  // A few results at a time, so the first ones paint before the rest are made.
  const showResults = (results, from) => {
    if (token !== searchToken) return Promise.resolve();
    const batch = results.slice(from, from + RESULTS_BATCH);
    list.append(...batch.map((r) => resultItem(r, query, onOpen)));
    return nextTask().then(() => (from + RESULTS_BATCH < results.length ? showResults(results, from + RESULTS_BATCH) : undefined));
  };
  return step(0);
}

function nextTask() {
  return new Promise((resolve) => window.setTimeout(resolve, 0));
}
