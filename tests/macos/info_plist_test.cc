// The bundle's Info.plist as the Apple build writes it from its template.
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <memory>

#include "tests/support/temp_dir.h"

namespace hovra::testing {
namespace {

using Plist = std::unique_ptr<void, decltype(&plist_free)>;

std::string StringOf(plist_t dict, const char* key) {
  plist_t node = plist_dict_get_item(dict, key);
  if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) return "(no string)";
  return plist_get_string_ptr(node, nullptr);
}

TEST(InfoPlist, IsWellFormedAndDescribesAMenuBarProgramThatScriptsOthers) {
  const std::string text = ReadFile(HOVRA_TEST_INFO_PLIST);
  EXPECT_EQ(text.find('@'), std::string::npos) << "a placeholder was left";
  plist_t parsed = nullptr;
  plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &parsed);
  Plist root(parsed, &plist_free);
  ASSERT_NE(root, nullptr) << HOVRA_TEST_INFO_PLIST;
  ASSERT_EQ(plist_get_node_type(root.get()), PLIST_DICT);

  plist_t dict = root.get();
  EXPECT_EQ(StringOf(dict, "CFBundleIdentifier"), "example.hovra.server");
  EXPECT_EQ(StringOf(dict, "CFBundleExecutable"), "hovra-server");
  EXPECT_EQ(StringOf(dict, "CFBundlePackageType"), "APPL");
  EXPECT_EQ(StringOf(dict, "CFBundleShortVersionString"), HOVRA_APP_VERSION);
  EXPECT_EQ(StringOf(dict, "LSMinimumSystemVersion"), HOVRA_TEST_MINIMUM_MACOS);
  EXPECT_GT(StringOf(dict, "NSAppleEventsUsageDescription").size(), 20u);
  EXPECT_EQ(plist_bool_val_is_true(plist_dict_get_item(dict, "LSUIElement")), 1)
      << "no Dock icon, no menu bar of its own";
}

}  // namespace
}  // namespace hovra::testing
