// After a conversion: what the converted file now carries, as one plain line
// for the user ("tune.mmf: vibration 2, LED 1"), and where the file could not
// hold all that was asked, why, in words a ringtone user knows
// ("vibration none (this file has no track that can hold vibration)").
#pragma once

#include <string>

#include "engine/conversion.h"
#include "shell/report/phrases.h"

// The line for the file named `name`, converted as `request` asked with
// `result`; `allTracksChoice` is how the front end names the choice that
// links score tracks 6 and 7 ("--all-tracks"), for the reason that says they
// were left alone. Without a line end.
std::string carriesLine(const char *name, const ConversionResult &result, const ConversionRequest &request,
                        const char *allTracksChoice, Language language);
