#include "fuzz/target.h"

SORBELIN_FUZZ_TARGET(checkSuggestion)
