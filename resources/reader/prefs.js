// The reader's remembered choices. Every page opened from file:// may share
// one storage, so the keys carry this CD's folder to keep CDs apart.

const PREFS_PREFIX = 'zorvel:' + location.pathname.replace(/[^/]*$/, '') + ':';

const TEXT_SIZES = [0.85, 1, 1.15, 1.3, 1.5, 1.75, 2];
const TEXT_SIZE_DEFAULT = 1;

function prefGet(name) {
  try {
    const raw = window.localStorage.getItem(PREFS_PREFIX + name);
    return raw === null ? null : JSON.parse(raw);
  } catch (e) {
    return null;
  }
}

function prefSet(name, value) {
  try {
    window.localStorage.setItem(PREFS_PREFIX + name, JSON.stringify(value));
  } catch (e) {
    // Storage switched off or full: the choice lasts for this visit only.
  }
}

function prefTextSizeIndex() {
  const i = prefGet('textSize');
  return Number.isInteger(i) && i >= 0 && i < TEXT_SIZES.length ? i : TEXT_SIZES.indexOf(TEXT_SIZE_DEFAULT);
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
