// Persian-aware text folding for search: letters that readers treat as one
// are made one, marks and joiners that do not change a word are dropped.
// Every kept character folds to exactly one character, so a folded position
// maps back to one original position.

const FOLD_DROP = 0xffff;

const FOLD_TABLE = (function buildFoldTable() {
  const t = new Uint16Array(65536);
  for (let c = 0; c < 65536; c++) t[c] = c;
  const same = (to, from) => { for (const ch of from) t[ch.charCodeAt(0)] = to.charCodeAt(0); };
  const drop = (from, to) => { for (let c = from; c <= to; c++) t[c] = FOLD_DROP; };

  same('\u06cc', '\u064a\u0649\u06cc');        // ي ى ی
  same('\u06a9', '\u0643\u06a9');              // ك ک
  same('\u0647', '\u0629\u06c0\u06d5');        // ة ۀ ە → ه
  same('\u0627', '\u0623\u0625\u0622\u0671');  // أ إ آ ٱ → ا
  for (let d = 0; d < 10; d++) {
    const ascii = String.fromCharCode(0x30 + d);
    same(ascii, String.fromCharCode(0x06f0 + d) + String.fromCharCode(0x0660 + d));
  }
  for (let c = 0x41; c <= 0x5a; c++) t[c] = c + 0x20;  // Latin capitals
  t[0x00a0] = 0x20;                                     // no-break space

  drop(0x064b, 0x065f);   // harakat
  drop(0x0670, 0x0670);   // superscript alef
  drop(0x0640, 0x0640);   // tatweel
  drop(0x200b, 0x200f);   // ZWSP, ZWNJ, ZWJ, LRM, RLM
  drop(0x202a, 0x202e);   // bidi embeddings
  drop(0x2066, 0x2069);   // bidi isolates
  drop(0x061c, 0x061c);   // Arabic letter mark
  drop(0x00ad, 0x00ad);   // soft hyphen
  drop(0xfeff, 0xfeff);   // byte order mark
  return t;
})();

const foldDecoder = new TextDecoder('utf-16le');

// Index of the first character that folding changes, or s.length.
function foldFirstChange(s) {
  const n = s.length;
  for (let i = 0; i < n; i++) {
    const c = s.charCodeAt(i);
    if (FOLD_TABLE[c] !== c) return i;
  }
  return n;
}

function foldText(s) {
  const first = foldFirstChange(s);
  const n = s.length;
  if (first === n) return s;
  const out = new Uint16Array(n);
  let k = 0;
  for (let i = 0; i < first; i++) out[k++] = s.charCodeAt(i);
  for (let i = first; i < n; i++) {
    const f = FOLD_TABLE[s.charCodeAt(i)];
    if (f !== FOLD_DROP) out[k++] = f;
  }
  return foldDecoder.decode(out.subarray(0, k));
}

// The folded text and, for each of its characters, the index of the
// original character it came from.
function foldWithMap(s) {
  const n = s.length;
  const out = new Uint16Array(n);
  const map = new Int32Array(n + 1);
  let k = 0;
  for (let i = 0; i < n; i++) {
    const f = FOLD_TABLE[s.charCodeAt(i)];
    if (f === FOLD_DROP) continue;
    out[k] = f;
    map[k++] = i;
  }
  map[k] = n;
  return { text: foldDecoder.decode(out.subarray(0, k)), map: map.subarray(0, k + 1) };
}

function isFoldCombiningMark(c) {
  return (c >= 0x064b && c <= 0x065f) || c === 0x0670;
}

// The original [start, end) of a hit at folded [start, start + length).
// Marks that sit on the last letter stay with it.
function foldOriginalRange(original, map, start, length) {
  const from = map[start];
  let to = map[start + length - 1] + 1;
  while (to < original.length && isFoldCombiningMark(original.charCodeAt(to))) to++;
  return [from, to];
}

// Folded start positions of every hit of needle in haystack, at most max.
function foldFindAll(haystack, needle, max) {
  const hits = [];
  if (!needle) return hits;
  let at = haystack.indexOf(needle);
  while (at >= 0 && hits.length < max) {
    hits.push(at);
    at = haystack.indexOf(needle, at + needle.length);
  }
  return hits;
}

// Hits of an already folded query in an original text, as original ranges.
function foldFindRanges(original, foldedQuery, max) {
  if (!foldedQuery) return [];
  const folded = foldWithMap(original);
  return foldFindAll(folded.text, foldedQuery, max)
    .map((at) => foldOriginalRange(original, folded.map, at, foldedQuery.length));
}

// Search form: folded as above, but a ZWNJ between two letters stays, as
// the one mark of where a word's parts meet, and every run of white space
// is one space. Search treats a space, a ZWNJ and nothing between two
// letters alike; the mark keeps "ها" from matching across «چشمه‌ای».
const SEARCH_JOINT = 0x200c;
const SEARCH_FOLD_FORMAT = 1;

let letterTable = null;

function isLetterCode(c) {
  if (letterTable === null) {
    letterTable = new Uint8Array(65536);
    const letter = /\p{L}/u;
    for (let i = 0; i < 65536; i++) {
      if (i < 0xd800 || i > 0xdfff) letterTable[i] = letter.test(String.fromCharCode(i)) ? 1 : 0;
    }
  }
  return letterTable[c] === 1;
}

function isSpaceCode(c) {
  return c === 0x20 || c === 0x09 || c === 0x0a || c === 0x0d || c === 0xa0 || c === 0x2028 || c === 0x2029;
}

// {text, map}: the search form and, with withMap, the original index of
// each of its characters (a joint or space maps to the one it came from).
function searchFold(s, withMap) {
  const n = s.length;
  const out = new Uint16Array(n);
  const map = withMap ? new Int32Array(n + 1) : null;
  let k = 0;
  let joint = -1;
  let space = -1;
  for (let i = 0; i < n; i++) {
    const c = s.charCodeAt(i);
    if (c === SEARCH_JOINT) {
      if (k > 0 && space < 0 && isLetterCode(out[k - 1])) joint = i;
      continue;
    }
    if (isSpaceCode(c)) {
      if (k > 0 && space < 0) space = i;
      continue;
    }
    const f = FOLD_TABLE[c];
    if (f === FOLD_DROP) continue;
    if (space >= 0) {
      if (map) map[k] = space;
      out[k++] = 0x20;
    } else if (joint >= 0 && isLetterCode(f)) {
      if (map) map[k] = joint;
      out[k++] = SEARCH_JOINT;
    }
    space = -1;
    joint = -1;
    if (map) map[k] = i;
    out[k++] = f;
  }
  const text = foldDecoder.decode(out.subarray(0, k));
  if (!map) return { text, map: null };
  map[k] = n;
  return { text, map: map.subarray(0, k + 1) };
}
