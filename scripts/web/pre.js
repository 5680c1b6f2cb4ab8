// Runs in the page before the game's main().
//
// The player's folder (where the game keeps "option", "new.score" and
// "ranker.list": $HOME/.local/share/swapsprint, HOME being emscripten's
// /home/web_user) lives in the browser's IndexedDB: it is read back before the
// game starts, and the game copies it there after each save. Without
// IndexedDB (a private window, say) the files last as long as the page.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  var folder = '/home/web_user/.local/share/swapsprint';
  FS.mkdirTree(folder);
  try {
    FS.mount(IDBFS, {}, folder);
  } catch (e) {
    console.warn('swapsprint: no lasting storage for the saved files: ' + e);
    return;
  }
  addRunDependency('player-files');
  FS.syncfs(true, function (err) {
    if (err) console.warn('swapsprint: the saved files could not be read back: ' + err);
    else Module.playerFolderMounted = true;
    removeRunDependency('player-files');
  });
});
