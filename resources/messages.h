// Texts of the native program and the web page, in English and Japanese. A
// Japanese text that the Windows program shows too is taken from texts.h,
// so that it is written once.
#pragma once

#include "resources/texts.h"

struct Message {
  const char *english;
  const char *japanese;
};

// The result messages after a conversion.
inline constexpr Message msgResultImelodyV2Led = {
    "The link works on these models:\n\nN210i/N503i/N504i", textResultImelodyV2Led};
inline constexpr Message msgResultImelodyV2 = {
    "The link works on these models:\n\nN210i/N211i/N503i/N504i", textResultImelodyV2};
inline constexpr Message msgResultImelodyV3 = {"The link works on these models:\n\nN504i",
                                               textResultImelodyV3};
inline constexpr Message msgResultSmaf16 = {"The link works on 16-voice phones.", textResultSmaf16};
inline constexpr Message msgResultSmaf40 = {"The link works on 40-voice phones.", textResultSmaf40};
