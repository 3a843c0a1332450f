// The service worker: keeps this build of the site in one cache, so a second
// visit starts with no network at all. The build (stamp-site.mjs) fills in
// SITE below: every file of the site with its SHA-256, and a version made of
// them all, so each build is a new worker script and a new cache.
//
//   install   fetches every file (revalidated with the server, never taken
//             from the HTTP cache as it is) and checks it against its hash:
//             a file from another build (a host half-way through an upload)
//             fails the install, and the worker and cache in use stay.
//   activate  deletes the caches of other builds. A new build's worker waits
//             until no page of the old one is open, or until a page that
//             has not loaded the program asks it to take over (offline.js):
//             a page never mixes files of two builds.
//   fetch     the site's own files (same origin, inside the worker's scope)
//             from the cache, the network only when missing; anything else
//             is not touched.
const SITE = null; // the build writes the site's files here
const CACHE = `tolvarin-site-${SITE.version}`;
const PREFIX = 'tolvarin-site-';

const scope = new URL(self.registration.scope);
// The site file a URL names ('' -> index.html), or null when it is not one.
function siteFile(url) {
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return null;
  const name = url.pathname.slice(scope.pathname.length) || 'index.html';
  return Object.hasOwn(SITE.files, name) ? name : null;
}

async function sha256(buffer) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', buffer));
  return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    for (const [name, hash] of Object.entries(SITE.files)) {
      const response = await fetch(new Request(new URL(name, scope), { cache: 'no-cache' }));
      if (!response.ok) throw new Error(`${name}: ${response.status}`);
      const body = await response.arrayBuffer();
      if ((await sha256(body)) !== hash) throw new Error(`${name} is not the file of this build`);
      const headers = new Headers({ 'Content-Type': response.headers.get('Content-Type') || 'application/octet-stream' });
      await cache.put(new URL(name, scope), new Response(body, { headers }));
    }
  })().catch(async (e) => {
    await caches.delete(CACHE);
    throw e;
  }));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(PREFIX) && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// A page that has not started the demo yet asks a waiting worker to take over.
self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET') return;
  const name = siteFile(new URL(request.url));
  if (name === null) return;
  event.respondWith((async () => {
    const cached = await caches.match(new URL(name, scope), { cacheName: CACHE });
    return cached || fetch(request);
  })());
});
