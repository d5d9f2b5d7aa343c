// The reader's remembered choices. Every page opened from file:// may share
// one storage, so the keys carry this CD's folder to keep CDs apart. With
// storage switched off or full, the choices live in memory for the visit.

const PREFS_PREFIX = 'zorvel:' + location.pathname.replace(/[^/]*$/, '') + ':';

const TEXT_SIZES = [0.85, 1, 1.15, 1.3, 1.5, 1.75, 2];
const TEXT_SIZE_DEFAULT = 1;
const LINE_SPACINGS = [1.7, 2.05, 2.45];
const MARGINS = ['narrow', 'normal', 'wide'];
const THEMES = ['template', 'sepia', 'night'];

const prefMemory = new Map();

function prefGet(name) {
  if (prefMemory.has(name)) return prefMemory.get(name);
  try {
    const raw = window.localStorage.getItem(PREFS_PREFIX + name);
    return raw === null ? null : JSON.parse(raw);
  } catch (e) {
    return null;
  }
}

function prefSet(name, value) {
  prefMemory.set(name, value);
  try {
    window.localStorage.setItem(PREFS_PREFIX + name, JSON.stringify(value));
  } catch (e) {
    // Kept in memory only: the choice lasts for this visit.
  }
}

function prefIndex(name, count, fallback) {
  const i = prefGet(name);
  return Number.isInteger(i) && i >= 0 && i < count ? i : fallback;
}

function prefTextSizeIndex() {
  return prefIndex('textSize', TEXT_SIZES.length, TEXT_SIZES.indexOf(TEXT_SIZE_DEFAULT));
}

function prefLineSpacingIndex() {
  return prefIndex('lineSpacing', LINE_SPACINGS.length, 1);
}

function prefMarginIndex() {
  return prefIndex('margins', MARGINS.length, 1);
}

// The reading view's theme; on the first visit a dark system asks for night.
function prefTheme() {
  const t = prefGet('theme');
  if (THEMES.includes(t)) return t;
  return window.matchMedia && window.matchMedia('(prefers-color-scheme: dark)').matches ? 'night' : 'template';
}

// Persian letters and digits on the page, unless the reader asked for the
// text as written.
function prefAsWritten() {
  return prefGet('asWritten') === true;
}

function prefMusicOn() {
  return prefGet('music') !== false;
}

// {slot, page} of the last page read, or null.
function prefLastRead() {
  const v = prefGet('lastRead');
  if (!v || typeof v.slot !== 'string' || !Number.isInteger(v.page) || v.page < 0) return null;
  return v;
}

// Each book's own last page: {slot: page}.
function prefPlaces() {
  const v = prefGet('places');
  return v && typeof v === 'object' && !Array.isArray(v) ? v : {};
}

function prefPlaceOf(slot) {
  const page = prefPlaces()[slot];
  if (Number.isInteger(page) && page >= 0) return page;
  const last = prefLastRead();
  return last && last.slot === slot ? last.page : null;
}

function prefSetPlace(slot, page) {
  const places = Object.assign({}, prefPlaces());
  places[slot] = page;
  prefSet('places', places);
  prefSet('lastRead', { slot, page });
}

// Bookmarked pages of a book, ascending.
function prefBookmarks(slot) {
  const all = prefGet('bookmarks');
  const list = all && typeof all === 'object' && Array.isArray(all[slot]) ? all[slot] : [];
  return list.filter((p) => Number.isInteger(p) && p >= 0).sort((a, b) => a - b);
}

function prefToggleBookmark(slot, page) {
  const all = Object.assign({}, prefGet('bookmarks') || {});
  const list = prefBookmarks(slot);
  const at = list.indexOf(page);
  if (at >= 0) list.splice(at, 1);
  else list.push(page);
  all[slot] = list.sort((a, b) => a - b);
  prefSet('bookmarks', all);
  return at < 0;
}
