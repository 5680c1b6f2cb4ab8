#include "framework/SceneManager.h"

#include <memory>

#include "framework/gameNode.h"

namespace {
std::unique_ptr<SceneManager>& slot() {
    static std::unique_ptr<SceneManager> instance;
    return instance;
}
}  // namespace

SceneManager* SceneManager::get() {
    auto& s = slot();
    if (!s) s = std::make_unique<SceneManager>();
    return s.get();
}

void SceneManager::destroy() {
    auto& s = slot();
    if (s) s->releaseAll();
    s.reset();
}

gameNode* SceneManager::addScene(const std::string& name, gameNode* scene) {
    if (scene && scenes.find(name) == scenes.end()) scenes.emplace(name, scene);
    return scene;
}

gameNode* SceneManager::findScene(const std::string& name) const {
    auto it = scenes.find(name);
    return it == scenes.end() ? nullptr : it->second;
}

HRESULT SceneManager::changeScene(const std::string& name) {
    auto it = scenes.find(name);
    if (it == scenes.end()) return E_FAIL;
    gameNode* scene = it->second;
    if (scene == currentScene) return E_FAIL;
    if (scene->init() < 0) return E_FAIL;
    currentScene = scene;
    return S_OK;
}

void SceneManager::releaseAll() {
    for (auto& [name, scene] : scenes) {
        if (!scene) continue;
        if (scene == currentScene) scene->release();
        delete scene;
    }
    scenes.clear();
    currentScene = nullptr;
}
