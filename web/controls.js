// The control bar: play/pause, the timeline with the ten scenes as chapters
// (a click jumps there as --start does), volume and mute, and a link to the
// moment on show. It appears when the pointer moves or the screen is tapped
// and hides after a few seconds of rest; the tests' screenshots hide it.
// Its buttons take no keyboard focus and keep their presses to themselves:
// every key stays the demo's, and no press on the bar is a demo key.
import { CHAPTERS, LENGTH } from './chapters.js';
import { settings } from './settings.js';

const REST_MS = 3000;

const $ = (id) => document.getElementById(id);

function clock(seconds) {
  const s = Math.max(0, Math.floor(seconds));
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}

// The chapter playing at `seconds` (its index), -1 before the first.
export function chapterAt(seconds) {
  let found = -1;
  CHAPTERS.forEach((c, i) => {
    if (c.t <= seconds) found = i;
  });
  return found;
}

// Where a jump to `seconds` starts: the chapter's own name when the point
// is at its beginning (within half a second), a demo time otherwise.
export function startPoint(seconds) {
  const i = chapterAt(seconds + 0.5);
  if (i >= 0 && Math.abs(CHAPTERS[i].t - seconds) <= 0.5) return CHAPTERS[i].name;
  return `${Math.max(0, seconds).toFixed(1)}s`;
}

// The page's address that opens at `where` (a scene's name or a time).
export function linkTo(where) {
  const url = new URL(location.href);
  url.searchParams.set('start', where);
  url.searchParams.delete('autostart');
  return url.toString();
}

// `api`: { playing(), setPlaying(on), position() (demo seconds, or null
// before the run), jump(where), volume(level, muted), running() }.
export function setUpControls(api) {
  const bar = $('controls');
  const play = $('play');
  const timeline = $('timeline');
  const marker = $('timeline-position');
  const time = $('time');
  const mute = $('mute');
  const volume = $('volume');
  const copy = $('copy-link');
  let restTimer = null;

  for (const c of CHAPTERS) {
    const mark = document.createElement('button');
    mark.type = 'button';
    mark.className = 'chapter';
    mark.tabIndex = -1;
    mark.title = `${c.name} (${clock(c.t)})`;
    mark.dataset.where = c.name;
    mark.style.left = `${(100 * c.t) / LENGTH}%`;
    timeline.appendChild(mark);
  }

  const show = () => {
    if (!api.running()) return;
    bar.classList.add('shown');
    clearTimeout(restTimer);
    restTimer = setTimeout(() => bar.classList.remove('shown'), REST_MS);
  };
  document.addEventListener('pointermove', show, { passive: true });
  document.addEventListener('pointerdown', show, { passive: true });

  // Presses on the bar are the bar's only (the stage's tap is a demo key).
  for (const type of ['pointerdown', 'touchstart', 'click', 'dblclick']) {
    bar.addEventListener(type, (e) => e.stopPropagation(), { passive: type === 'touchstart' });
  }
  for (const b of bar.querySelectorAll('button, input')) b.tabIndex = -1;

  play.addEventListener('click', () => {
    api.setPlaying(!api.playing());
    update();
  });
  timeline.addEventListener('click', (e) => {
    const where = e.target.dataset.where;
    if (where) {
      api.jump(where);
      return;
    }
    const box = timeline.getBoundingClientRect();
    const share = Math.min(1, Math.max(0, (e.clientX - box.left) / box.width));
    api.jump(startPoint(share * LENGTH));
  });

  volume.value = String(Math.round(settings.volume * 100));
  const applyVolume = () => {
    api.volume(settings.volume, settings.muted);
    mute.setAttribute('aria-pressed', String(settings.muted || settings.volume === 0));
    mute.setAttribute('aria-label', settings.muted ? 'Sound on' : 'Mute');
  };
  volume.addEventListener('input', () => {
    settings.volume = Number(volume.value) / 100;
    if (settings.muted && settings.volume > 0) settings.muted = false;
    applyVolume();
  });
  mute.addEventListener('click', () => {
    settings.muted = !settings.muted;
    applyVolume();
  });
  applyVolume();

  copy.addEventListener('click', async () => {
    const position = api.position();
    const url = linkTo(position === null ? CHAPTERS[0].name : startPoint(position));
    let done = false;
    try {
      await navigator.clipboard.writeText(url);
      done = true;
    } catch (e) {
      done = false;
    }
    copy.dataset.link = url;
    copy.title = done ? `copied: ${url}` : url;
    copy.textContent = done ? 'link copied' : 'link';
    setTimeout(() => { copy.textContent = 'copy link'; }, 2000);
  });

  function update() {
    const position = api.position();
    const playing = api.playing();
    play.textContent = playing ? '❚❚' : '▶';
    play.setAttribute('aria-label', playing ? 'Pause' : 'Play');
    if (position !== null) {
      marker.style.left = `${Math.min(100, (100 * position) / LENGTH)}%`;
      const i = chapterAt(position);
      time.textContent = `${clock(position)} / ${clock(LENGTH)}${i >= 0 ? ` · ${CHAPTERS[i].name}` : ''}`;
    }
  }
  setInterval(() => {
    if (bar.classList.contains('shown')) update();
  }, 250);
  update();
  return { update, show };
}
