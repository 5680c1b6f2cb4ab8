// Keeps the site for offline play: one cache per build, filled whole before
// this worker takes over, so a page never mixes two builds' files. A new
// build's worker waits until no tab of the old one is open, then drops the
// old cache. Files are asked for with the build's version (?v=), so the
// browser's own cache never hands an older build's file.
var VERSION = 'BUILD_VERSION';
// The page and what it links to under their own names; the rest versioned.
var PLAIN = BUILD_PLAIN;
var VERSIONED = BUILD_VERSIONED;
var CACHE = 'swapsprint-' + VERSION;

function versioned(path) { return path + '?v=' + VERSION; }

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    // The page has just fetched the versioned files: the browser's cache
    // answers for them. The others are asked again of the server.
    return cache.addAll(PLAIN.map(function (f) {
      return new Request(f === '' ? './' : f, { cache: 'no-cache' });
    }).concat(VERSIONED.map(function (f) {
      return new Request(versioned(f), { cache: 'force-cache' });
    })));
  }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (keys) {
    return Promise.all(keys.filter(function (k) { return k.indexOf('swapsprint-') === 0 && k !== CACHE; })
      .map(function (k) { return caches.delete(k); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET') return;
  var url = new URL(request.url);
  if (url.origin !== self.location.origin) return;
  var scope = new URL(self.registration.scope);
  var page = request.mode === 'navigate' || url.pathname === scope.pathname;
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(page ? './' : request).then(function (kept) { return kept || fetch(request); });
  }));
});
