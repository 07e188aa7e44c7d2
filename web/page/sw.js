'use strict';
// Keeps the page for use with no network. Online every file comes from the
// host, as without this worker, so a new build is what the next visit shows.
// The copy kept is one build's whole set, fetched at once when the build
// changes (the build stamps its name here), so offline the files belong
// together; the set of the build before is then dropped. The build writes
// the set in from the page's list of files.
const kBuild = 'zimbelplot-@BUILD@';
const kFiles = ['@FILES@'];

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache: a host that lets files be cached would
  // otherwise hand the new build the old build's files.
  const fresh = kFiles.map((file) => new Request(file, {cache: 'reload'}));
  event.waitUntil(caches.open(kBuild).then((cache) => cache.addAll(fresh)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== kBuild).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(fetch(event.request).catch(async () => {
    const kept = await caches.open(kBuild);
    const url = new URL(event.request.url);
    // index.html is kept as the folder it is served for.
    if (url.pathname.endsWith('/index.html')) url.pathname = url.pathname.slice(0, -'index.html'.length);
    return (await kept.match(url.href, {ignoreSearch: true})) || Response.error();
  }));
});
