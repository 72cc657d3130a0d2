// Keeps the page's files in the browser, so that once the page has been
// opened over HTTP(S) it opens and plays again with no network.
//
// Network first: while the server answers, the player gets what it serves,
// as without a worker, and the kept copy is refreshed with it; only when
// the network fails does the kept copy answer. A new build therefore
// reaches a player on the next visit with a network, and the kept copy is
// the last one fetched online, never an old build for good (served first,
// a copy would keep whatever a half-published deploy once gave it until
// the next build). The copy's name carries a hash of
// the build's files, written in below when the page is built, so a new
// build also brings a new worker: the browser fetches this script afresh on
// every visit, installs the new one beside the old, and the old copy is
// deleted when it takes over.
"use strict";

const BUILD = "@CROSSING_BUILD@";
const FILES = @CROSSING_FILES@;

// Caches belong to the whole site, which may hold other apps and other
// copies of this page: this copy's caches are named after its own folder.
const FOLDER = self.registration.scope;
const CACHE = `${FOLDER} ${BUILD}`;
const KEPT = FILES.map(file => new URL(file, FOLDER).href);
// The page itself, kept as the folder, which every static host serves.
const PAGE = KEPT[0];

self.addEventListener("install", event => {
    // Revalidated rather than taken from the HTTP cache, which may still hold
    // the build before.
    event.waitUntil(caches.open(CACHE)
        .then(cache => cache.addAll(KEPT.map(url => new Request(url, {cache: "no-cache"}))))
        .then(() => self.skipWaiting()));
});

self.addEventListener("activate", event => {
    event.waitUntil(caches.keys().then(names => Promise.all(names
        .filter(name => name.startsWith(`${FOLDER} `) && name !== CACHE)
        .map(name => caches.delete(name)))));
});

// The kept file a request is for: the page under any of its addresses, or
// one of the others; nothing else in the folder is touched.
function keptFileOf(request) {
    const url = new URL(request.url);
    url.search = url.hash = "";
    if (request.mode === "navigate" && (url.href === PAGE || url.href === `${PAGE}index.html`))
        return PAGE;
    return KEPT.includes(url.href) ? url.href : null;
}

self.addEventListener("fetch", event => {
    const kept = event.request.method === "GET" ? keptFileOf(event.request) : null;
    if (!kept)
        return;
    event.respondWith(fetch(event.request).then(response => {
        if (response.status === 200 && !response.redirected) {
            const copy = response.clone();
            event.waitUntil(caches.open(CACHE).then(cache => cache.put(kept, copy)));
        }
        return response;
    }, failure => caches.open(CACHE).then(cache => cache.match(kept))
        .then(response => response || Promise.reject(failure))));
});
