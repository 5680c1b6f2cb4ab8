// Runs in the page before the game's main(), beside the loader of index.html
// (loader.js), which fetches the data packages and hands their files over.
//
// Three jobs here:
// - the data: files that arrived go into the game's data folder; every sound
//   of a later package is there from the start at its full size (the game
//   opens its tunes at start-up and reads them only when they play), reading
//   as zeros until it arrives; so is a file whose head came in an earlier
//   package than its rest (pack.py): the intro registers its later pictures
//   by their heads and starts its first tune at once. A large picture is let
//   go once it has been read whole (the game keeps it decoded), so the page
//   never holds it twice.
// - the hold: the game may step only while the files it could open next are
//   in (mayStep, asked by the frame loop before each step), and reads a
//   press only once the files it could lead to are in; and the sound
//   stays off until a tune that came by its head alone is whole.
// - the player's files ("option", "ranker.list", "new.score") in the
//   browser's IndexedDB, each save merged with what other tabs stored, under
//   a lock that spans tabs (keepSaves, called after each save).
var DATA_FOLDER = '/swapsprint/share/swapsprint';
var PLAYER_FOLDER = '/home/web_user/.local/share/swapsprint';
var KEPT_FILES = ['option', 'ranker.list', 'new.score'];
var RANKER_LIST = 'ranker.list';
// Pictures larger than this are let go once read whole; the small ones are
// read again (one overlay picture is registered under many keys).
var LET_GO_ABOVE = 64 * 1024;
// No scene changes on its own before this many seconds: later, the next
// scene's files must be in for the game to go on.
var LEAST_SCENE_SECONDS = 45;

// ---- the data ---------------------------------------------------------------

var dataReady = false;
var fileOwner = {};   // data path -> the package that makes it whole
var fileSize = {};    // data path -> its whole size
var letGo = {};       // data path -> true once its bytes were let go
var bytesRead = {};   // data path -> bytes read since it was opened

function dataPath(rel) { return DATA_FOLDER + '/' + rel; }

// The file's bytes so far: those from its start (the rest read as zeros),
// the file at its whole size. A piece from further on comes in an array of
// the file's size, where the head that came before is copied.
function putDataFile(rel, bytes, from) {
  var path = dataPath(rel);
  var slash = path.lastIndexOf('/');
  FS.mkdirTree(path.substring(0, slash));
  var node;
  try { node = FS.lookupPath(path).node; } catch (e) {
    FS.writeFile(path, new Uint8Array(0));
    node = FS.lookupPath(path).node;
  }
  if (from) bytes.set(node.contents.subarray(0, from));
  // The arrived bytes themselves, not a copy; an open reader sees them at once.
  node.contents = bytes;
  node.usedBytes = fileSize[rel];
}

Module.fileArrived = function (rel, bytes, from) {
  if (dataReady) putDataFile(rel, bytes, from);
  else Module.arrivedEarly.push([rel, bytes, from]);
};

function watchDataFiles() {
  var open = FS.open, close = FS.close, read = FS.read;
  FS.open = function (path, flags, mode) {
    var stream = open.apply(this, arguments);
    var full = stream.path || '';
    if (full.indexOf(DATA_FOLDER + '/') === 0) {
      var rel = full.substring(DATA_FOLDER.length + 1);
      if (letGo[rel]) err('swapsprint: ' + rel + ' is opened again after it was let go');
      bytesRead[full] = 0;
      noteOpened(rel);
    }
    return stream;
  };
  FS.read = function (stream, buffer, offset, length, position) {
    var at = typeof position === 'number' ? position : stream.position;
    var n = read.apply(this, arguments);
    if (!(stream.path in bytesRead)) return n;
    bytesRead[stream.path] += n;
    // Past what has arrived: zeros, and never a picture's pixels (the hold
    // keeps the game from drawing one before it is whole).
    var have = stream.node.contents.length;
    if (at + n > have) {
      buffer.fill(0, offset + Math.max(0, have - at), offset + n);
      var rel = stream.path.substring(DATA_FOLDER.length + 1);
      if (rel.indexOf('img/') === 0) err('swapsprint: ' + rel + ' is read before it arrived');
    }
    return n;
  };
  FS.close = function (stream) {
    var full = stream.path || '', node = stream.node;
    var whole = full in bytesRead && node && node.usedBytes > LET_GO_ABOVE && bytesRead[full] >= node.usedBytes;
    close.apply(this, arguments);
    delete bytesRead[full];
    var rel = full.substring(DATA_FOLDER.length + 1);
    if (whole && rel.indexOf('img/') === 0) {
      node.contents = new Uint8Array(0);
      node.usedBytes = 0;
      letGo[rel] = true;
    }
  };
}

// ---- the hold ---------------------------------------------------------------

var scene = null, sceneFromStep = 0;

function scenes() {
  var order = [];
  Module.packs.forEach(function (p) { if (order.indexOf(p.scene) < 0) order.push(p.scene); });
  return order;
}

// A scene shows itself by the pictures it opens (sounds are opened ahead, at
// start-up).
function noteOpened(rel) {
  var pack = fileOwner[rel];
  if (!pack || !pack.in || rel.indexOf('img/') !== 0 || pack.scene === scene) return;
  scene = pack.scene;
  sceneFromStep = Module.stepsTaken || 0;
}

// The package the game must wait for before its next step, or null. A press
// (a click, a key, a touch) may change the scene at once; a scene may also
// change on its own after a while, and a package may be due some seconds
// into its own scene.
function awaited(press) {
  var order = scenes();
  var current = scene || order[0];
  var next = order[(order.indexOf(current) + 1) % order.length];
  var seconds = ((Module.stepsTaken || 0) - sceneFromStep) / 60;
  for (var i = 0; i < Module.packs.length; ++i) {
    var p = Module.packs[i];
    if (p.in) continue;
    if (p.scene === current && seconds >= p.due) return p;
    if (p.scene === next && p.due === 0 && (press || seconds >= LEAST_SCENE_SECONDS)) return p;
  }
  return null;
}

// 0: no step (the game waits for a package); 1: a step; 2: a step with the
// input left waiting, since only a press could take the game where its files
// are not yet in: the scene goes on, the press counts once they are.
Module.heldFrames = 0;  // frames the game stood still for a package, for the page's test
Module.mayStep = function (press) {
  var p = awaited(false);
  var later = !p && press ? awaited(true) : null;
  Module.showWaiting(p || later);
  if (p) Module.heldFrames++;
  return p ? 0 : later ? 2 : 1;
};

// A tune's decoder reads ahead only as far as the sound has played, so while
// the page's sound is off the head of the first tune is all it takes. The
// sound goes on (with the first click, key or touch, as browsers have it)
// only once no package that completes a tune is still on the way; a press
// before then turns it on as that package arrives.
function soundHeld() {
  return Module.packs.some(function (p) {
    return !p.in && p.files.some(function (f) { return f[0].indexOf('soundfile/') === 0 && f[2] > 0; });
  });
}
var soundOn = null;  // turns the held sound on, once it is asked for
if (typeof window.AudioContext === 'function') {
  var PageAudioContext = window.AudioContext;
  window.AudioContext = function () {
    var context = Reflect.construct(PageAudioContext, arguments);
    if (!soundHeld()) return context;
    // Off even where the browser would let it start alone.
    context.suspend();
    var resume = context.resume.bind(context), asked = false;
    context.resume = function () {
      if (!soundHeld()) return resume();
      asked = true;
      return Promise.resolve();
    };
    soundOn = function () {
      if (asked && !soundHeld()) { soundOn = null; resume(); }
    };
    return context;
  };
  window.AudioContext.prototype = PageAudioContext.prototype;
}
Module.onPackageIn = function () { if (soundOn) soundOn(); };

// ---- the player's files -------------------------------------------------------

// IndexedDB as the page's file system kept it before (one database named
// after the folder, one store, a record per file), so lists kept by earlier
// pages carry over.
var DB_VERSION = 21, DB_STORE = 'FILE_DATA', APPLIED_KEY = 'swapsprint:applied-saves';
var LOCK_NAME = 'swapsprint-saves', JOURNAL_PREFIX = 'swapsprint-save-';
var KEEP_APPLIED = 64;
var db = null;
var base = {};   // file -> the bytes this tab last took from or gave to the store
var tabId = Date.now().toString(36) + Math.random().toString(36).slice(2, 8);
var journalCount = 0, flushing = false, flushAgain = false;
var channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel(LOCK_NAME) : null;

function openDb(done) {
  var req;
  try { req = indexedDB.open(PLAYER_FOLDER, DB_VERSION); } catch (e) { done(null); return; }
  req.onupgradeneeded = function () {
    var d = req.result;
    if (!d.objectStoreNames.contains(DB_STORE)) {
      d.createObjectStore(DB_STORE).createIndex('timestamp', 'timestamp', { unique: false });
    }
  };
  req.onsuccess = function () { done(req.result); };
  req.onerror = function () { done(null); };
}

// Runs task(release) under the lock every tab of the page takes for its saves.
function underLock(task) {
  if (navigator.locks && navigator.locks.request) {
    navigator.locks.request(LOCK_NAME, function () {
      return new Promise(function (resolve) { task(resolve); });
    });
  } else {
    task(function () {});  // no locks (a page not served securely): one tab's word
  }
}

function readMem(name) {
  try { return FS.readFile(PLAYER_FOLDER + '/' + name); } catch (e) { return null; }
}
function writeMem(name, bytes) {
  FS.writeFile(PLAYER_FOLDER + '/' + name, bytes);
}
function same(a, b) {
  if (!a || !b) return !a && !b;
  if (a.length !== b.length) return false;
  for (var i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
  return true;
}
function fileKey(name) { return PLAYER_FOLDER + '/' + name; }

// The store's files and the saves already merged into them.
function readStore(done) {
  var out = { files: {}, applied: [] };
  var tx = db.transaction([DB_STORE], 'readonly');
  var store = tx.objectStore(DB_STORE);
  KEPT_FILES.forEach(function (name) {
    store.get(fileKey(name)).onsuccess = function (e) {
      var v = e.target.result;
      if (v && v.contents) out.files[name] = new Uint8Array(v.contents);
    };
  });
  store.get(APPLIED_KEY).onsuccess = function (e) { if (Array.isArray(e.target.result)) out.applied = e.target.result; };
  tx.oncomplete = function () { done(out); };
  tx.onerror = tx.onabort = function () { done(null); };
}

// ---- the ranking's merge: what the game keeps in ranker.list ----------------
// Ten records of ten letters and a score, 32-bit little-endian; a letter 99
// is no letter. A save adds the records it holds beyond the list it last saw;
// the list is sorted by score, highest first, equal scores in their earlier
// order, and cut to ten.
var RECORD_INTS = 11, RECORD_COUNT = 10, LIST_BYTES = 440, EMPTY_LETTER = 99;

function records(bytes) {
  var image = new Uint8Array(LIST_BYTES), view = new DataView(image.buffer), out = [];
  for (var i = 0; i < RECORD_COUNT; ++i) {
    for (var j = 0; j < RECORD_INTS - 1; ++j) view.setInt32(4 * (i * RECORD_INTS + j), EMPTY_LETTER, true);
  }
  if (bytes) image.set(bytes.subarray(0, Math.min(bytes.length, LIST_BYTES)));
  for (var r = 0; r < RECORD_COUNT; ++r) out.push(image.slice(4 * RECORD_INTS * r, 4 * RECORD_INTS * (r + 1)));
  return out;
}
function scoreOf(record) { return new DataView(record.buffer, record.byteOffset).getInt32(40, true); }

// The records of now beyond those of before, each of before matched once.
function added(now, before) {
  var seen = records(before), out = [];
  records(now).forEach(function (r) {
    var k = seen.findIndex(function (s) { return same(r, s); });
    if (k >= 0) seen.splice(k, 1); else out.push(r);
  });
  return out;
}

function mergeList(stored, newRecords) {
  var list = records(stored).concat(newRecords.map(function (a) { return new Uint8Array(a); }));
  list = list.map(function (r, i) { return [r, i]; });
  list.sort(function (a, b) { return scoreOf(b[0]) - scoreOf(a[0]) || a[1] - b[1]; });
  var out = new Uint8Array(LIST_BYTES);
  for (var i = 0; i < RECORD_COUNT; ++i) out.set(list[i][0], 4 * RECORD_INTS * i);
  return out;
}

// ---- saving -------------------------------------------------------------------

// After each save of the game: what changed since this tab last saw the store
// is written down at once (localStorage keeps it even if the tab is closed
// the next moment), then merged into the store under the lock.
Module.keepSaves = function () {
  if (!db) return;
  var journal = { files: {}, added: null };
  var any = false;
  KEPT_FILES.forEach(function (name) {
    var now = readMem(name);
    if (!now || same(now, base[name])) return;
    if (name === RANKER_LIST) journal.added = added(now, base[name]).map(function (r) { return Array.from(r); });
    else journal.files[name] = Array.from(now);
    base[name] = now;
    any = true;
  });
  if (!any) return;
  var id = JOURNAL_PREFIX + Date.now().toString(36) + '-' + tabId + '-' + (journalCount++);
  try { localStorage.setItem(id, JSON.stringify(journal)); } catch (e) { pendingHere[id] = journal; }
  flush();
};
var pendingHere = {};  // saves localStorage would not take (a full or absent one)

function journals() {
  var out = [];
  try {
    for (var i = 0; i < localStorage.length; ++i) {
      var key = localStorage.key(i);
      if (key && key.indexOf(JOURNAL_PREFIX) === 0) {
        try { out.push([key, JSON.parse(localStorage.getItem(key))]); } catch (e) { out.push([key, null]); }
      }
    }
  } catch (e) {}
  for (var k in pendingHere) out.push([k, pendingHere[k]]);
  // In the order they were made.
  return out.sort(function (a, b) { return a[0] < b[0] ? -1 : 1; });
}

// Merges every save written down (this tab's, and any a closed tab left) into
// the store, once each, and takes the merged files back.
function flush(done) {
  if (flushing) { flushAgain = true; return; }
  flushing = true;
  underLock(function (release) {
    readStore(function (store) {
      if (!store) { release(); finish(); return; }
      var files = store.files, applied = store.applied, todo = journals(), taken = [];
      todo.forEach(function (entry) {
        var key = entry[0], j = entry[1];
        taken.push(key);
        if (!j || applied.indexOf(key) >= 0) return;
        for (var name in j.files) files[name] = new Uint8Array(j.files[name]);
        if (j.added && j.added.length) files[RANKER_LIST] = mergeList(files[RANKER_LIST], j.added);
        applied.push(key);
      });
      if (!taken.length) {
        // Another tab merged this one's saves already: they are kept too.
        if (journalCount) Module.savesKept = (Module.savesKept || 0) + 1;
        release();
        finish(store.files);
        return;
      }
      var tx = db.transaction([DB_STORE], 'readwrite'), st = tx.objectStore(DB_STORE);
      for (var name in files) st.put({ timestamp: new Date(), mode: 33206, contents: files[name] }, fileKey(name));
      st.put(applied.slice(-KEEP_APPLIED), APPLIED_KEY);
      tx.oncomplete = function () {
        taken.forEach(function (key) { try { localStorage.removeItem(key); } catch (e) {} delete pendingHere[key]; });
        release();
        Module.savesKept = (Module.savesKept || 0) + 1;
        if (channel) channel.postMessage('saved');
        finish(files);
      };
      tx.onerror = tx.onabort = function () {
        console.warn('swapsprint: the saved files could not be kept: ' + tx.error);
        release();
        finish();
      };
    });
  });
  function finish(files) {
    if (files) takeBack(files);
    flushing = false;
    if (done) done();
    if (flushAgain) { flushAgain = false; flush(); }
  }
}

// The store's files become this tab's, where it has no save of its own
// still on the way.
function takeBack(files) {
  if (flushAgain || journals().some(function (j) { return j[0].indexOf('-' + tabId + '-') > 0; })) return;
  KEPT_FILES.forEach(function (name) {
    var stored = files[name];
    if (!stored || same(stored, base[name])) return;
    if (!same(readMem(name), base[name])) return;
    writeMem(name, stored);
    base[name] = stored;
  });
}

if (channel) channel.onmessage = function () {
  if (db && !flushing) underLock(function (release) {
    readStore(function (store) { release(); if (store) takeBack(store.files); });
  });
};

Module.arrivedEarly = Module.arrivedEarly || [];
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  // The data that came before the program, and the sounds still on the way.
  Module.packs.forEach(function (p) {
    p.files.forEach(function (f) {
      fileOwner[f[0]] = p;
      fileSize[f[0]] = f[3] || f[1];
    });
  });
  dataReady = true;
  Module.arrivedEarly.forEach(function (a) { putDataFile(a[0], a[1], a[2]); });
  Module.arrivedEarly = [];
  Module.packs.forEach(function (p) {
    p.files.forEach(function (f) {
      if (f[0].indexOf('soundfile/') === 0 && !f[2] && !p.arrived[f[0]]) putDataFile(f[0], new Uint8Array(0));
    });
  });
  watchDataFiles();
  var first = Module.packs[0];
  if (!first.in) {
    addRunDependency('first-package');
    first.onIn = function () { removeRunDependency('first-package'); };
  }

  FS.mkdirTree(PLAYER_FOLDER);
  addRunDependency('player-files');
  openDb(function (opened) {
    db = opened;
    if (!db) {
      console.warn('swapsprint: no lasting storage for the saved files');
      removeRunDependency('player-files');
      return;
    }
    // Saves a closed tab wrote down but did not merge are merged first.
    flush(function () {
      Module.playerFolderMounted = true;
      removeRunDependency('player-files');
    });
  });
});
