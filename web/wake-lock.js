// Keeps the screen awake while the demo plays (Screen Wake Lock, where the
// browser has it): asked for at the start and whenever the tab is shown
// again (the browser lets go of it when the tab is hidden), let go of at
// the end. A refusal (no permission, a battery saver) changes nothing.
let wanted = false;
let lock = null;

async function request() {
  if (!wanted || lock !== null || document.hidden || !navigator.wakeLock) return;
  try {
    lock = await navigator.wakeLock.request('screen');
    lock.addEventListener('release', () => {
      lock = null;
    });
    if (!wanted) releaseNow();
  } catch (e) {
    lock = null;
  }
}

function releaseNow() {
  if (lock !== null) lock.release().catch(() => {});
  lock = null;
}

document.addEventListener('visibilitychange', () => {
  if (document.hidden) releaseNow();
  else request();
});

export function keepAwake(on) {
  wanted = on;
  if (on) request();
  else releaseNow();
}

// Whether the screen is kept awake now (the tests read it).
export function awake() {
  return lock !== null;
}
