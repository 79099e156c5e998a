#include "platform/journal/journal_scripts.h"

#include "platform/journal/json_line.h"

namespace hovra::platform::journal {

void JournalScripts::Run(const Script& script) {
  if (!journal_.Enabled()) return;
  journal_.Write(JsonLine()
                     .Text("kind", "script")
                     .Text("name", script.name)
                     .Text("source", script.source)
                     .Finish());
}

}  // namespace hovra::platform::journal
