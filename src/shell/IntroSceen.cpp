#include "shell/IntroSceen.h"

HRESULT IntroSceen::init() { return S_OK; }
void IntroSceen::update() {}
void IntroSceen::render() {}
