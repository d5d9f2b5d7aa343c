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

function mediaLink(kind, path) {
  const what = kind === 'audio' ? 'باز کردن فایل صدا' : 'باز کردن فایل فیلم';
  return el('a', { class: 'media-link', href: dataUrl(path), target: '_blank', rel: 'noopener' },
    el('span', { class: 'media-link-icon media-link-' + kind, 'aria-hidden': 'true' }),
    what + ' ', el('bdi', { class: 'media-link-file' }, fileName(path)));
}

// A player where the browser knows the format, otherwise a link; a file
// that then fails to load falls back to the link too.
function mediaPlayer(kind, path) {
  if (!canPlayFile(kind, path)) return mediaLink(kind, path);
  const label = kind === 'audio' ? 'صدای این صفحه' : 'فیلم این صفحه';
  const player = el(kind, { controls: true, preload: 'metadata', src: dataUrl(path), 'aria-label': label, class: 'page-' + kind });
  player.addEventListener('error', () => player.replaceWith(mediaLink(kind, path)));
  return player;
}

// The text with each [from, to) range wrapped in <mark>.
function markedText(text, ranges) {
  if (!ranges.length) return [text];
  const parts = [];
  let at = 0;
  for (const [from, to] of ranges) {
    if (from > at) parts.push(text.slice(at, from));
    parts.push(el('mark', null, text.slice(from, to)));
    at = to;
  }
  if (at < text.length) parts.push(text.slice(at));
  return parts;
}

const PAGE_MARKS_MAX = 500;

function renderPage(container, book, index, options) {
  const page = book.pages[index];
  const query = options.query || '';
  const marks = (text) => markedText(text, foldFindRanges(text, query, PAGE_MARKS_MAX));

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

  const article = el('article', { class: page.identity ? 'page page-identity' : 'page', 'aria-labelledby': 'page-title' },
    el('header', { class: 'page-header' },
      el('h2', { class: 'page-title', id: 'page-title' }, marks(page.title)),
      tools),
    body,
    media,
    el('div', { class: 'page-end', 'aria-hidden': 'true' }));
  container.replaceChildren(article);
  return article;
}
