// Keeps the page whole after one visit, so a later one plays with no network.
// One cache per build: a new build's worker fetches all of its files, checks the
// game's three against files.json, and only then takes over and drops the old
// cache; a build that does not arrive whole leaves the old one as it was.
"use strict";
var VERSION = "@PAGE_VERSION@";
var CACHE = "valimo-" + VERSION;
var PREFIX = "valimo-";
var FILES = ["./", "index.html", "files.json", "valimo.js", "valimo.wasm", "valimo.data",
             "manifest.webmanifest", "icon-192.png", "icon-512.png", "order.html", "faq.html"];
var CHECKED = ["valimo.js", "valimo.wasm", "valimo.data"];

function hex(buffer) {
  return Array.prototype.map.call(new Uint8Array(buffer), function (b) {
    return (b < 16 ? "0" : "") + b.toString(16);
  }).join("");
}

function fetchAll(mode) {
  return Promise.all(FILES.map(function (name) {
    return fetch(name, { cache: mode }).then(function (response) {
      if (!response.ok) throw new Error(name + ": " + response.status);
      return response.arrayBuffer().then(function (bytes) {
        return { name: name, bytes: bytes, type: response.headers.get("Content-Type") || "" };
      });
    });
  }));
}

function checkAll(got) {
  var byName = {};
  got.forEach(function (f) { byName[f.name] = f; });
  var list = JSON.parse(new TextDecoder().decode(byName["files.json"].bytes));
  return Promise.all(CHECKED.map(function (name) {
    var bytes = byName[name].bytes;
    if (!list[name] || bytes.byteLength !== list[name].size) throw new Error(name + " arrived cut short");
    if (!self.crypto || !crypto.subtle) return null;
    return crypto.subtle.digest("SHA-256", bytes).then(function (digest) {
      if (hex(digest) !== list[name].sha256) throw new Error(name + " arrived damaged");
    });
  })).then(function () { return got; });
}

self.addEventListener("install", function (event) {
  // What the page has just downloaded is taken from the browser's cache; should it not
  // be whole (a cache can keep a damaged copy), everything once more from the server.
  var fetched = fetchAll("no-cache").then(checkAll).catch(function () { return fetchAll("reload").then(checkAll); });
  event.waitUntil(fetched.then(function (got) {
    return caches.delete(CACHE).then(function () { return caches.open(CACHE); }).then(function (cache) {
      return Promise.all(got.map(function (f) {
        var headers = f.type ? { "Content-Type": f.type } : {};
        return cache.put(new Request(f.name), new Response(f.bytes, { headers: headers }));
      }));
    });
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (n) { return n.indexOf(PREFIX) === 0 && n !== CACHE; })
                            .map(function (n) { return caches.delete(n); }));
  }).then(function () { return self.clients.claim(); }));
});

// The kept build answers first, so the page never mixes two builds' files; what it
// does not keep (the players' store is not a file here) goes to the network.
self.addEventListener("fetch", function (event) {
  var request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(request, { ignoreSearch: true }).then(function (kept) {
      return kept || fetch(request);
    });
  }));
});
