#include "app/startup_report.h"

#include <string_view>

namespace hovra::app {
namespace {

// What a backend means for the person at this computer.
std::string_view Effect(Seam seam, std::string_view name) {
  if (name == "journal") {
    return seam == Seam::kInput ? "simulated: pointer and keys are only written to the journal"
                                : "simulated: actions and queries are only written to the journal";
  }
  switch (seam) {
    case Seam::kInput:
      return "phones move this desktop's pointer and type on it";
    case Seam::kDesktop:
      return "actions run on this desktop";
    case Seam::kUi:
      return name == "headless" ? "no window: notices go to standard error"
                                : "the status icon holds the menu";
  }
  return {};
}

std::string SeamLine(std::string_view label, Seam seam, const SeamChoice& choice) {
  return "  " + std::string(label) + choice.name + " (" + choice.reason + ") - " +
         std::string(Effect(seam, choice.name)) + "\n";
}

std::string PinLine(const StartupFacts& facts) {
  const std::string quote = "\"" + facts.command + " password ";
  if (facts.pinOn) {
    return "  PIN: on - " + quote + "show\" shows it, " + quote + "off\" stops asking\n";
  }
  return "  PIN: off - any phone on the network may connect; " + quote + "on\" asks for one\n";
}

std::string AddressLine(const std::vector<std::string>& addresses) {
  std::string list;
  for (const std::string& address : addresses) {
    if (address == "127.0.0.1" || address == "::1") continue;  // no phone reaches these
    if (!list.empty()) list += ", ";
    list += address;
  }
  if (list.empty()) return "  addresses: none but this computer's own\n";
  return "  addresses: " + list + "\n";
}

}  // namespace

std::string StartupReport(const StartupFacts& facts) {
  std::string text = "Hovra Server " + facts.version + " on TCP port " + std::to_string(facts.port);
  text += facts.discoveryPort == 0
              ? " (no discovery: phones need the address)\n"
              : " (phones find it over UDP " + std::to_string(facts.discoveryPort) + ")\n";
  text += SeamLine("input: ", Seam::kInput, facts.backends.input);
  text += SeamLine("desktop: ", Seam::kDesktop, facts.backends.desktop);
  text += SeamLine("ui: ", Seam::kUi, facts.backends.ui);
  text += PinLine(facts);
  text += AddressLine(facts.addresses);
  return text;
}

}  // namespace hovra::app
