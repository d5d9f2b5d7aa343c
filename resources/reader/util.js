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
