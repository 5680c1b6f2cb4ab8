// The frame-cost table: plays one whole game in the headless harness (intro
// through to the pulsing play button, the countdown, play with a cascade, six
// obstacles and the combo banner, the runner's exit, name entry and the
// reveal of the list) and prints, per scene, the CPU time of its heaviest frame
// in microseconds. A frame is the game's update and render, the canvas's
// redraw of the changed cells included; the fake clock means no pacing wait
// is counted.
//
// Sounds play on the fake clock, as in every harness game, but each one is
// also loaded and played by the real mixer (on SDL's dummy output), in the
// very frame that loads or plays it: a scene's entry frame pays for decoding
// its music as it does in the game.
//
// The game is deterministic on the fake clock, so the whole game is played
// several times and each frame is charged the least it cost in any play: that
// strips the noise of a shared machine (preemption, cold caches) and keeps
// what the frame itself needs. Frames that enter a scene load its pictures
// from disk; they get rows of their own. The intro's frames are spaced 1/60 s
// apart in real time, as the game shows them: the pictures it registers at
// once are decoded beside it in that time, and a frame that ran ahead of them
// would pay for decoding them itself.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "Harness.h"
#include "SimulatedAudio.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/PictureLoader.h"
#include "engine/bitmapPicture.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "ranking/Rank.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"
#include "platform/Audio.h"

using testing_support::Harness;

namespace {

constexpr int kPlays = 5;

std::int64_t cpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The sound lengths the harness gives the game's sounds, so play takes as
// long as in every other harness game.
const std::map<std::string, double> kSoundSeconds = {
    {"playbgm.mp3", 63.0}, {"intro1.mp3", 10.0}, {"intro2.mp3", 25.0},
    {"ranking.mp3", 25.0}, {"combo1.mp3", 0.6},  {"combo2.mp3", 0.6},
    {"combo3.mp3", 0.6},   {"combo4.mp3", 0.6},  {"combo5.mp3", 0.6},
    {"delete.mp3", 0.3},   {"jump.wav", 0.5}};

// Time from the simulated system, cost from the real one.
class ChargedAudio : public platform::AudioSystem {
public:
    ChargedAudio(platform::Clock& clock, int channels)
        : sim_(clock, channels), real_(platform::createMixerAudio(channels, {"dummy"})) {
        for (const auto& [name, seconds] : kSoundSeconds) sim_.setDuration(name, seconds);
    }
    platform::SoundId load(const std::string& path, bool stream, bool loop) override {
        const platform::SoundId real = real_->load(path, stream, loop);
        const platform::SoundId sim = sim_.load(path, stream, loop);
        realSound_[sim] = real;
        return sim;
    }
    void release(platform::SoundId sound) override {
        real_->release(realSound_[sound]);
        sim_.release(sound);
    }
    platform::ChannelId play(platform::SoundId sound, float volume) override {
        const platform::ChannelId channel = sim_.play(sound, volume);
        if (channel) realChannel_[channel] = real_->play(realSound_[sound], volume);
        return channel;
    }
    void stop(platform::ChannelId channel) override {
        real_->stop(realChannel_[channel]);
        sim_.stop(channel);
    }
    void setPaused(platform::ChannelId channel, bool paused) override {
        real_->setPaused(realChannel_[channel], paused);
        sim_.setPaused(channel, paused);
    }
    void setVolume(platform::ChannelId channel, float volume) override {
        real_->setVolume(realChannel_[channel], volume);
        sim_.setVolume(channel, volume);
    }
    bool isPlaying(platform::ChannelId channel) override { return sim_.isPlaying(channel); }
    bool isPaused(platform::ChannelId channel) override { return sim_.isPaused(channel); }
    void update() override {
        real_->update();
        sim_.update();
    }
    void close() override {
        real_->close();
        sim_.close();
    }

private:
    testing_support::SimulatedAudio sim_;
    std::unique_ptr<platform::AudioSystem> real_;
    std::map<platform::SoundId, platform::SoundId> realSound_;
    std::map<platform::ChannelId, platform::ChannelId> realChannel_;
};

template <class T>
T* scene(const char* name) {
    return dynamic_cast<T*>(SceneManager::get()->findScene(name));
}

bool isCurrent(const char* name) {
    return SceneManager::get()->currentScene == SceneManager::get()->findScene(name);
}

struct Point {
    int x, y;
};
Point centre(const RECT& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The rows of the table in the order a game reaches them.
const std::vector<std::string> kRows = {
    "intro: rise and light", "intro: hold", "intro: slide", "intro: cross-fade",
    "intro: drift", "intro: sweep", "intro: pulse", "enter play (loads its pictures)",
    "play: countdown", "play: cascade, six obstacles, combo banner", "play: runner exit",
    "enter ranking (loads its pictures)", "ranking: name entry", "ranking: reveal"};

// One play of the game: per row, the CPU time of each of its frames in order.
using Trace = std::map<std::string, std::vector<std::int64_t>>;

class Player {
public:
    explicit Player(Harness& h) : h_(h) {}

    // One frame, charged to row; a frame that changes the scene is charged to
    // enterRow instead, as it loads the next scene's pictures.
    void frame(const std::string& row, const std::string& enterRow = "") {
        gameNode* before = SceneManager::get()->currentScene;
        const auto due = std::chrono::steady_clock::now() + std::chrono::microseconds(16667);
        const std::int64_t start = cpuNanos();
        h_.frame();
        const std::int64_t spent = cpuNanos() - start;
        if (paced) std::this_thread::sleep_until(due);
        const bool entered = SceneManager::get()->currentScene != before;
        trace_[entered && !enterRow.empty() ? enterRow : row].push_back(spent);
    }

    // A click: the button down for one frame, then up for one.
    void click(Point p, const std::string& row, const std::string& enterRow = "") {
        h_.mouseTo(p.x, p.y);
        h_.keyDown(0x01);
        frame(row, enterRow);
        h_.keyUp(0x01);
        frame(row, enterRow);
    }

    Trace take() { return std::move(trace_); }

    bool paced = false;  // frames 1/60 s apart in real time

private:
    Harness& h_;
    Trace trace_;
};

const char* introRow(const IntroSceen* s) {
    if (s->buttonShown) return "intro: pulse";
    if (s->driftDone) return "intro: sweep";
    if (s->fadeDone) return "intro: drift";
    if (s->slideDone) return "intro: cross-fade";
    if (s->holdOver) return "intro: slide";
    if (s->lightDone) return "intro: hold";
    return "intro: rise and light";
}

// Keeps six obstacles spread over the strip and the combo banner up.
void keepPlayBusy(ThreeMatchGame* play) {
    AnimationBoard* runner = play->runnerBoard;
    BlockBoard* board = play->blockBoard;
    int live = 0;
    for (Obstacle* o : runner->obstacles) live += o->finished ? 0 : 1;
    for (int kind = 1; live < 6; ++kind, ++live) {
        auto* o = new Obstacle();
        o->setup(kind, runner);
        o->x = 100.0f + 110.0f * static_cast<float>(live);
        runner->obstacles.push_back(o);
    }
    board->combo = std::max(board->combo, 5);
    board->comboDeadline = static_cast<std::int32_t>(static_cast<std::uint32_t>(board->now) +
                                                     BlockBoard::kComboWindowMs);
}

// Every seventh tile special, so the overlays are drawn too.
void markSpecials(BlockBoard* board) {
    for (std::size_t i = 0; i < board->blocks.size(); i += 7) board->blocks[i]->special = 1;
}

// Ten entries scored -1: any score opens the name entry.
void writeLowList() {
    std::ofstream out(kRankerListFile, std::ios::binary);
    RankRecord r{};
    for (std::int32_t& l : r.letters) l = emptyLetter;
    r.score = -1;
    for (int i = 0; i < kRankCount; ++i) out.write(reinterpret_cast<const char*>(&r), sizeof r);
}

// Plays one game; an empty trace when the game did not get where it should.
Trace playOnce(std::string* failure) {
    auto fail = [failure](const char* why) {
        *failure = why;
        return Trace{};
    };
    Harness h;
    PictureLoader::allow(true);  // as the game does
    platform::installAudioFactory([&h](int channels) -> std::unique_ptr<platform::AudioSystem> {
        return std::make_unique<ChargedAudio>(h.time.clock, channels);
    });
    writeLowList();
    h.start();
    Player p(h);

    IntroSceen* intro = scene<IntroSceen>(names::kIntroScene);
    p.paced = true;
    for (int i = 0; i < 5000 && !intro->buttonShown; ++i) p.frame(introRow(intro));
    if (!intro->buttonShown) return fail("the intro never showed its play button");
    for (int i = 0; i < 120; ++i) p.frame("intro: pulse");

    const RECT play = intro->playButton ? intro->playButton->getBoundingRect()
                                        : RECT{380, 470, 535, 560};
    p.paced = false;
    p.click(centre(play), "intro: pulse", "enter play (loads its pictures)");
    if (!isCurrent(names::kGameScene)) return fail("the play button did not start play");

    auto* game = scene<ThreeMatchGame>(names::kGameScene);
    for (int i = 0; i < 600 && !game->started; ++i) p.frame("play: countdown");
    if (!game->started) return fail("the countdown never ended");

    // Three refreshes, each dropping a whole new board in: the cascade.
    const std::string busy = "play: cascade, six obstacles, combo banner";
    for (int refresh = 0; refresh < 3; ++refresh) {
        keepPlayBusy(game);
        // The button's area reaches past the window: click its visible part.
        const RECT& r = game->refreshRect;
        p.click(centre(RECT{r.left, r.top, std::min(r.right, names::kClientWidth), std::min(r.bottom, names::kClientHeight)}), busy);
        markSpecials(game->blockBoard);
        for (int i = 0; i < 120; ++i) {
            keepPlayBusy(game);
            p.frame(busy);
        }
    }
    if (game->blockBoard->refreshLeft != 0) return fail("the refreshes were not taken");

    h.keyDown('1');
    p.frame("play: runner exit");
    h.keyUp('1');
    for (int i = 0; i < 3000 && !isCurrent(names::kRankScene); ++i)
        p.frame("play: runner exit", "enter ranking (loads its pictures)");
    if (!isCurrent(names::kRankScene)) return fail("the runner never left for the ranking");

    Rank* rank = scene<Rank>(names::kRankScene);
    p.frame("ranking: name entry");
    if (rank->phase != Rank::entering) return fail("no name entry");
    for (int letter = 0; letter < kNameLength; ++letter)
        p.click(centre(rank->letterCells[letter * 3]), "ranking: name entry");
    for (int i = 0; i < 30; ++i) p.frame("ranking: name entry");
    p.click(centre(rank->okButton), "ranking: name entry");
    if (rank->phase != Rank::showing) return fail("OK did not store the name");
    for (int i = 0; i < 320; ++i) p.frame("ranking: reveal");
    return p.take();
}

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            if (colon != std::string::npos) return line.substr(colon + 2);
        }
    }
    return "unknown CPU";
}

double micros(std::int64_t ns) { return static_cast<double>(ns) / 1000.0; }

// The scale the figures are read against: the least CPU time of a memcpy of
// one whole frame, taken in the same run.
std::int64_t frameCopyNanos() {
    std::vector<std::uint32_t> from(std::size_t(names::kClientWidth) * names::kClientHeight, 0x123456u), to(from.size());
    std::int64_t least = INT64_MAX;
    for (int i = 0; i < 200; ++i) {
        const std::int64_t t0 = cpuNanos();
        std::memcpy(to.data(), from.data(), from.size() * 4);
        least = std::min(least, cpuNanos() - t0);
        from[std::size_t(i)] = to[std::size_t(i) + 1];  // no copy may be skipped as the same again
    }
    return least;
}

}  // namespace

int main() {
    std::int64_t copy = frameCopyNanos();
    std::vector<Trace> plays;
    for (int i = 0; i < kPlays; ++i) {
        std::string failure;
        Trace t = playOnce(&failure);
        if (t.empty()) {
            std::fprintf(stderr, "frame_costs: %s\n", failure.c_str());
            return 1;
        }
        plays.push_back(std::move(t));
    }

    copy = std::min(copy, frameCopyNanos());
    std::printf("%s, %u hardware threads; CPU time per frame, least of %d plays; a memcpy of one frame %.0f us\n\n",
                cpuModel().c_str(), std::thread::hardware_concurrency(), kPlays, micros(copy));
    std::printf("| Scene | Frames | Heaviest frame (us) | Heaviest, x memcpy | Median frame (us) | Heaviest, first play (us) |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const std::string& row : kRows) {
        // Frame i of the row: the least it cost in any play.
        std::vector<std::int64_t> least;
        for (const Trace& t : plays) {
            auto it = t.find(row);
            if (it == t.end()) continue;
            const auto& f = it->second;
            if (least.empty()) least = f;
            least.resize(std::min(least.size(), f.size()));
            for (std::size_t i = 0; i < least.size(); ++i) least[i] = std::min(least[i], f[i]);
        }
        if (least.empty()) {
            std::printf("| %s | 0 | - | - | - | - |\n", row.c_str());
            continue;
        }
        std::vector<std::int64_t> sorted = least;
        std::sort(sorted.begin(), sorted.end());
        // The first play also pays for what is made once per process, such as
        // the first drawing of each text.
        const auto& first = plays.front().at(row);
        std::printf("| %s | %zu | %.0f | %.1f | %.0f | %.0f |\n", row.c_str(), least.size(),
                    micros(sorted.back()), double(sorted.back()) / double(copy), micros(sorted[sorted.size() / 2]),
                    micros(*std::max_element(first.begin(), first.end())));
    }
    return 0;
}
