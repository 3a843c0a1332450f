// The site kept for offline visits: the page registers service-worker.js
// (which caches this build's files, checked against their hashes) once the
// program has loaded, so the worker's own downloads never compete with the
// first visit's. The next visit, offline or not, comes from that cache.
//
// A new build's worker installs beside the old one and waits until no page
// of the old build is open: the next visit after they are all closed is the
// new build's. A page that finds one waiting when it opens asks it to take
// over at once, before it loads the program, and reloads from it when it
// does; the browser may keep the old worker a while longer (Chromium does
// while its last requests for this tab wind up), and then the page runs the
// old build after 3 s. Either way a page never runs with files of two builds.
//
// Service workers need a secure context (https, or http on 127.0.0.1 and
// localhost); elsewhere the page simply loads from the network each time.
const supported = () => window.isSecureContext && 'serviceWorker' in navigator;

// True when a new build's worker was waiting: it is taking over and the
// page reloads; the caller loads nothing more.
export async function takeNewBuild() {
  if (!supported() || !navigator.serviceWorker.controller) return false;
  let registration;
  try {
    registration = await navigator.serviceWorker.getRegistration();
  } catch (e) {
    return false;
  }
  const waiting = registration && registration.waiting;
  if (!waiting) return false;
  return new Promise((resolve) => {
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      resolve(true);
      location.reload();
    }, { once: true });
    waiting.postMessage('take-over');
    // Not taken over yet: this build runs, the new one at the next visit.
    setTimeout(() => resolve(false), 3000);
  });
}

// Registers the worker (the browser checks for a new build at each visit).
export function keepForOffline() {
  if (!supported()) return;
  navigator.serviceWorker.register('service-worker.js').catch((e) => {
    console.warn(`tolvarin: the page cannot be kept for offline visits: ${e.message || e}`);
  });
}
