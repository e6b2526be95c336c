#include "shell/cli/warnings.h"

#include "engine/phonewarnings.h"
#include "resources/clitexts.h"
#include "shell/report/suggestwords.h"

std::string warningsLine(const char *name, const ChannelRoles &roles, uint32_t vibration, uint32_t led,
                         Language language) {
  std::string warnings = warningLine(phoneWarnings(roles, vibration, led), language);
  if (warnings.empty()) return "";
  // The name goes in last: the blanks are looked for in what it fills only.
  return fillToken(fillToken(inLanguage(msgWarningLine, language), "warnings", warnings), "name", name) + "\n";
}
