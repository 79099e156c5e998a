#include "app/options.h"

#include <cstring>
#include <string_view>

#include "app/backend_choice.h"
#include "base/decimal.h"
#include "server/discovery.h"

namespace hovra {
namespace {

using app::BackendNames;
using app::IsBackendName;
using app::Seam;

bool ParsePort(const std::string& text, bool allowZero, unsigned short& out) {
  if (text.empty() || text.size() > 5 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  int value = ParseDecimal(text.c_str());
  if (value > 65535 || (value == 0 && !allowZero)) return false;
  out = static_cast<unsigned short>(value);
  return true;
}

// Applies one option that takes a value; returns an error text, empty on success.
std::string ApplyValue(Options& o, std::string_view name, const std::string& value) {
  if (name == "--backend") {
    // The old single switch: journal is the simulated desktop for everything (what every
    // test uses), x11 is real X input, auto lets every seam choose.
    if (value == "journal") {
      o.input = o.desktop = "journal";
      o.ui = "headless";
    } else if (value == "x11") {
      o.input = "x11";
    } else if (value == "auto") {
      o.input = o.desktop = o.ui = "auto";
    } else {
      return "--backend is journal, x11 or auto";
    }
  } else if (name == "--input") {
    if (!IsBackendName(Seam::kInput, value)) return "--input is " + BackendNames(Seam::kInput);
    o.input = value;
  } else if (name == "--desktop") {
    if (!IsBackendName(Seam::kDesktop, value))
      return "--desktop is " + BackendNames(Seam::kDesktop);
    o.desktop = value;
  } else if (name == "--ui") {
    if (!IsBackendName(Seam::kUi, value)) return "--ui is " + BackendNames(Seam::kUi);
    o.ui = value;
  } else if (name == "--command-key") {
    if (value != "control" && value != "super") return "--command-key is control or super";
    o.commandKey = value;
  } else if (name == "--journal") {
    o.journalPath = value;
  } else if (name == "--sim") {
    o.simPath = value;
  } else if (name == "--sim-control") {
    o.simControlPath = value;
  } else if (name == "--port") {
    if (!ParsePort(value, true, o.port)) return "--port needs a port number";
  } else if (name == "--discovery-port") {
    if (!ParsePort(value, true, o.discoveryPort))
      return "--discovery-port needs a port number (0: off)";
  } else if (name == "--probe-reply-port") {
    if (!ParsePort(value, false, o.probeReplyPort)) return "--probe-reply-port needs a port number";
  } else if (name == "--announce") {
    sockaddr_in target{};
    if (!ParseAnnounceTarget(value, target)) return "--announce needs IPV4-ADDRESS:PORT";
    o.announceTo.push_back(target);
  } else if (name == "--config-dir") {
    o.configDir = value;
  } else if (name == "--update-url") {
    o.updateUrl = value;
  } else if (name == "--timer-divisor") {
    const int divisor = ParseDecimal(value.c_str());
    if (divisor < 1 || divisor > 1000) return "--timer-divisor is 1 to 1000";
    o.timerDivisor = static_cast<unsigned>(divisor);
  } else {
    return "unknown option " + std::string(name);
  }
  return {};
}

bool TakesValue(std::string_view name) {
  static constexpr std::string_view kValued[] = {
      "--backend",        "--input",       "--desktop",          "--ui",
      "--journal",        "--sim",         "--sim-control",      "--port",
      "--discovery-port", "--announce",    "--probe-reply-port", "--config-dir",
      "--update-url",     "--command-key", "--timer-divisor"};
  for (std::string_view v : kValued) {
    if (v == name) return true;
  }
  return false;
}

}  // namespace

ParseResult ParseOptions(int argc, const char* const* argv) {
  ParseResult result;
  Options& o = result.options;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--hidden") {
      o.hidden = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg.starts_with("--")) {
      size_t eq = arg.find('=');
      std::string_view name = arg.substr(0, eq);
      if (!TakesValue(name)) {
        result.error = "unknown option " + std::string(name);
        return result;
      }
      std::string value;
      if (eq != std::string_view::npos) {
        value = std::string(arg.substr(eq + 1));
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        result.error = std::string(name) + " needs a value";
        return result;
      }
      result.error = ApplyValue(o, name, value);
      if (!result.error.empty()) return result;
    } else {
      o.command.emplace_back(arg);
    }
  }
  return result;
}

const char* UsageText() {
  return "usage: hovra-server [COMMAND] [OPTIONS]\n"
         "\n"
         "Without a command, runs the server until SIGINT or SIGTERM.\n"
         "\n"
         "Commands (the status menu's functions):\n"
         "  password on|off|show    client PIN: draw a new one and ask for it, stop asking, show "
         "it\n"
         "  autostart on|off|status start the server when the user logs in\n"
         "  check-update            ask the update address for a newer version\n"
         "  addresses               this computer's network addresses\n"
         "\n"
         "Options:\n"
         "  --input NAME            where pointer and keys go: auto (the default), journal,\n"
         "                          x11, wayland or portal\n"
         "  --desktop NAME          who carries out scripts and workspace queries: auto (the\n"
         "                          default: linux when a session bus is there), journal or linux\n"
         "  --ui NAME               auto (the default), headless or tray\n"
         "  --command-key KEY       on Linux input, a client's Command key is control (the\n"
         "                          default, as Linux shortcuts expect) or super\n"
         "  --backend NAME          journal: the simulated desktop for everything; x11: the same\n"
         "                          as --input x11; auto: every seam chooses\n"
         "  --journal PATH          write the journal there (\"-\": standard output, the default;\n"
         "                          \"none\": keep no journal)\n"
         "  --sim FILE              the simulated desktop (JSON)\n"
         "  --sim-control PATH      Unix socket taking workspace notices as JSON lines\n"
         "  --port N                TCP port (1978; 0: any free port)\n"
         "  --discovery-port N      UDP discovery port (2007; 0: no discovery)\n"
         "  --announce ADDR:PORT    send announcements there instead (repeatable)\n"
         "  --probe-reply-port N    port that answers to search probes go to (2008)\n"
         "  --config-dir DIR        configuration folder (default ~/.config/HovraServer)\n"
         "  --update-url URL        where the update check asks for the newest version\n"
         "  --hidden                started at login: no start-up notice (the panel or\n"
         "                          notification with the addresses); all else as usual\n"
         "  --verbose               debugging detail in the log (the screen frames)\n"
         "  --version, --help\n";
}

}  // namespace hovra
