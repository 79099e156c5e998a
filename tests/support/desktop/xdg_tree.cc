#include "tests/support/desktop/xdg_tree.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "catalogue/app_icon.h"

namespace hovra::testing {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

}  // namespace

XdgTree::XdgTree(const std::vector<std::string>& favourites, const std::string& iconTheme) {
  std::string pattern = (std::filesystem::temp_directory_path() / "hovra-desktop-XXXXXX").string();
  root_ = ::mkdtemp(pattern.data());
  for (const char* dir : {"data/applications", "data/icons", "data/pixmaps", "data-home",
                          "config/glib-2.0/settings", "home", "schemas"})
    std::filesystem::create_directories(root_ + "/" + dir);
  // The system's MIME database, so that files get their content types.
  std::error_code ignored;
  std::filesystem::create_directory_symlink("/usr/share/mime", root_ + "/data/mime", ignored);
  Write("recorder.sh", "#!/bin/sh\necho \"$*\" >> '" + RecordFile() + "'\n");
  ::chmod((root_ + "/recorder.sh").c_str(), 0755);
  CompileSchemas(favourites, iconTheme);
}

XdgTree::~XdgTree() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void XdgTree::Write(const std::string& relative, const std::string& text) const {
  std::filesystem::path path = root_ + "/" + relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::trunc) << text;
}

void XdgTree::CompileSchemas(const std::vector<std::string>& favourites,
                             const std::string& iconTheme) {
  std::string list;
  for (const std::string& id : favourites) list += (list.empty() ? "'" : ", '") + id + "'";
  Write("schemas/hovra-test.gschema.xml",
        "<schemalist>\n"
        "  <schema id=\"org.gnome.shell\" path=\"/org/gnome/shell/\">\n"
        "    <key name=\"favorite-apps\" type=\"as\"><default>[" +
            list +
            "]</default></key>\n"
            "  </schema>\n"
            "  <schema id=\"org.gnome.desktop.interface\" path=\"/org/gnome/desktop/interface/\">\n"
            "    <key name=\"icon-theme\" type=\"s\"><default>'" +
            iconTheme +
            "'</default></key>\n"
            "  </schema>\n"
            "</schemalist>\n");
  std::string command = "glib-compile-schemas '" + root_ + "/schemas'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "glib-compile-schemas failed\n");
}

void XdgTree::AddEntry(const std::string& id, const EntryKeys& keys) {
  std::string text = "[Desktop Entry]\nType=Application\n";
  bool hasExec = false;
  for (const auto& [key, value] : keys) {
    text += key + "=" + value + "\n";
    hasExec |= key == "Exec";
  }
  if (!hasExec) text += "Exec=true\n";
  Write("data/applications/" + id + ".desktop", text);
}

void XdgTree::AddRecordingEntry(const std::string& id, const std::string& name,
                                const std::string& mimeTypes) {
  EntryKeys keys{{"Name", name}, {"Exec", root_ + "/recorder.sh " + id + " %U"}};
  if (!mimeTypes.empty()) keys.emplace_back("MimeType", mimeTypes);
  AddEntry(id, keys);
}

std::string XdgTree::WaitForRecord(const std::string& text, std::chrono::milliseconds wait) const {
  auto deadline = std::chrono::steady_clock::now() + wait;
  std::string seen = ReadAll(RecordFile());
  while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    seen = ReadAll(RecordFile());
  }
  return seen;
}

void XdgTree::SetDefault(const std::string& mimeType, const std::string& id) {
  defaults_[mimeType] = id + ".desktop";
  std::string text = "[Default Applications]\n";
  for (const auto& [type, entry] : defaults_) text += type + "=" + entry + "\n";
  Write("data/applications/mimeapps.list", text);
}

void XdgTree::AddTheme(const std::string& name, const std::string& inherits,
                       const std::vector<std::string>& dirs) {
  std::string directories, groups;
  for (const std::string& spec : dirs) {
    std::vector<std::string> parts = Split(spec, ':');
    directories += (directories.empty() ? "" : ",") + parts[0];
    groups += "\n[" + parts[0] + "]\nType=" + parts[1] + "\nSize=" + parts[2] + "\n";
    if (parts.size() >= 5) groups += "MinSize=" + parts[3] + "\nMaxSize=" + parts[4] + "\n";
    std::filesystem::create_directories(DataDir() + "/icons/" + name + "/" + parts[0]);
  }
  Write("data/icons/" + name + "/index.theme",
        "[Icon Theme]\nName=" + name + "\n" +
            (inherits.empty() ? "" : "Inherits=" + inherits + "\n") + "Directories=" + directories +
            "\n" + groups);
}

void XdgTree::AddPng(const std::string& path, int size, std::array<uint8_t, 4> rgba) {
  platform::ImageRepresentation image{size, size, {}};
  for (int i = 0; i < size * size; ++i)
    image.rgba.insert(image.rgba.end(), rgba.begin(), rgba.end());
  auto png = catalogue::EncodePng(image);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
}

void XdgTree::AddSvg(const std::string& path, const std::string& fill, double opacity) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::trunc)
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" "
         "viewBox=\"0 0 16 16\"><rect width=\"16\" height=\"16\" fill=\""
      << fill << "\" fill-opacity=\"" << opacity << "\"/></svg>\n";
}

std::vector<std::pair<std::string, std::string>> XdgTree::Environment() const {
  return {{"XDG_DATA_DIRS", DataDir()},
          {"XDG_DATA_HOME", root_ + "/data-home"},
          {"XDG_CONFIG_HOME", ConfigHome()},
          {"XDG_CONFIG_DIRS", root_ + "/config-dirs"},
          {"HOME", Home()},
          {"GSETTINGS_SCHEMA_DIR", root_ + "/schemas"},
          {"GSETTINGS_BACKEND", "keyfile"},
          {"GIO_USE_VFS", "local"},
          {"XDG_CURRENT_DESKTOP", "GNOME"}};
}

void XdgTree::ApplyToEnvironment() const {
  for (const auto& [name, value] : Environment()) ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace hovra::testing
