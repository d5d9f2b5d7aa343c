// Background music: one track on the shelves, another inside a book.
// Browsers refuse sound before the reader has done anything, so it starts
// at the first click or key; a refused or failed play() stays silent.

const music = { on: false, unlocked: false, held: false, refused: false, track: null, audio: null, button: null };

// The switch shows what the reader hears: on only while the music is
// wanted and the browser has let it start.
function musicShow() {
  if (!music.button) return;
  const on = music.on && music.unlocked && !music.refused;
  music.button.setAttribute('aria-pressed', on ? 'true' : 'false');
}

function musicApply() {
  const audio = music.audio;
  if (!audio) return;
  const want = music.on && music.unlocked && !music.held && music.track;
  musicShow();
  if (!want) {
    audio.pause();
    return;
  }
  if (audio.dataset.track !== music.track) {
    audio.src = dataUrl(music.track);
    audio.dataset.track = music.track;
  }
  const played = audio.play();
  if (played && played.then) {
    played.then(() => {
      music.refused = false;
      musicShow();
    }, () => {
      // Refused or unplayable: the switch says off, and a press tries again.
      if (!audio.paused) return;
      music.refused = true;
      musicShow();
    });
  }
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
  musicShow();

  // A press always turns over what the switch shows: before the music has
  // been let start, or after the browser refused it, that means on.
  button.addEventListener('click', () => {
    const shown = button.getAttribute('aria-pressed') === 'true';
    music.on = !shown;
    music.unlocked = true;
    music.refused = false;
    prefSet('music', music.on);
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
