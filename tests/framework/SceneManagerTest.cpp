#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SceneManager.h"
#include "framework/gameNode.h"

namespace {

std::vector<std::string> journal;

class ProbeScene : public gameNode {
public:
    ProbeScene(std::string name, HRESULT result = S_OK) : name_(std::move(name)), result_(result) {}
    ~ProbeScene() override { journal.push_back("destroy " + name_); }
    HRESULT init() override {
        journal.push_back("init " + name_);
        return result_;
    }
    void release() override { journal.push_back("release " + name_); }

private:
    std::string name_;
    HRESULT result_;
};

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        journal.clear();
        SceneManager::destroy();
    }
    void TearDown() override { SceneManager::destroy(); }
    SceneManager& scenes() { return *SceneManager::get(); }
};

TEST_F(SceneManagerTest, UnknownAndCurrentNamesFail) {
    scenes().addScene("intro", new ProbeScene("intro"));
    EXPECT_EQ(scenes().changeScene("nowhere"), E_FAIL);
    EXPECT_EQ(scenes().currentScene, nullptr);
    EXPECT_EQ(scenes().changeScene("intro"), S_OK);
    gameNode* intro = scenes().currentScene;
    EXPECT_EQ(scenes().changeScene("intro"), E_FAIL);  // no second init
    EXPECT_EQ(scenes().changeScene("nowhere"), E_FAIL);
    EXPECT_EQ(scenes().currentScene, intro);
    EXPECT_EQ(journal, (std::vector<std::string>{"init intro"}));
}

TEST_F(SceneManagerTest, FailingInitIsNotMadeCurrent) {
    scenes().addScene("intro", new ProbeScene("intro"));
    scenes().addScene("broken", new ProbeScene("broken", E_FAIL));
    scenes().changeScene("intro");
    gameNode* intro = scenes().currentScene;
    EXPECT_EQ(scenes().changeScene("broken"), E_FAIL);
    EXPECT_EQ(scenes().currentScene, intro);
}

TEST_F(SceneManagerTest, ReentryRunsInitAgainWithoutRelease) {
    scenes().addScene("game", new ProbeScene("game"));
    scenes().addScene("rank", new ProbeScene("rank"));
    scenes().changeScene("game");
    scenes().changeScene("rank");
    scenes().changeScene("game");
    EXPECT_EQ(journal, (std::vector<std::string>{"init game", "init rank", "init game"}));
}

TEST_F(SceneManagerTest, OnlyTheCurrentSceneIsReleasedAndAllAreDestroyed) {
    scenes().addScene("rank", new ProbeScene("rank"));
    scenes().addScene("game", new ProbeScene("game"));
    scenes().addScene("intro", new ProbeScene("intro"));
    scenes().changeScene("intro");
    journal.clear();
    scenes().releaseAll();
    // Name order: game, intro, rank.
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy game", "release intro", "destroy intro",
                                                 "destroy rank"}));
    EXPECT_EQ(scenes().currentScene, nullptr);
    EXPECT_EQ(scenes().findScene("intro"), nullptr);
}

TEST_F(SceneManagerTest, FirstRegistrationOfANameWins) {
    auto* first = new ProbeScene("first");
    auto* second = new ProbeScene("second");
    EXPECT_EQ(scenes().addScene("game", first), first);
    EXPECT_EQ(scenes().addScene("game", second), second);
    EXPECT_EQ(scenes().addScene("none", nullptr), nullptr);
    EXPECT_EQ(scenes().findScene("game"), first);
    EXPECT_EQ(scenes().findScene("none"), nullptr);
    delete second;  // refused, so still ours
}

}  // namespace
