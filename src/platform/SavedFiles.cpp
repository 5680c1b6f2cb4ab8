#include "platform/SavedFiles.h"

namespace platform {

void keepSavedFiles() {}

}  // namespace platform
