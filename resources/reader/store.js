// The CD's data: the library read from data/library.js, and each book's
// script loaded once, on demand, by a <script> element (the only way to
// read a local file from a page opened from file://).

const ROW_COUNT = 3;
const PLACES_MAX = 10;

function asText(v) {
  return typeof v === 'string' ? v : '';
}

function asPath(v) {
  return typeof v === 'string' && v !== '' ? v : null;
}

function readLibrary() {
  const raw = window.ZORVEL_LIBRARY;
  if (!raw || typeof raw !== 'object') return null;
  const s = raw.settings || {};
  const rows = [];
  for (let r = 0; r < ROW_COUNT; r++) {
    const n = Array.isArray(s.rows) ? Number(s.rows[r]) : 0;
    rows.push(Number.isInteger(n) ? Math.max(0, Math.min(PLACES_MAX, n)) : 0);
  }
  const music = raw.music || {};
  const books = (Array.isArray(raw.books) ? raw.books : [])
    .filter((b) => b && typeof b.slot === 'string' && b.slot !== '' && typeof b.script === 'string')
    .map((b) => ({
      slot: b.slot,
      row: Number.isInteger(b.row) && b.row >= 0 && b.row < ROW_COUNT ? b.row : 0,
      place: Number.isInteger(b.place) && b.place >= 1 ? Math.min(b.place, PLACES_MAX) : 1,
      name: asText(b.name),
      cover: asPath(b.cover),
      pageCount: Number.isInteger(b.pageCount) ? b.pageCount : 0,
      script: b.script,
      search: asPath(b.search),
    }))
    .sort((a, b) => a.row - b.row || a.place - b.place);
  return {
    rows,
    template: s.template === 2 ? 2 : 1,
    music: s.music === true,
    print: s.print === true,
    background: asPath(raw.background),
    tracks: { shelves: asPath(music.shelves), book: asPath(music.book) },
    books,
    bySlot: new Map(books.map((b) => [b.slot, b])),
  };
}

function normalizeToc(nodes, pageCount) {
  if (!Array.isArray(nodes)) return [];
  const out = [];
  for (const n of nodes) {
    if (!n || typeof n !== 'object') continue;
    if (Array.isArray(n.children)) {
      out.push({ label: asText(n.label), children: normalizeToc(n.children, pageCount) });
    } else if (Number.isInteger(n.page) && n.page >= 0 && n.page < pageCount) {
      out.push({ label: asText(n.label), page: n.page });
    }
  }
  return out;
}

function normalizeBlocks(blocks) {
  if (!Array.isArray(blocks)) return [];
  const out = [];
  for (const b of blocks) {
    if (!b || typeof b !== 'object') continue;
    if (typeof b.text === 'string') out.push({ text: b.text });
    else if (asPath(b.image)) out.push({ image: b.image });
  }
  return out;
}

function normalizeBook(raw, entry) {
  const pages = (Array.isArray(raw.pages) ? raw.pages : []).map((p) => {
    p = p && typeof p === 'object' ? p : {};
    return {
      title: asText(p.title),
      identity: p.identity === true,
      blocks: normalizeBlocks(p.blocks),
      picture: asPath(p.picture),
      sound: asPath(p.sound),
      film: asPath(p.film),
      printable: asPath(p.printable),
    };
  });
  return {
    slot: entry.slot,
    name: asText(raw.name) || entry.name,
    toc: normalizeToc(raw.toc, pages.length),
    pages,
  };
}

const bookPromises = new Map();

// The script's path is beside the reader page ("data/a1.js"); one given
// from the Data folder ("reader/data/a1.js") is taken too.
function bookScriptUrl(script) {
  return script.startsWith('reader/') ? dataUrl(script) : readerUrl(script);
}

// Data scripts that failed to run (a file cut short) count as books that
// cannot be read; a data script's error is not the reader's own.
const brokenScripts = new Set();

window.addEventListener('error', (event) => {
  const script = event.filename ? new URL(event.filename, location.href).href : '';
  if (!/\/data\/[^/]+\.js$/.test(script)) return;
  brokenScripts.add(script);
  event.preventDefault();
});

// A promise of true when the script ran to its end, false otherwise.
function loadScript(url) {
  return new Promise((resolve) => {
    const script = document.createElement('script');
    script.src = url;
    script.async = true;
    script.addEventListener('load', () => {
      resolve(!brokenScripts.has(script.src));
      script.remove();
    });
    script.addEventListener('error', () => {
      resolve(false);
      script.remove();
    });
    document.head.append(script);
  });
}

// A promise of the normalized book; it never rejects, a book that cannot
// be read gives null.
function loadBook(library, slot) {
  if (bookPromises.has(slot)) return bookPromises.get(slot);
  const entry = library.bySlot.get(slot);
  const promise = !entry ? Promise.resolve(null) : loadScript(bookScriptUrl(entry.script)).then((ok) => {
    const raw = ok && window.ZORVEL_BOOKS ? window.ZORVEL_BOOKS[slot] : null;
    const book = raw && typeof raw === 'object' ? normalizeBook(raw, entry) : null;
    return book && book.pages.length ? book : null;
  });
  bookPromises.set(slot, promise);
  return promise;
}
