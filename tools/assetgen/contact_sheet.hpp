// A review sheet: every picture on a checkerboard with its name, size and key.
#pragma once
#include <string>
#include <vector>

#include "image_io.hpp"

namespace assetgen {

struct SheetEntry {
    std::string name;
    Format format;
    int cols, rows;
    const Image* image;
};

bool writeContactSheet(const std::string& path, const std::vector<SheetEntry>& entries);

}  // namespace assetgen
