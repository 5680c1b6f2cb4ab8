// What follows a saved file. On the desktop nothing: the file is on disk once
// writeFileAtomic returns. In a page the player's folder lives in memory and
// is copied to the browser's own storage after each save (SavedFilesWeb.cpp),
// so the files survive a reload.
#pragma once

namespace platform {

void keepSavedFiles();

}  // namespace platform
