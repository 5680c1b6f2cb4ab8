// The page mounts the player's folder on the browser's IndexedDB (index.js,
// before the game starts, which also reads it back); each save copies the
// folder there. Saves are few (a switch, a score, a ranking) and small.
#include <emscripten.h>

#include "platform/SavedFiles.h"

namespace platform {

void keepSavedFiles() {
    EM_ASM({
        if (!Module.playerFolderMounted) return;
        FS.syncfs(false, function(err) {
            if (err) console.warn('swapsprint: the saved files could not be kept: ' + err);
            Module.savesKept = (Module.savesKept || 0) + 1;
        });
    });
}

}  // namespace platform
