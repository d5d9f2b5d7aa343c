// Background music: one track on the shelves, another inside a book.
// Browsers refuse sound before the reader has done anything, so it starts
// at the first click or key; a refused or failed play() stays silent.

const music = { on: false, unlocked: false, held: false, track: null, audio: null, button: null };

function musicApply() {
  const audio = music.audio;
  if (!audio) return;
  const want = music.on && music.unlocked && !music.held && music.track;
  if (!want) {
    audio.pause();
    return;
  }
  if (audio.dataset.track !== music.track) {
    audio.src = dataUrl(music.track);
    audio.dataset.track = music.track;
  }
  const played = audio.play();
  if (played && played.catch) played.catch(() => {});
}

function setupMusic(library) {
  const button = document.getElementById('music-toggle');
  const tracks = library.tracks;
  if (!library.music || (!tracks.shelves && !tracks.book)) {
    button.remove();
    return;
  }
  music.audio = document.getElementById('music');
  music.button = button;
  music.on = prefMusicOn();
  button.hidden = false;
  button.setAttribute('aria-pressed', music.on ? 'true' : 'false');

  button.addEventListener('click', () => {
    music.on = !music.on;
    music.unlocked = true;
    prefSet('music', music.on);
    button.setAttribute('aria-pressed', music.on ? 'true' : 'false');
    musicApply();
  });

  const unlock = (event) => {
    if (event.type === 'keydown' && ['Shift', 'Control', 'Alt', 'Meta'].includes(event.key)) return;
    document.removeEventListener('click', unlock, true);
    document.removeEventListener('keydown', unlock, true);
    music.unlocked = true;
    // The switch itself decides on its own click.
    if (!button.contains(event.target)) musicApply();
  };
  document.addEventListener('click', unlock, true);
  document.addEventListener('keydown', unlock, true);

  // A page's own sound or film silences the music while it plays.
  const hold = (event) => {
    const media = event.target;
    if (media === music.audio || !(media instanceof HTMLMediaElement)) return;
    music.held = event.type === 'play';
    musicApply();
  };
  document.addEventListener('play', hold, true);
  document.addEventListener('pause', hold, true);
  document.addEventListener('ended', hold, true);
}

// kind: "shelves" or "book".
function musicFor(library, kind) {
  if (!music.audio) return;
  music.track = library.tracks[kind];
  music.held = false;
  musicApply();
}
