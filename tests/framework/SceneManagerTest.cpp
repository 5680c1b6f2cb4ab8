// Scenes by name: which change succeeds, which scene's init and release run,
// and who is destroyed at the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "framework/gameNode.h"

namespace {

std::vector<std::string> journal;

class ProbeScene : public gameNode {
public:
    explicit ProbeScene(std::string name, HRESULT result = S_OK) : name_(std::move(name)), result_(result) {}
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
        for (const char* name : {names::kRankScene, names::kGameScene, names::kIntroScene})
            scenes().addScene(name, new ProbeScene(name));
        scenes().addScene("broken", new ProbeScene("broken", E_FAIL));
    }
    void TearDown() override { SceneManager::destroy(); }
    static SceneManager& scenes() { return *SceneManager::get(); }
};

TEST_F(SceneManagerTest, OnlyAKnownOtherSceneWhoseInitSucceedsBecomesCurrent) {
    EXPECT_EQ(scenes().changeScene("nowhere"), E_FAIL);
    EXPECT_EQ(scenes().currentScene, nullptr);
    EXPECT_EQ(scenes().changeScene(names::kGameScene), S_OK);
    gameNode* game = scenes().currentScene;
    EXPECT_EQ(scenes().changeScene(names::kGameScene), E_FAIL);  // no second init
    EXPECT_EQ(scenes().changeScene("broken"), E_FAIL);
    EXPECT_EQ(scenes().changeScene("nowhere"), E_FAIL);
    EXPECT_EQ(scenes().currentScene, game);
    scenes().changeScene(names::kRankScene);
    scenes().changeScene(names::kGameScene);  // entered again: init, no release
    EXPECT_EQ(journal, (std::vector<std::string>{"init game", "init broken", "init rank", "init game"}));
}

TEST_F(SceneManagerTest, OnlyTheCurrentSceneIsReleasedAndAllAreDestroyedInNameOrder) {
    scenes().changeScene(names::kIntroScene);
    journal.clear();
    scenes().releaseAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy broken", "destroy game", "release intro",
                                                 "destroy intro", "destroy rank"}));
    EXPECT_EQ(scenes().currentScene, nullptr);
    EXPECT_EQ(scenes().findScene(names::kIntroScene), nullptr);
}

TEST_F(SceneManagerTest, FirstRegistrationOfANameWins) {
    gameNode* first = scenes().findScene(names::kGameScene);
    auto* second = new ProbeScene("second");
    EXPECT_EQ(scenes().addScene(names::kGameScene, second), second);
    EXPECT_EQ(scenes().addScene("none", nullptr), nullptr);
    EXPECT_EQ(scenes().findScene(names::kGameScene), first);
    EXPECT_EQ(scenes().findScene("none"), nullptr);
    delete second;  // refused, so still ours
}

}  // namespace
