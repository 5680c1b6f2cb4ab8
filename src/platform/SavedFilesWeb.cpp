// The player's folder lives in the page's memory; after each save the page
// merges what changed into the browser's IndexedDB, under a lock that spans
// tabs, with what other tabs stored meanwhile (pre.js). Saves can come every
// frame (the score at the end of play): only a change is written down.
#include <emscripten.h>

#include "platform/SavedFiles.h"

namespace platform {

void keepSavedFiles() {
    EM_ASM({ if (Module.keepSaves) Module.keepSaves(); });
}

}  // namespace platform
