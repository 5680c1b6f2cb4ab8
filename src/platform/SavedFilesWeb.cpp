// The page mounts the player's folder on the browser's IndexedDB (pre.js,
// before the game starts, which also reads it back); each save copies the
// folder there. Saves can come every frame (the score at the end of play), so
// a save made while a copy is under way asks for one more copy after it, and
// no more.
#include <emscripten.h>

#include "platform/SavedFiles.h"

namespace platform {

void keepSavedFiles() {
    EM_ASM({
        if (!Module.playerFolderMounted) return;
        if (Module.keepingSaves) {
            Module.keepSavesAgain = true;
            return;
        }
        Module.keepingSaves = true;
        var keep = function() {
            Module.keepSavesAgain = false;
            FS.syncfs(false, function(err) {
                if (err) console.warn('swapsprint: the saved files could not be kept: ' + err);
                Module.savesKept = (Module.savesKept || 0) + 1;
                if (Module.keepSavesAgain) keep(); else Module.keepingSaves = false;
            });
        };
        keep();
    });
}

}  // namespace platform
