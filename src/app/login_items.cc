#include "app/login_items.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "app/config_file.h"
#include "app/password.h"
#include "base/log.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEntryPrefix = "hovra-server-";
constexpr const char* kEntrySuffix = ".desktop";
constexpr size_t kEntryHashChars = 12;  // of the location's MD5: one file name per location
constexpr int kMaxEntrySuffix = 99;

fs::path Resolve(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(path, ec);
  return ec ? path.lexically_normal() : resolved;
}

// The string escapes of desktop entry values (\s \n \t \r \\) undone.
std::string UnescapeValue(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    char next = value[++i];
    switch (next) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += next;
        break;  // "\\" and anything unknown keep the character
    }
  }
  return out;
}

std::string EscapeValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct DesktopEntry {
  std::optional<std::string> exec;
  bool hidden = false;
  bool switchedOff = false;  // X-GNOME-Autostart-enabled=false
};

DesktopEntry ReadDesktopEntry(const fs::path& file) {
  DesktopEntry entry;
  std::ifstream in(file);
  std::string line;
  bool inMainGroup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    size_t eq = line.find('=');
    if (!inMainGroup || eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (key == "Exec") entry.exec = UnescapeValue(value);
    if (key == "Hidden") entry.hidden = value == "true";
    if (key == "X-GNOME-Autostart-enabled") entry.switchedOff = value == "false";
  }
  return entry;
}

}  // namespace

std::string DesktopExecValue(const std::string& program) {
  // Quoting first (inside quotes " ` $ \ take a backslash), then "%" doubled for the
  // field codes, then the string escapes of the file format.
  std::string quoted = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c == '%' ? std::string("%%") : std::string(1, c);
  }
  quoted += "\" ";
  quoted += kStartHiddenOption;
  return EscapeValue(quoted);
}

std::optional<std::string> DesktopExecProgram(const std::string& value) {
  std::string program;
  size_t i = 0;
  if (!value.empty() && value[0] == '"') {
    for (i = 1; i < value.size() && value[i] != '"'; ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      program += value[i];
    }
    if (i == value.size()) return std::nullopt;  // no closing quote
  } else {
    size_t end = value.find_first_of(" \t");
    program = value.substr(0, end);
  }
  std::string unescaped;
  for (size_t k = 0; k < program.size(); ++k) {
    unescaped += program[k];
    if (program[k] == '%' && k + 1 < program.size() && program[k + 1] == '%') ++k;
  }
  if (unescaped.empty()) return std::nullopt;
  return unescaped;
}

LoginItems::LoginItems(fs::path autostartDir, fs::path programPath)
    : dir_(std::move(autostartDir)),
      program_(programPath.empty() ? fs::path() : Resolve(programPath)) {}

LoginItems LoginItems::ForCurrentUser() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) Log("cannot find the program's own location: %s", ec.message().c_str());
  return LoginItems(UserConfigBase() / "autostart", ec ? fs::path() : self);
}

std::optional<std::vector<LoginItems::Entry>> LoginItems::loginItems() const {
  std::vector<Entry> entries;
  std::error_code ec;
  if (!fs::exists(dir_, ec) && !ec) return entries;  // made by the first addition
  fs::directory_iterator it(dir_, ec);
  if (ec) {
    static LogOnce unreadable;
    if (unreadable.First()) {
      Log("cannot read autostart folder %s: %s", dir_.c_str(), ec.message().c_str());
    }
    return std::nullopt;
  }
  // Stepped with an error code: a folder changing under the walk must not throw.
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path& file = it->path();
    if (file.extension() != kEntrySuffix || !it->is_regular_file(ec)) continue;
    DesktopEntry desktop = ReadDesktopEntry(file);
    Entry entry{
        file, {}, !desktop.hidden && !desktop.switchedOff, !desktop.hidden && desktop.switchedOff};
    std::optional<std::string> program =
        desktop.exec ? DesktopExecProgram(*desktop.exec) : std::nullopt;
    // A bare name is found through PATH at login: it names no location of its own.
    if (program && fs::path(*program).is_absolute()) entry.program = Resolve(*program);
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.file.filename() < b.file.filename(); });
  return entries;
}

std::optional<fs::path> LoginItems::mainBundleLoginItemCopy() const {
  if (program_.empty()) return std::nullopt;
  std::optional<std::vector<Entry>> entries = loginItems();
  if (!entries) return std::nullopt;
  for (const Entry& entry : *entries) {
    if (entry.enabled && entry.program == program_) return entry.file;
  }
  return std::nullopt;
}

std::optional<fs::path> LoginItems::DisabledEntryOfServer() const {
  std::optional<std::vector<Entry>> entries = loginItems();
  if (program_.empty() || !entries) return std::nullopt;
  for (const Entry& entry : *entries) {
    if (entry.switchedOff && entry.program == program_) return entry.file;
  }
  return std::nullopt;
}

bool LoginItems::launchOnLogin() { return mainBundleLoginItemCopy().has_value(); }

fs::path LoginItems::NewEntryFile() const {
  std::string stem = kEntryPrefix + Md5Hex(program_.string()).substr(0, kEntryHashChars);
  fs::path file = dir_ / (stem + kEntrySuffix);
  std::error_code ec;
  for (int n = 2; fs::exists(file, ec) && n <= kMaxEntrySuffix; ++n) {
    file = dir_ / (stem + "-" + std::to_string(n) + kEntrySuffix);
  }
  return file;
}

void LoginItems::addMainBundleToLoginItems() {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  // A switched-off entry of the server is switched on again, not joined by a second one.
  fs::path file = DisabledEntryOfServer().value_or(NewEntryFile());
  errno = 0;
  std::ofstream out(file, std::ios::trunc);
  out << "[Desktop Entry]\n"
      << "Type=Application\n"
      << "Name=Hovra Server\n"
      << "Comment=Lets a phone on the local network control this computer\n"
      << "Exec=" << DesktopExecValue(program_.string()) << "\n"
      << "Terminal=false\n"
      << "X-GNOME-Autostart-enabled=true\n";
  out.close();
  if (!out) {
    lastError_ = "cannot write " + file.string() + " (" +
                 (errno != 0 ? std::strerror(errno) : "write failed") + ")";
    Log("cannot write autostart entry %s", file.c_str());
  }
}

void LoginItems::removeMainBundleFromLoginItems() {
  std::optional<fs::path> file = mainBundleLoginItemCopy();
  if (!file) return;
  std::error_code ec;
  if (!fs::remove(*file, ec)) {
    lastError_ = "cannot remove " + file->string() + " (" + ec.message() + ")";
    Log("cannot remove autostart entry %s: %s", file->c_str(), ec.message().c_str());
  }
}

std::optional<bool> LoginItems::setLaunchOnLogin() {
  lastError_.clear();
  if (!loginItems()) {
    lastError_ = "the autostart folder " + dir_.string() + " cannot be read";
    return std::nullopt;
  }
  bool isautorun = !launchOnLogin();
  if (isautorun) {
    if (program_.empty()) {
      lastError_ = "this program's own location is unknown";
      return std::nullopt;  // nothing to start
    }
    addMainBundleToLoginItems();
  } else {
    removeMainBundleFromLoginItems();
  }
  platform::GetUi().SetAutoStartMark(isautorun);
  return isautorun;
}

}  // namespace hovra::app
