#include "tests/support/desktop/xdg_tree.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <sstream>

#include "catalogue/app_icon.h"
#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

XdgTree::XdgTree(const std::vector<std::string>& favourites, const std::string& iconTheme) {
  for (const char* dir : {"data/applications", "data/icons", "data/pixmaps", "data-home",
                          "config/glib-2.0/settings", "home", "schemas"})
    std::filesystem::create_directories(root_ / dir);
  // The system's MIME database, so that files get their content types.
  std::error_code ignored;
  std::filesystem::create_directory_symlink("/usr/share/mime", root_ / "data/mime", ignored);
  Write("recorder.sh", "#!/bin/sh\necho \"$*\" >> '" + RecordFile() + "'\n");
  ::chmod((root_ / "recorder.sh").c_str(), 0755);
  std::string list;
  for (const std::string& id : favourites) list += (list.empty() ? "'" : ", '") + id + "'";
  const std::string shell = R"(
  <schema id="org.gnome.shell" path="/org/gnome/shell/">
    <key name="favorite-apps" type="as"><default>[)" +
                            list + "]</default></key>\n  </schema>";
  const std::string desktop = R"(
  <schema id="org.gnome.desktop.interface" path="/org/gnome/desktop/interface/">
    <key name="icon-theme" type="s"><default>')" +
                              iconTheme + "'</default></key>\n  </schema>";
  Write("schemas/hovra-test.gschema.xml", "<schemalist>" + shell + desktop + "\n</schemalist>\n");
  if (RunTool({"glib-compile-schemas", root_ / "schemas"}).exitCode != 0)
    std::fprintf(stderr, "glib-compile-schemas failed\n");
}

void XdgTree::Write(const std::string& path, const std::string& text) const {
  std::filesystem::path file = root_ / path;
  std::filesystem::create_directories(file.parent_path());
  WriteFile(file, text);
}

void XdgTree::AddEntry(const std::string& id, const EntryKeys& keys) {
  std::string text = "[Desktop Entry]\nType=Application\n";
  bool hasExec = false;
  for (const auto& [key, value] : keys) {
    text += key + "=" + value + "\n";
    hasExec |= key == "Exec";
  }
  Write("data/applications/" + id + ".desktop", text + (hasExec ? "" : "Exec=true\n"));
}

void XdgTree::AddRecordingEntry(const std::string& id, const std::string& name,
                                const std::string& mimeTypes) {
  AddEntry(
      id, {{"Name", name}, {"Exec", root_ / "recorder.sh " + id + " %U"}, {"MimeType", mimeTypes}});
}

std::string XdgTree::WaitForRecord(const std::string& text) const {
  PollUntil([&] { return ReadFile(RecordFile()).find(text) != std::string::npos; });
  return ReadFile(RecordFile());
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
    std::istringstream in(spec);
    std::vector<std::string> p;  // subdir, Type, Size, MinSize, MaxSize
    for (std::string part; std::getline(in, part, ':');) p.push_back(part);
    directories += (directories.empty() ? "" : ",") + p[0];
    groups += "\n[" + p[0] + "]\nType=" + p[1] + "\nSize=" + p[2] + "\n";
    if (p.size() >= 5) groups += "MinSize=" + p[3] + "\nMaxSize=" + p[4] + "\n";
    std::filesystem::create_directories(DataDir() + "/icons/" + name + "/" + p[0]);
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
  Write(path, std::string(png->begin(), png->end()));
}

void XdgTree::AddSvg(const std::string& path, const std::string& fill, double opacity) {
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" "
         "viewBox=\"0 0 16 16\"><rect width=\"16\" height=\"16\" fill=\""
      << fill << "\" fill-opacity=\"" << opacity << "\"/></svg>\n";
  Write(path, svg.str());
}

std::vector<std::pair<std::string, std::string>> XdgTree::Environment() const {
  return {{"XDG_DATA_DIRS", DataDir()},
          {"XDG_DATA_HOME", root_ / "data-home"},
          {"XDG_CONFIG_HOME", root_ / "config"},
          {"XDG_CONFIG_DIRS", root_ / "config-dirs"},
          {"HOME", Home()},
          {"GSETTINGS_SCHEMA_DIR", root_ / "schemas"},
          {"GSETTINGS_BACKEND", "keyfile"},
          {"GIO_USE_VFS", "local"},
          {"XDG_CURRENT_DESKTOP", "GNOME"}};
}

void XdgTree::ApplyToEnvironment() const {
  for (const auto& [name, value] : Environment()) ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace hovra::testing
