#include "shell/mainGame.h"

#include "engine/pictureRegistry.h"
#include "platform/Surface.h"
#include "shell/SceneManager.h"

HRESULT mainGame::init() {
    gameNode::init();
    running = 1;
    return S_OK;
}

void mainGame::release() { gameNode::release(); }

void mainGame::update() {
    gameNode* scene = SceneManager::get()->currentScene;
    if (running == 1 && scene) scene->update();
}

void mainGame::render() {
    HDC back = backDC();
    if (!back) return;
    platform::fillWhite(*back, 0, 0, 600, 1024);
    if (gameNode* scene = SceneManager::get()->currentScene) scene->render();
    backBuffer()->render(hdc, 0, 0);
}

void mainGame::applyVolumes() {}
void mainGame::updateOptionPanel() {}
void mainGame::renderOptionPanel() {}
