// The game's scenes by name, and which one is current. Scenes change scene
// themselves from inside their own update.
#pragma once

#include <map>
#include <string>

#include "platform/Win32Types.h"

class gameNode;

class SceneManager {
public:
    static SceneManager* get();
    static void destroy();  // releaseAll first

    // Takes ownership; a null scene or a name already registered is not stored
    // (the manager then deletes nothing: the caller keeps what was refused).
    gameNode* addScene(const std::string& name, gameNode* scene);
    // S_OK when the named scene became current, E_FAIL otherwise.
    HRESULT changeScene(const std::string& name);
    void releaseAll();  // only the current scene gets its release; all are destroyed

    gameNode* currentScene = nullptr;
    gameNode* findScene(const std::string& name) const;

private:
    std::map<std::string, gameNode*> scenes;
};
