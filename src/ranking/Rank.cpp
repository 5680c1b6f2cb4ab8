#include "ranking/Rank.h"

// Filled in with the score files; until then the scene shows nothing.
HRESULT Rank::init() { return S_OK; }
void Rank::update() {}
void Rank::render() {}
