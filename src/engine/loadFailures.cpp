#include "engine/loadFailures.h"

bool loadFailures::knownBad(const std::string& path, const std::string& request) const {
    auto it = failed.find(key(path, request));
    return it != failed.end() && it->second == platform::fileStamp(path);
}

void loadFailures::remember(const std::string& path, const std::string& request) {
    failed[key(path, request)] = platform::fileStamp(path);
}
