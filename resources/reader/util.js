// Small helpers shared by the views: elements from text only, Persian
// numbers, and URLs of the CD's files.

// An element with attributes and children; strings become text nodes, so
// data never turns into markup.
function el(tag, attrs, ...children) {
  const node = document.createElement(tag);
  if (attrs) {
    for (const [name, value] of Object.entries(attrs)) {
      if (value === null || value === undefined || value === false) continue;
      if (name === 'class') node.className = value;
      else if (name === 'text') node.textContent = value;
      else if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
      else node.setAttribute(name, value === true ? '' : String(value));
    }
  }
  appendChildren(node, children);
  return node;
}

function appendChildren(node, children) {
  for (const child of children) {
    if (child === null || child === undefined || child === false) continue;
    if (Array.isArray(child)) appendChildren(node, child);
    else node.append(typeof child === 'string' ? document.createTextNode(child) : child);
  }
}

function persianDigits(value) {
  return String(value).replace(/[0-9]/g, (d) => String.fromCharCode(0x06f0 + Number(d)));
}

// How texts of the CD are shown: Persian ی, ک and digits, unless the reader
// asked for the text as written. Only the display changes; every character
// stays one character, so ranges found in the original still fit.
const display = { asWritten: false };

function shownText(value) {
  const s = String(value);
  if (display.asWritten) return s;
  return s
    .replace(/[\u064a\u0643]/g, (c) => (c === '\u064a' ? '\u06cc' : '\u06a9'))
    .replace(/[\u0660-\u0669]/g, (d) => String.fromCharCode(d.charCodeAt(0) - 0x0660 + 0x06f0))
    // Digits inside a Latin word ("2nd") stay as they are.
    .replace(/(?<![A-Za-z])[0-9]+(?![A-Za-z])/g, persianDigits);
}

// A name or title of the CD, isolated in its own direction, so a Latin
// name or one with brackets keeps its order inside Persian text.
function nameNode(text, className) {
  return el('bdi', { class: className }, shownText(text));
}

// A file of the CD given relative to the Data folder, "/" separated.
function dataUrl(path) {
  return '../' + String(path).split('/').map(encodeURIComponent).join('/');
}

// A file beside the reader page.
function readerUrl(path) {
  return String(path).split('/').map(encodeURIComponent).join('/');
}

function fileExtension(path) {
  const m = /\.([^./]+)$/.exec(String(path));
  return m ? m[1].toLowerCase() : '';
}

function fileName(path) {
  return String(path).split('/').pop();
}

// A picture that disappears instead of showing a broken image.
function safeImage(path, alt, className) {
  const img = el('img', { src: dataUrl(path), alt: alt || '', class: className, decoding: 'async' });
  img.addEventListener('error', () => { img.hidden = true; img.classList.add('missing'); });
  return img;
}

function isTypingTarget(target) {
  if (!target || !target.closest) return false;
  return Boolean(target.closest('input, textarea, select, audio, video, [contenteditable=""], [contenteditable="true"]'));
}

function idle(callback) {
  if (window.requestIdleCallback) window.requestIdleCallback(callback, { timeout: 1500 });
  else window.setTimeout(callback, 30);
}
