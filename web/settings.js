// What the viewer chose, kept between visits (localStorage; where storage is
// refused the choices last for the visit): the music's volume and mute, and
// calm mode. Calm mode is on when the URL says so (?calm, ?calm=0 for off),
// else when the viewer's switch said so last time, else when the system
// asks for reduced motion.
const KEY = 'tolvarin-settings';

function read() {
  try {
    const value = JSON.parse(localStorage.getItem(KEY) || '{}');
    return value && typeof value === 'object' ? value : {};
  } catch (e) {
    return {};
  }
}

const stored = read();

function write() {
  try {
    localStorage.setItem(KEY, JSON.stringify(stored));
  } catch (e) {
    // no storage: the choice lasts for this visit
  }
}

export const settings = {
  // 0..1
  get volume() {
    return typeof stored.volume === 'number' && stored.volume >= 0 && stored.volume <= 1 ? stored.volume : 1;
  },
  set volume(v) {
    stored.volume = Math.min(1, Math.max(0, Number(v) || 0));
    write();
  },
  get muted() {
    return stored.muted === true;
  },
  set muted(m) {
    stored.muted = Boolean(m);
    write();
  },
  // The switch's last position: true, false, or null (never touched).
  get calmSwitch() {
    return typeof stored.calm === 'boolean' ? stored.calm : null;
  },
  set calmSwitch(on) {
    stored.calm = Boolean(on);
    write();
  },
};

export function reducedMotion() {
  return Boolean(window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches);
}

// Calm mode for this run, and what decided it.
export function calmMode(urlValue) {
  if (urlValue !== null) return { on: urlValue !== '0' && urlValue !== 'false', by: 'the address' };
  if (settings.calmSwitch !== null) return { on: settings.calmSwitch, by: 'your choice' };
  if (reducedMotion()) return { on: true, by: 'the system asks for reduced motion' };
  return { on: false, by: 'default' };
}
