// One page of a book: its title, its paragraphs with their pictures in
// place, the attached picture, sound and film, and the print tools.
// Only text nodes and the elements made here carry the data.

const AUDIO_TYPES = {
  mp3: 'audio/mpeg', ogg: 'audio/ogg', oga: 'audio/ogg', opus: 'audio/ogg; codecs="opus"',
  wav: 'audio/wav', m4a: 'audio/mp4', aac: 'audio/aac', flac: 'audio/flac', weba: 'audio/webm',
};
const VIDEO_TYPES = { mp4: 'video/mp4', m4v: 'video/mp4', webm: 'video/webm', ogv: 'video/ogg' };

function canPlayFile(kind, path) {
  const mime = (kind === 'audio' ? AUDIO_TYPES : VIDEO_TYPES)[fileExtension(path)];
  return Boolean(mime) && document.createElement(kind).canPlayType(mime) !== '';
}

// A sound or film this browser cannot play: said so, with the file to open
// in another program.
function mediaUnplayable(kind, path) {
  const what = kind === 'audio' ? 'این صدا در این مرورگر پخش نمی‌شود.' : 'این فیلم در این مرورگر پخش نمی‌شود.';
  const open = kind === 'audio' ? 'باز کردن پروندهٔ صدا' : 'باز کردن پروندهٔ فیلم';
  return el('p', { class: 'media-unplayable' },
    el('span', { class: 'media-link-icon media-link-' + kind, 'aria-hidden': 'true' }),
    el('span', { class: 'media-unplayable-text' }, what + ' '),
    el('a', { class: 'media-link', href: dataUrl(path), target: '_blank', rel: 'noopener' }, open));
}

// A player where the browser knows the format; otherwise, or when the
// file then fails to load, a notice.
function mediaPlayer(kind, path) {
  if (!canPlayFile(kind, path)) return mediaUnplayable(kind, path);
  const label = kind === 'audio' ? 'صدای این صفحه' : 'فیلم این صفحه';
  const player = el(kind, { controls: true, preload: 'metadata', src: dataUrl(path), 'aria-label': label, class: 'page-' + kind });
  player.addEventListener('error', () => player.replaceWith(mediaUnplayable(kind, path)));
  return player;
}

// The text with each [from, to) range wrapped in <mark>.
function markedText(text, ranges) {
  if (!ranges.length) return [shownText(text)];
  const parts = [];
  let at = 0;
  for (const [from, to] of ranges) {
    if (from > at) parts.push(shownText(text.slice(at, from)));
    parts.push(el('mark', null, shownText(text.slice(from, to))));
    at = to;
  }
  if (at < text.length) parts.push(shownText(text.slice(at)));
  return parts;
}

function renderPage(container, book, index, options) {
  const page = book.pages[index];
  const texts = pageTexts(page);
  const ranges = pageMarkRanges(options.matcher || null, texts);
  let unit = 0;
  const marks = (text) => markedText(text, ranges[unit++] || []);
  const title = marks(page.title);

  const tools = options.print ? el('div', { class: 'page-tools' },
    el('button', { type: 'button', class: 'print-button', title: 'چاپ این صفحه', onclick: () => window.print() }, 'چاپ'),
    page.printable && el('a', { class: 'printable-link', href: dataUrl(page.printable), target: '_blank', rel: 'noopener' },
      'نسخهٔ چاپی این صفحه')) : null;

  const body = el('div', { class: 'page-body' });
  if (page.picture) {
    body.append(el('figure', { class: 'page-picture' }, safeImage(page.picture, 'تصویر صفحه')));
  }
  for (const block of page.blocks) {
    if (block.text !== undefined) {
      body.append(el('p', { class: 'page-text' }, marks(block.text)));
    } else {
      body.append(el('figure', { class: 'inline-picture' }, safeImage(block.image, '')));
    }
  }

  const media = (page.sound || page.film) ? el('div', { class: 'page-media' },
    page.sound && el('div', { class: 'page-sound' }, mediaPlayer('audio', page.sound)),
    page.film && el('div', { class: 'page-film' }, mediaPlayer('video', page.film))) : null;

  // Paper has no bar: a printed page names its book and its place.
  const printHead = el('p', { class: 'print-heading', 'aria-hidden': 'true' },
    nameNode(book.name), ' — ', bookPosition(index, book.pages.length));
  const article = el('article', { class: page.identity ? 'page page-identity' : 'page', 'aria-labelledby': 'page-title' },
    printHead,
    el('header', { class: 'page-header' },
      el('h2', { class: 'page-title', id: 'page-title' }, el('bdi', null, title)),
      tools),
    body,
    media,
    el('div', { class: 'page-end', 'aria-hidden': 'true' }));
  container.replaceChildren(article);
  return article;
}
