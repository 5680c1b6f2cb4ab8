// assetgen OUTDIR [--contact-sheet FILE] [--only NAME]
// Writes every picture to OUTDIR/img and every sound to OUTDIR/soundfile.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "art.hpp"
#include "contact_sheet.hpp"
#include "sounds.hpp"

namespace {

using namespace assetgen;

struct Options {
    std::string outDir;
    std::string contactSheet;
    std::string only;  // limit to one file while working on a picture
    bool skipSounds = false;
};

bool parseArgs(int argc, char** argv, Options& opt) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--contact-sheet" && i + 1 < argc) opt.contactSheet = argv[++i];
        else if (a == "--only" && i + 1 < argc) opt.only = argv[++i];
        else if (a == "--no-sounds") opt.skipSounds = true;
        else if (!a.empty() && a[0] != '-' && opt.outDir.empty()) opt.outDir = a;
        else return false;
    }
    return !opt.outDir.empty();
}

Image render(const PictureEntry& entry) {
    Canvas canvas(entry.width, entry.height);
    entry.draw(canvas.cr(), entry.width, entry.height);
    switch (entry.format) {
    case Format::KeyedBmp: return toKeyed(canvas);
    case Format::OpaqueBmp: return toOpaque(canvas);
    case Format::Png: return toStraight(canvas, false);
    case Format::PngSkip: return toStraight(canvas, true);
    }
    return {};
}

bool writePicture(const std::string& path, const PictureEntry& entry, const Image& img) {
    bool png = entry.format == Format::Png || entry.format == Format::PngSkip;
    return png ? writePng(path, img) : writeBmp(path, img);
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parseArgs(argc, argv, opt)) {
        std::fprintf(stderr, "usage: assetgen OUTDIR [--contact-sheet FILE] [--only FILE] [--no-sounds]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path imgDir = fs::path(opt.outDir) / "img";
    const fs::path soundDir = fs::path(opt.outDir) / "soundfile";
    fs::create_directories(imgDir);
    fs::create_directories(soundDir);

    // Sounds take as long as all the pictures together: run them beside.
    bool soundsOk = true;
    std::thread soundThread;
    if (!opt.skipSounds && opt.only.empty())
        soundThread = std::thread([&] { soundsOk = writeAllSounds(soundDir.string()); });

    const auto& catalog = pictureCatalog();
    std::vector<Image> images(catalog.size());
    bool ok = true;
    for (size_t i = 0; i < catalog.size(); ++i) {
        const PictureEntry& entry = catalog[i];
        if (!opt.only.empty() && entry.file != opt.only) continue;
        images[i] = render(entry);
        if (!writePicture((imgDir / entry.file).string(), entry, images[i])) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", entry.file.c_str());
            ok = false;
        }
    }
    if (soundThread.joinable()) soundThread.join();
    ok = ok && soundsOk;

    if (!opt.contactSheet.empty()) {
        std::vector<SheetEntry> entries;
        for (size_t i = 0; i < catalog.size(); ++i)
            if (images[i].width > 0)
                entries.push_back({catalog[i].file, catalog[i].format, catalog[i].cols,
                                   catalog[i].rows, &images[i]});
        if (!writeContactSheet(opt.contactSheet, entries)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", opt.contactSheet.c_str());
            ok = false;
        }
    }
    // Cairo's text keeps fontconfig's caches to the end; hand them back so a
    // sanitizer build of the generator reports only leaks of our own.
    cairo_debug_reset_static_data();
    FcFini();
    return ok ? 0 : 1;
}
