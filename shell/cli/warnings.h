// The line after what a file carries that says where the phone will
// disappoint: a linked channel that never plays, vibration pulses too short
// to feel, a vibrator that runs almost all the time.
#pragma once

#include <cstdint>
#include <string>

#include "engine/channelroles.h"
#include "shell/cli/language.h"

// The line for the file named `name`, whose channels `roles` describes, when
// it carries the links `vibration` and `led` (bit i for channel i + 1), with
// its line end; empty when all is well.
std::string warningsLine(const char *name, const ChannelRoles &roles, uint32_t vibration, uint32_t led,
                         Language language);
