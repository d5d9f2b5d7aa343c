// Search across the books of the CD, or in one of them. Nothing is loaded
// for search until a search starts. Each book's searchable text is one
// string in search form (see fold.js): every page's title and paragraphs,
// one to a line. The export may write it beside the book (data/<slot>.search.js);
// otherwise it is made from the book on first use. Results come book by
// book, grouped, each group with all its pages reachable.

const RESULTS_FIRST = 10;
const RESULTS_MORE = 50;
const SNIPPET_BEFORE = 45;
const SNIPPET_AFTER = 90;
// A search still running after this long shows how far it has come.
const SEARCH_PROGRESS_DELAY_MS = 300;

const searchIndexes = new Map();

function isGapChar(ch) {
  return ch === ' ' || ch === '\u200c';
}

function escapeRegExp(s) {
  return s.replace(/[\\^$.*+?()[\]{}|]/g, '\\$&');
}

// One run of query text (a word, or the whole query as a phrase): a regular
// expression that lets a space, a joint or nothing stand between letters,
// and the positions where the query itself has a gap.
function queryToken(text) {
  let source = '';
  let units = 0;
  const marked = new Set();
  let prev = -1;
  for (let i = 0; i < text.length; i++) {
    const ch = text[i];
    if (isGapChar(ch)) {
      marked.add(units);
      continue;
    }
    const c = text.charCodeAt(i);
    if (units > 0 && (marked.has(units) || (isLetterCode(prev) && isLetterCode(c)))) source += '[ \u200c]?';
    source += escapeRegExp(ch);
    units++;
    prev = c;
  }
  return { re: new RegExp(source, 'g'), marked };
}

// A gap that the query does not have may be bridged only between two parts
// of at least two letters each, so "میرفت" finds «می‌رفت» while "ها" does
// not find the end of «چشمه‌» and the start of «ای».
function bridgesHold(match, marked) {
  const pieces = [0];
  const bridges = [];
  let k = 0;
  for (let i = 0; i < match.length; i++) {
    if (isGapChar(match[i])) {
      if (!marked.has(k)) bridges.push(pieces.length - 1);
      pieces.push(0);
    } else {
      pieces[pieces.length - 1]++;
      k++;
    }
  }
  return bridges.every((b) => pieces[b] >= 2 && pieces[b + 1] >= 2);
}

function isWordEdge(text, at) {
  if (at < 0 || at >= text.length) return true;
  const c = text.charCodeAt(at);
  return c !== SEARCH_JOINT && !isLetterCode(c) && !(c >= 0x30 && c <= 0x39);
}

// Calls found(start, end, whole) for each hit of token in text.
function eachHit(text, token, found) {
  const re = token.re;
  re.lastIndex = 0;
  let m;
  while ((m = re.exec(text)) !== null) {
    const start = m.index;
    const end = start + m[0].length;
    if (!bridgesHold(m[0], token.marked)) {
      re.lastIndex = start + 1;
      continue;
    }
    found(start, end, isWordEdge(text, start - 1) && isWordEdge(text, end));
    re.lastIndex = end > start ? end : start + 1;
  }
}

// What a search looks for: the whole query as a phrase and, with several
// words, each word on its own. null for a query with nothing to find.
function makeMatcher(rawQuery) {
  const folded = searchFold(String(rawQuery || '')).text;
  if (!folded) return null;
  const words = folded.split(' ').filter((w) => w !== '').slice(0, 30);
  return {
    text: folded,
    phrase: queryToken(folded),
    words: words.length > 1 ? words.map(queryToken) : [],
  };
}

// Original [start, end, whole] of the hits in one text of a page; with
// phraseOnly false, the hits of each word as well.
function matcherRanges(matcher, original, phraseOnly) {
  if (!matcher || !original) return [];
  const folded = searchFold(original, true);
  const ranges = [];
  const add = (start, end, whole) => ranges.push(foldOriginalRange(original, folded.map, start, end - start).concat([whole]));
  eachHit(folded.text, matcher.phrase, add);
  if (!phraseOnly) for (const w of matcher.words) eachHit(folded.text, w, add);
  ranges.sort((a, b) => a[0] - b[0] || b[1] - a[1]);
  // Overlapping hits of different words become one mark.
  const merged = [];
  for (const r of ranges) {
    const last = merged[merged.length - 1];
    if (last && r[0] < last[1]) {
      last[1] = Math.max(last[1], r[1]);
      last[2] = last[2] || r[2];
    } else {
      merged.push(r.slice());
    }
  }
  return merged;
}

// The ranges to mark on a page: the phrase where the page has it,
// otherwise the words; of one word, the whole words where there are any,
// so that "و" does not light up inside every other word.
function pageMarkRanges(matcher, texts) {
  if (!matcher) return texts.map(() => []);
  let ranges = texts.map((t) => matcherRanges(matcher, t, true));
  if (matcher.words.length && !ranges.some((r) => r.length)) ranges = texts.map((t) => matcherRanges(matcher, t, false));
  if (!matcher.words.length && ranges.some((r) => r.some((h) => h[2]))) ranges = ranges.map((r) => r.filter((h) => h[2]));
  return ranges;
}

// The texts of a page that search reads: its title, then its paragraphs.
function pageTexts(page) {
  const texts = [page.title];
  for (const block of page.blocks) if (block.text !== undefined) texts.push(block.text);
  return texts;
}

// A book's search text made here: the lines of every page, and where each
// page starts.
function buildSearchIndex(book) {
  const parts = [];
  const starts = [];
  let at = 0;
  for (const page of book.pages) {
    starts.push(at);
    for (const t of pageTexts(page)) {
      const f = searchFold(t).text;
      parts.push(f);
      at += f.length + 1;
    }
  }
  return { text: parts.join('\n'), starts };
}

function validIndex(raw, pageCount) {
  if (!raw || raw.format !== SEARCH_FOLD_FORMAT || typeof raw.text !== 'string' || !Array.isArray(raw.starts)) return null;
  if (raw.starts.length !== pageCount) return null;
  return { text: raw.text, starts: raw.starts };
}

// A promise of the book's search text, or null when the book cannot be read.
function searchIndexOf(library, slot) {
  if (searchIndexes.has(slot)) return searchIndexes.get(slot);
  const entry = library.bySlot.get(slot);
  const fromBook = () => loadBook(library, slot).then((book) => (book ? buildSearchIndex(book) : null));
  let promise;
  if (entry && entry.search) {
    promise = loadScript(bookScriptUrl(entry.search)).then((ok) => {
      const raw = ok && window.ZORVEL_SEARCH ? window.ZORVEL_SEARCH[slot] : null;
      const index = validIndex(raw, entry.pageCount);
      if (window.ZORVEL_SEARCH) delete window.ZORVEL_SEARCH[slot];
      return index || fromBook();
    });
  } else {
    promise = fromBook();
  }
  searchIndexes.set(slot, promise);
  return promise;
}

// The pages of one book that match: [{page, count, rank}] in the order to
// show, best first. rank 0: the phrase (or, for one word, a whole word);
// rank 1: the words apart, or the word inside longer words.
function searchPages(index, matcher) {
  const pageOf = (() => {
    let p = 0;
    return (at) => {
      if (p > 0 && at < index.starts[p]) p = 0;
      while (p + 1 < index.starts.length && index.starts[p + 1] <= at) p++;
      return p;
    };
  })();
  const pages = new Map();
  const page = (p) => {
    let r = pages.get(p);
    if (!r) {
      r = { page: p, count: 0, best: 0, words: 0, wordHits: 0 };
      pages.set(p, r);
    }
    return r;
  };
  const single = matcher.words.length === 0;
  eachHit(index.text, matcher.phrase, (start, end, whole) => {
    const r = page(pageOf(start));
    r.count++;
    if (!single || whole) r.best++;
  });
  if (!single) {
    matcher.words.forEach((w, i) => {
      eachHit(index.text, w, (start) => {
        const r = page(pageOf(start));
        r.wordHits++;
        r.words |= 1 << Math.min(i, 30);
      });
    });
  }
  const all = (1 << Math.min(matcher.words.length, 31)) - 1;
  const out = [];
  for (const r of pages.values()) {
    if (!single && r.count === 0 && r.words !== all) continue;
    out.push({ page: r.page, count: r.count || r.wordHits, rank: r.best > 0 ? 0 : 1 });
  }
  return out.sort((a, b) => a.rank - b.rank || a.page - b.page);
}

function snippet(text, ranges) {
  if (!ranges.length) return [shownText(text.slice(0, SNIPPET_BEFORE + SNIPPET_AFTER)), text.length > SNIPPET_BEFORE + SNIPPET_AFTER ? ' …' : ''];
  const [from, to] = ranges[0];
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
    shownText(text.slice(start, from)),
    el('mark', null, shownText(text.slice(from, to))),
    shownText(text.slice(to, end)),
    end < text.length ? ' …' : '',
  ];
}

// The snippet's text: the first paragraph with a hit, else the title.
function resultSnippet(page, matcher) {
  const texts = pageTexts(page);
  const ranges = pageMarkRanges(matcher, texts);
  for (let i = 1; i < texts.length; i++) if (ranges[i].length) return snippet(texts[i], ranges[i]);
  if (ranges[0].length) return snippet(texts[0], ranges[0]);
  return snippet(texts[1] || texts[0], []);
}

function resultItem(book, result, matcher, onOpen) {
  const page = book.pages[result.page];
  const href = bookHash(book.slot, result.page);
  const link = el('a', { class: 'result-link', href, 'data-slot': book.slot, 'data-page': String(result.page) },
    el('span', { class: 'result-where' },
      nameNode(book.name, 'result-book'),
      el('span', { class: 'result-sep', 'aria-hidden': 'true' }, ' › '),
      page.title ? nameNode(page.title, 'result-title') : el('span', { class: 'result-title' }, bookPosition(result.page, book.pages.length)),
      result.count > 1 ? el('span', { class: 'result-count' }, persianDigits(result.count) + ' مورد') : null),
    el('span', { class: 'result-snippet' }, resultSnippet(page, matcher)));
  link.addEventListener('click', () => onOpen(book, result, link));
  return el('li', { class: 'result' }, link);
}

// One book's group: its name and count, its first results and a button
// for the rest.
function resultGroup(book, results, matcher, onOpen) {
  const headId = 'result-group-' + book.slot;
  const list = el('ol', { class: 'result-list' });
  const group = el('li', { class: 'result-group', 'data-slot': book.slot, 'aria-labelledby': headId },
    el('h2', { class: 'result-group-head', id: headId },
      nameNode(book.name, 'result-group-name'),
      el('span', { class: 'result-group-count' }, persianDigits(results.length) + ' صفحه')),
    list);
  let shown = 0;
  let more = null;
  const showMore = (count) => {
    const next = results.slice(shown, shown + count);
    list.append(...next.map((r) => resultItem(book, r, matcher, onOpen)));
    shown += next.length;
    const left = results.length - shown;
    if (left > 0) {
      if (!more) {
        more = el('button', { type: 'button', class: 'result-more', onclick: () => {
          const first = shown;
          showMore(RESULTS_MORE);
          const link = list.children[first] && list.children[first].querySelector('a');
          if (link) link.focus();
        } });
        group.append(more);
      }
      more.textContent = 'نمایش ' + persianDigits(Math.min(left, RESULTS_MORE)) + ' نتیجهٔ دیگر از ' + persianDigits(left);
    } else if (more) {
      more.remove();
      more = null;
    }
  };
  group.showAll = () => showMore(results.length);
  showMore(RESULTS_FIRST);
  return group;
}

let searchToken = 0;
// What the search view shows, so that coming back from a result finds it
// as it was left.
const searchShown = { key: null, done: false, scrollY: 0, slot: null, page: null };

function searchStatus(text) {
  document.getElementById('search-status').textContent = text;
}

function bookNamesList(names) {
  return names.map((n) => '«' + shownText(n) + '»').join('، ');
}

// Shows the results of query over the books (all, or the one of onlySlot).
// A newer search stops an older one between books.
function runSearch(library, rawQuery, onlySlot, onOpen) {
  const token = ++searchToken;
  const matcher = makeMatcher(rawQuery);
  const list = document.getElementById('search-results');
  const progress = document.getElementById('search-progress');
  list.replaceChildren();
  progress.hidden = true;
  searchShown.key = searchKey(rawQuery, onlySlot);
  searchShown.done = false;
  searchShown.scrollY = 0;
  searchShown.slot = null;
  if (!matcher) {
    searchStatus('عبارتی برای جستجو بنویسید.');
    searchShown.done = true;
    return Promise.resolve();
  }
  const books = library.books.filter((b) => !onlySlot || b.slot === onlySlot);
  searchStatus('در حال جستجو…');
  const progressTimer = window.setTimeout(() => {
    if (token === searchToken && !searchShown.done) progress.hidden = false;
  }, SEARCH_PROGRESS_DELAY_MS);
  progress.max = books.length;
  progress.value = 0;
  let found = 0;
  let inBooks = 0;
  const unread = [];
  const finish = () => {
    window.clearTimeout(progressTimer);
    progress.hidden = true;
    searchShown.done = true;
    let text = found === 0 ? 'چیزی پیدا نشد.'
      : persianDigits(found) + ' صفحه در ' + persianDigits(inBooks) + ' کتاب پیدا شد.';
    if (unread.length) text += ' ' + (unread.length === 1 ? 'این کتاب خوانده نشد: ' : 'این کتاب‌ها خوانده نشدند: ') + bookNamesList(unread) + '.';
    searchStatus(text);
  };
  const step = (i) => {
    if (token !== searchToken) return Promise.resolve();
    if (i >= books.length) {
      finish();
      return Promise.resolve();
    }
    const entry = books[i];
    return searchIndexOf(library, entry.slot).then((index) => {
      if (token !== searchToken) return undefined;
      progress.value = i + 1;
      searchStatus('در حال جستجو… ' + persianDigits(i + 1) + ' از ' + persianDigits(books.length) + ' کتاب');
      if (!index) {
        unread.push(entry.name);
        markBookBroken(entry.slot);
        return nextTask().then(() => step(i + 1));
      }
      const results = searchPages(index, matcher);
      if (!results.length) return nextTask().then(() => step(i + 1));
      return loadBook(library, entry.slot).then((book) => {
        if (token !== searchToken) return undefined;
        if (!book) {
          unread.push(entry.name);
          markBookBroken(entry.slot);
        } else {
          inBooks++;
          found += results.length;
          list.append(resultGroup(book, results, matcher, onOpen));
        }
        return nextTask().then(() => step(i + 1));
      });
    });
  };
  return step(0);
}

function searchKey(rawQuery, onlySlot) {
  return (onlySlot || '') + '\n' + String(rawQuery || '').trim();
}

function nextTask() {
  return new Promise((resolve) => window.setTimeout(resolve, 0));
}
