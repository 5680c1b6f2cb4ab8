// The page's loader, inlined into index.html by web.sh, which puts the
// build's table in place of BUILD_TABLE: its version, the program's two
// files and the data packages, each gzip-compressed by us (static hosts send
// files as they are), unpacked here as the bytes arrive.
//
// The program and the first package come at once, in parallel; the other
// packages follow one at a time once they are in, in the order the game
// needs them, while it plays. Progress shows from the first moment, and again whenever the game
// waits for a package (pre.js decides when it must).
var Module = (function () {
  var build = BUILD_TABLE;
  var progress = document.getElementById('progress');
  var bar = document.getElementById('progress-bar');
  var label = document.getElementById('progress-label');
  var shown = null;  // what the bar counts: a list of items with got and bytes

  function show(items, words) {
    shown = items;
    if (words) label.dataset.words = words;
    progress.hidden = !items;
    draw();
  }
  function draw() {
    if (!shown) return;
    var got = 0, total = 0;
    shown.forEach(function (i) { got += Math.min(i.got, i.bytes); total += i.bytes; });
    var share = total ? got / total : 1;
    bar.style.width = (100 * share).toFixed(1) + '%';
    label.textContent = (label.dataset.words || 'Loading') + ' ' + Math.floor(100 * share) + '%';
  }

  function fail(what, e) {
    label.textContent = 'The game could not be loaded (' + what + '): reload the page to try again.';
    console.error('swapsprint: ' + what + ': ' + e);
  }

  // The unpacked bytes of one item, chunk by chunk, as they arrive.
  function unpack(item, onChunk) {
    item.got = 0;
    return fetch(item.url + '?v=' + build.version).then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      var counted = response.body.pipeThrough(new TransformStream({
        transform: function (chunk, out) { item.got += chunk.length; draw(); out.enqueue(chunk); },
      }));
      var reader = counted.pipeThrough(new DecompressionStream('gzip')).getReader();
      var step = function () {
        return reader.read().then(function (r) {
          if (r.done) return;
          onChunk(r.value);
          return step();
        });
      };
      return step();
    });
  }

  // A whole item, for the program's two files.
  function whole(item) {
    var out = new Uint8Array(item.size), at = 0;
    return unpack(item, function (c) { out.set(c, at); at += c.length; }).then(function () {
      if (at !== item.size) throw new Error('cut short');
      return out;
    });
  }

  // A package, cut into its files as they come. A piece that is the rest of
  // a file whose head came before is put at its place in an array of the
  // file's size (pre.js copies the head in), so the file is never held twice.
  function fetchPackage(pack) {
    var index = 0, file = null, at = 0;
    var nextFile = function () {
      while (index < pack.files.length && pack.files[index][1] === 0) deliver(new Uint8Array(0));
      if (index < pack.files.length) {
        at = pack.files[index][2] || 0;
        file = new Uint8Array(at + pack.files[index][1]);
      }
    };
    var deliver = function (bytes) {
      var f = pack.files[index++];
      pack.arrived[f[0]] = true;
      Module.fileArrived(f[0], bytes, f[2] || 0);
    };
    nextFile();
    return unpack(pack, function (chunk) {
      var from = 0;
      while (from < chunk.length && file) {
        var n = Math.min(chunk.length - from, file.length - at);
        file.set(chunk.subarray(from, from + n), at);
        at += n;
        from += n;
        if (at === file.length) { deliver(file); file = null; nextFile(); }
      }
    }).then(function () {
      if (index < pack.files.length) throw new Error('cut short');
      pack.in = true;
      if (pack.onIn) pack.onIn();
      if (module.onPackageIn) module.onPackageIn(pack);
    });
  }

  var packs = build.packages.map(function (p) {
    return { name: p.name, url: p.url, bytes: p.bytes, scene: p.scene, due: p.due, files: p.files,
             arrived: {}, got: 0, in: false };
  });
  var module = {
    canvas: document.getElementById('canvas'),
    packs: packs,
    arrivedEarly: [],
    version: build.version,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.error(text); },
    fileArrived: function (rel, bytes, from) { module.arrivedEarly.push([rel, bytes, from]); },
    onFirstFrame: function () {
      module.firstFrameMs = performance.now();
      show(null);
    },
    // Called before each step of the game: the package it waits for, or null.
    showWaiting: function (pack) {
      // What is still on the way up to that package, which comes in turn.
      if (pack) {
        if (shown !== pack.list) show(pack.list = packs.slice(0, packs.indexOf(pack) + 1).filter(function (q) { return !q.in; }), 'Loading');
      }
      else if (shown && module.firstFrameMs !== undefined) show(null);
    },
  };

  if (typeof DecompressionStream !== 'function') {
    fail('this browser cannot unpack the data', 'no DecompressionStream');
    return module;
  }
  var js = build.code.js, wasm = build.code.wasm;
  show([js, wasm, packs[0]], 'Loading');
  var wasmBytes = whole(wasm);
  // The program's bytes are let go once compiled: the page keeps only the game's memory.
  module.instantiateWasm = function (imports, receive) {
    var bytes = wasmBytes;
    wasmBytes = null;
    bytes.then(function (b) { return WebAssembly.instantiate(b, imports); })
      .then(function (r) { receive(r.instance, r.module); }, function (e) { fail('the program', e); });
    return {};
  };
  var jsBytes = whole(js);
  var codeIn = Promise.all([wasmBytes, jsBytes]);
  jsBytes.then(function (bytes) {
    var script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([bytes], { type: 'text/javascript' }));
    script.onload = function () { URL.revokeObjectURL(script.src); };
    document.body.appendChild(script);
  }, function (e) { fail('the program', e); });

  // The first package beside the program, then, once both are in (so that
  // nothing else shares the wire before the first frame), the others in
  // turn; once all are in, the service worker keeps the site for the next
  // visit, offline.
  Promise.all([fetchPackage(packs[0]), codeIn]).then(function () {
    return packs.slice(1).reduce(function (chain, p) {
      return chain.then(function () { return fetchPackage(p); });
    }, Promise.resolve());
  }).then(function () {
    module.allIn = true;
    if ('serviceWorker' in navigator) {
      navigator.serviceWorker.register('sw.js').catch(function (e) {
        console.warn('swapsprint: the site is not kept for offline play: ' + e);
      });
    }
  }, function (e) { fail('the data', e); });
  return module;
})();
