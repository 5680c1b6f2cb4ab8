// The picture files that failed to load, by path and by what was asked of
// them, so a bad file costs one look per add instead of a read every frame or
// every tile: it is tried again only once the file at the path has changed,
// or when something else is asked of it.
#pragma once

#include <map>
#include <string>

#include "platform/FileIO.h"

class loadFailures {
public:
    // True when this path failed before for this request and the file there
    // is still the same.
    bool knownBad(const std::string& path, const std::string& request) const;
    void remember(const std::string& path, const std::string& request);
    void clear() { failed.clear(); }

private:
    static std::string key(const std::string& path, const std::string& request) {
        return path + '\0' + request;
    }

    std::map<std::string, platform::FileStamp> failed;
};
