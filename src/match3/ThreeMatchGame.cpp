#include "match3/ThreeMatchGame.h"

// The play scene is filled in with the score files and the ranking; until then
// entering it shows an empty screen.
ThreeMatchGame::~ThreeMatchGame() = default;
HRESULT ThreeMatchGame::init() { return S_OK; }
void ThreeMatchGame::release() {}
void ThreeMatchGame::update() {}
void ThreeMatchGame::render() {}
