#pragma once

#include "engine/mpv/MpvClient.h"

#include <vector>

// How the player sets mpv up before it starts: no video output until a
// surface has a render context, keep-open, volume 50 unmuted at normal
// speed, and nothing of the user's (configuration, scripts, key bindings,
// download helpers, saved positions). Without audio, sound goes nowhere.
std::vector<MpvClient::Option> playerSettings(bool audio);
