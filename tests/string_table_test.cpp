// The string tables and the version block as they ship beside the module, and the names the host
// gets through the loaded module.
#include "host/string_table.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "module_test_support.hpp"
#include "host/version_block.hpp"
#include "plugin/version.hpp"

namespace {

using Lines = std::vector<std::string>;

const std::string SXUL_DIR = std::string(ZEB_SOURCE_DIR) + "/resources/SXUL";
const std::array<std::string, 2> TABLES = {"TEXT.1033.xml", "TEXT.1041.xml"};

const Lines IDS = {"product_name",
                   "author",
                   "company",
                   "comments",
                   "zeb_bloom_interface_name",
                   "zeb_camera_attribute_interface_name",
                   "zeb_delete_camera_attribute_plugin_interface_name",
                   "zeb_tonemap_interface_name",
                   "camera_attribute_dialog_name",
                   "camera_attribute_aperture_shape",
                   "camera_attribute_F-value"};

std::string read_bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << path;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Lines split(const std::string& text, char separator) {
  Lines pieces;
  std::string piece;
  std::istringstream in(text);
  while (std::getline(in, piece, separator)) pieces.push_back(piece);
  if (!text.empty() && text.back() == separator) pieces.emplace_back();
  return pieces;
}

std::string run_command(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return output;
}

class StringTableFile : public ::testing::TestWithParam<std::string> {
 protected:
  std::string path() const { return SXUL_DIR + "/" + GetParam(); }
};

TEST_P(StringTableFile, IsWellFormedXml) {
  EXPECT_EQ(std::system(("xmllint --noout '" + path() + "'").c_str()), 0);
}

// Declaration, root on lines of their own, one tab-indented entry per line, three groups split by
// a line holding one tab; UTF-8 without a byte-order mark, LF only.
TEST_P(StringTableFile, KeepsTheDocumentLayout) {
  const std::string bytes = read_bytes(path());
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.rfind("<?xml", 0), 0u) << "no BOM or blank before the declaration";
  EXPECT_EQ(bytes.find('\r'), std::string::npos);
  ASSERT_EQ(bytes.back(), '\n');
  const Lines lines = split(bytes.substr(0, bytes.size() - 1), '\n');
  ASSERT_EQ(lines.size(), 2 + IDS.size() + 2 + 1);
  EXPECT_EQ(lines.front(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_EQ(lines[1], "<strings>");
  EXPECT_EQ(lines.back(), "</strings>");
  EXPECT_EQ(lines[6], "\t");
  EXPECT_EQ(lines[11], "\t");
  std::size_t id = 0;
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    if (i == 6 || i == 11) continue;
    const std::string head = "\t<string id=\"" + IDS[id++] + "\" value=\"";
    EXPECT_EQ(lines[i].rfind(head, 0), 0u) << lines[i];
    ASSERT_GE(lines[i].size(), head.size() + 4);
    EXPECT_EQ(lines[i].substr(lines[i].size() - 4), "\" />") << lines[i];
  }
}

TEST_P(StringTableFile, ListsTheElevenIdsInOrderWithTwoAttributes) {
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(path().c_str()));
  Lines ids;
  for (const pugi::xml_node entry : document.child("strings").children()) {
    EXPECT_STREQ(entry.name(), "string");
    const pugi::xml_attribute first = entry.first_attribute();
    ASSERT_TRUE(first);
    EXPECT_STREQ(first.name(), "id");
    ASSERT_TRUE(first.next_attribute());
    EXPECT_STREQ(first.next_attribute().name(), "value");
    EXPECT_FALSE(first.next_attribute().next_attribute());
    ids.push_back(first.value());
  }
  EXPECT_EQ(ids, IDS);
  const pugi::xml_attribute comments = document.child("strings")
                                           .find_child_by_attribute("string", "id", "comments")
                                           .attribute("value");
  ASSERT_TRUE(comments) << "\"comments\" has a value attribute";
  EXPECT_STREQ(comments.value(), "");
}

TEST_P(StringTableFile, ChoiceLabelSplitsIntoCaptionAndThreeChoices) {
  const auto table = zeb::host::load_string_table(path());
  const Lines pieces = split(table.at("camera_attribute_aperture_shape"), '/');
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].back(), ' ');
  for (const std::string& piece : pieces) EXPECT_FALSE(piece.empty());
  EXPECT_EQ(table.at("camera_attribute_F-value").back(), ' ');
}

INSTANTIATE_TEST_SUITE_P(Languages, StringTableFile, ::testing::ValuesIn(TABLES));

TEST(StringTableBytes, KeyLinesAreExact) {
  const std::string english = read_bytes(SXUL_DIR + "/TEXT.1033.xml");
  const std::string japanese = read_bytes(SXUL_DIR + "/TEXT.1041.xml");
  for (const char* line : {"\t<string id=\"comments\" value=\"\" />\n",
                           "\t<string id=\"camera_attribute_F-value\" value=\"F-value \" />\n",
                           "\t<string id=\"zeb_tonemap_interface_name\" "
                           "value=\"Tonemapping(Reinhard)(zeb tonemap)\" />\n",
                           "\t<string id=\"camera_attribute_aperture_shape\" "
                           "value=\"Aperture shape /Circle/Hexagon/Heptagon\" />\n"})
    EXPECT_NE(english.find(line), std::string::npos) << line;
  // Full-width parentheses U+FF08 / U+FF09 are EF BC 88 / EF BC 89; "値" is E5 80 A4.
  for (const char* line :
       {"\t<string id=\"comments\" value=\"\" />\n",
        "\t<string id=\"camera_attribute_F-value\" value=\"F\xE5\x80\xA4 \" />\n",
        "\t<string id=\"zeb_bloom_interface_name\" value=\"ライトブルームエフェクタ"
        "\xEF\xBC\x88zeb bloom\xEF\xBC\x89\" />\n",
        "\t<string id=\"zeb_tonemap_interface_name\" value=\"トーンマッピング"
        "\xEF\xBC\x88Reinhard\xEF\xBC\x89\xEF\xBC\x88zeb tonemap\xEF\xBC\x89\" />\n"})
    EXPECT_NE(japanese.find(line), std::string::npos) << line;
}

// The names through the module's get_name, as the host lists them.
struct Names {
  std::string language;
  std::string attribute, tonemap, bloom, command;
};

class ModuleNames : public ::testing::TestWithParam<Names> {};

TEST_P(ModuleNames, ReachTheHostByteForByte) {
  const Names& names = GetParam();
  zeb::host::MemoryHost host(zeb::testing::module_resources(names.language));
  zeb::host::LoadedModule& module = zeb::testing::loaded_module();
  EXPECT_EQ(module.get_name(&zeb::ATTRIBUTE_KIND_ID, 0, &host, nullptr), names.attribute);
  EXPECT_EQ(module.get_name(&zeb::EFFECTOR_KIND_ID, 0, &host, nullptr), names.tonemap);
  EXPECT_EQ(module.get_name(&zeb::EFFECTOR_KIND_ID, 1, &host, nullptr), names.bloom);
  EXPECT_EQ(module.get_name(&zeb::PLUGIN_KIND_ID, 0, &host, nullptr), names.command);
  EXPECT_EQ(host.ledger().outstanding(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ModuleNames,
    ::testing::Values(Names{"en", "zeb camera options", "Tonemapping(Reinhard)(zeb tonemap)",
                            "Light bloom effector(zeb bloom)", "delete zeb camera attributes"},
                      Names{"ja", "zeb camera設定", "トーンマッピング（Reinhard）（zeb tonemap）",
                            "ライトブルームエフェクタ（zeb bloom）",
                            "zeb cameraカスタム属性の削除"}),
    [](const auto& info) { return info.param.language; });

TEST(HostStrings, LanguageTableAndMissingIds) {
  zeb::host::MemoryHost host(zeb::testing::module_resources("ja"));
  zeb::ModuleResources& resources = *host.get_resources(nullptr);
  const char* title = resources.get_localized_string("camera_attribute_dialog_name");
  EXPECT_STREQ(title, "zeb camera設定");
  EXPECT_STREQ(resources.get_localized_string("comments"), "");
  // An id the table lacks comes back as itself, and stays valid like every answer.
  const char* missing = resources.get_localized_string("no_such_id");
  EXPECT_STREQ(missing, "no_such_id");
  resources.get_localized_string("another_missing_id");
  EXPECT_STREQ(title, "zeb camera設定");
  EXPECT_STREQ(missing, "no_such_id");
  // Any other language falls back to English.
  EXPECT_EQ(zeb::host::string_table_path("dir", "de"), "dir/SXUL/TEXT.1033.xml");
  EXPECT_EQ(zeb::host::string_table_path("dir", "ja"), "dir/SXUL/TEXT.1041.xml");
}

struct BadTable {
  const char* name;
  const char* content;  // null: no file at all
  const char* complaint;
};

class BrokenStringTable : public ::testing::TestWithParam<BadTable> {};

TEST_P(BrokenStringTable, IsRefusedNamingTheFile) {
  const BadTable& bad = GetParam();
  const std::string path = std::string(ZEB_BINARY_DIR) + "/string_table_test_" + bad.name + ".xml";
  std::filesystem::remove(path);
  if (bad.content) std::ofstream(path, std::ios::binary) << bad.content;
  try {
    zeb::host::load_string_table(path);
    FAIL() << "accepted " << bad.name;
  } catch (const std::runtime_error& error) {
    const std::string what = error.what();
    EXPECT_EQ(what.rfind(path + ": ", 0), 0u) << what;
    EXPECT_NE(what.find(bad.complaint), std::string::npos) << what;
  }
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenStringTable,
    ::testing::Values(
        BadTable{"missing", nullptr, "cannot read"},
        BadTable{"malformed", "<strings><string id=\"a\" value=\"b\"></strings>", "cannot read"},
        BadTable{"no_root", "<texts><string id=\"a\" value=\"b\" /></texts>", "no <strings> root"},
        BadTable{"no_value", "<strings><string id=\"a\" /></strings>", "lacks its value"},
        BadTable{"no_id", "<strings><string value=\"b\" /></strings>", "lacks its id"}),
    [](const auto& info) { return std::string(info.param.name); });

// The version block written by the build carries the numbers of plugin/version.hpp.
TEST(VersionBlock, AgreesWithTheModuleVersion) {
  const std::string resource_dir = zeb::host::resource_dir_for_module(ZEB_MODULE_PATH);
  const zeb::host::VersionBlock block =
      zeb::host::read_version_block(zeb::host::version_block_path(resource_dir));
  const std::string numbers = std::to_string(zeb::VERSION_MAJOR) + "." +
                              std::to_string(zeb::VERSION_MINOR) + "." +
                              std::to_string(zeb::VERSION_MICRO);
  const std::string build = std::to_string(zeb::VERSION_BUILD);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"FILEVERSION", numbers + "." + build},
      {"PRODUCTVERSION", numbers + "." + build},
      {"FILEOS", "0x40004"},
      {"LANGUAGE", "1041"},
      {"StringTable", "041104b0"},
      {"Translation", "0x0411,0x04B0"},
      {"CompanyName", "Vantrel"},
      {"FileDescription", "Camera simulation effector plugin for Shade."},
      {"FileVersion", numbers + " Build " + build},
      {"InternalName", "zeb_camera"},
      {"ProductName", "zeb_camera"},
      {"ProductVersion", numbers + " Build " + build}};
  for (const auto& [key, value] : expected) {
    const std::string* found = zeb::host::find_version_item(block, key);
    ASSERT_NE(found, nullptr) << key;
    EXPECT_EQ(*found, value) << key;
  }
  EXPECT_EQ(*zeb::host::find_version_item(block, "FileVersion"), "1.0.0 Build 1");
  const std::string* legal = zeb::host::find_version_item(block, "LegalCopyright");
  ASSERT_NE(legal, nullptr);
  EXPECT_FALSE(legal->empty());
}

TEST(VersionBlock, MalformedLineIsRefusedWithFileAndLine) {
  const std::string path = std::string(ZEB_BINARY_DIR) + "/version_block_test.txt";
  std::ofstream(path, std::ios::binary) << "# comment\n\nCompanyName=Vantrel\nno equals sign\n";
  try {
    zeb::host::read_version_block(path);
    FAIL() << "accepted a line without '='";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()).rfind(path + ":4: ", 0), 0u) << error.what();
  }
  std::filesystem::remove(path);
  EXPECT_THROW(zeb::host::read_version_block(path), std::runtime_error);
}

TEST(ZebHostInfo, PrintsJapaneseNamesAndTheVersionBlock) {
  const std::string output = run_command(std::string("'") + ZEB_HOST_PATH + "' --module '" +
                                         ZEB_MODULE_PATH + "' --lang ja info");
  for (const char* text : {"zeb camera設定", "トーンマッピング（Reinhard）（zeb tonemap）",
                           "ライトブルームエフェクタ（zeb bloom）", "zeb cameraカスタム属性の削除",
                           "  FileDescription: Camera simulation effector plugin for Shade.\n",
                           "  FileVersion: 1.0.0 Build 1\n"})
    EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;
  EXPECT_EQ(output.find("zeb camera options"), std::string::npos) << output;
}

}  // namespace
