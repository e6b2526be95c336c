// After a conversion: what the converted file now carries, as one plain line
// for the user ("tune.mmf: vibration 2, LED 1"), and where the file could not
// hold all that was asked, why, in words a ringtone user knows
// ("vibration none (this file has no track that can hold vibration)"); for
// channels that were suggested, what they play.
#pragma once

#include <string>

#include "engine/conversion.h"
#include "engine/suggest.h"
#include "shell/report/phrases.h"

// The devices whose channels the file's suggestion chose, and the file as
// suggestForImage read it.
struct SuggestedDevices {
  const FileSuggestion *file;  // null when neither device's were
  bool vibration, led;
};

// The line for the file named `name`, converted as `request` asked with
// `result`; `allTracksChoice` is how the front end names the choice that
// links score tracks 6 and 7 ("--all-tracks"), for the reason that says they
// were left alone. A device whose channels were suggested says what they
// play ("vibration 6 (suggested: bass)"), or, where none were, why. Without
// a line end.
std::string carriesLine(const char *name, const ConversionResult &result, const ConversionRequest &request,
                        const char *allTracksChoice, Language language, const SuggestedDevices &suggested = {});
