#pragma once

#include "tests/support/ScriptedPrompt.h"

// The scripted prompter runs its OnShow step as each box comes up.
using THookedPrompt = TScriptedPrompt;
