// covers: json_decoder.cpp, parser.cpp, tokenizer.cpp
// Runs the decoder with default options over the shared JSON conformance
// folder: every y_ document decodes except those this decoder refuses by its
// own rules (a top-level value that is not an array or object, U+0000 or a
// noncharacter); every n_ document fails; no i_ document crashes.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>
#include <string>

#include "tests/support/json/json_test_helpers.h"
#include "tests/support/temporary_home.h"

namespace json {
namespace {

struct Refusal {
  const char* rule;
  const char* message;
};

constexpr const char* kUnexpectedToken =
    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";
constexpr const char* kIllegalEscape = "Illegal \\u Unicode escape sequence.";
constexpr const char* kIllegalUtf8 = "Illegal UTF8 sequence found in \"\" string.";
constexpr const char* kTopLevel = "the top-level value must be an array or an object";
constexpr const char* kCodePoint = "U+0000 and noncharacters are refused in strings";

const std::map<std::string, Refusal>& refusedByDesign() {
  static const std::map<std::string, Refusal> refusals = {
      // A literal needs a byte after it and a number needs a byte after it,
      // so a lone literal or number fails before the top-level check.
      {"y_structure_lonely_false.json", {kTopLevel, kUnexpectedToken}},
      {"y_structure_lonely_true.json", {kTopLevel, kUnexpectedToken}},
      {"y_structure_lonely_null.json", {kTopLevel, kUnexpectedToken}},
      {"y_structure_lonely_int.json", {kTopLevel, "Invalid number."}},
      {"y_structure_lonely_negative_real.json", {kTopLevel, "Invalid number."}},
      {"y_structure_lonely_string.json", {kTopLevel, "Expected either '[' or '{'."}},
      {"y_structure_string_empty.json", {kTopLevel, "Expected either '[' or '{'."}},
      {"y_string_space.json", {kTopLevel, "Expected either '[' or '{'."}},
      {"y_object_escaped_null_in_key.json", {kCodePoint, kIllegalEscape}},
      {"y_string_null_escape.json", {kCodePoint, kIllegalEscape}},
      {"y_string_escaped_noncharacter.json", {kCodePoint, kIllegalEscape}},
      {"y_string_last_surrogates_1_and_2.json", {kCodePoint, kIllegalEscape}},
      {"y_string_unicode_U+10FFFE_nonchar.json", {kCodePoint, kIllegalEscape}},
      {"y_string_unicode_U+1FFFE_nonchar.json", {kCodePoint, kIllegalEscape}},
      {"y_string_unicode_U+FDD0_nonchar.json", {kCodePoint, kIllegalEscape}},
      {"y_string_unicode_U+FFFE_nonchar.json", {kCodePoint, kIllegalEscape}},
      {"y_string_nonCharacterInUTF-8_U+10FFFF.json", {kCodePoint, kIllegalUtf8}},
      {"y_string_nonCharacterInUTF-8_U+FFFF.json", {kCodePoint, kIllegalUtf8}},
  };
  return refusals;
}

TEST(JSONConformanceTest, EveryCaseHasItsExpectedOutcome) {
  const std::string shared = rp::test::sharedDataPath();
  if (shared.empty()) GTEST_SKIP() << "the shared test data folder is absent; set RP_SHARED_DATA";
  const QDir folder(QString::fromStdString(shared + "/json/conformance"));
  const QStringList names = folder.entryList({"*.json"}, QDir::Files, QDir::Name);
  if (names.isEmpty()) GTEST_SKIP() << "no conformance cases in " << folder.path().toStdString();

  std::map<char, int> total, asExpected;
  int refused = 0;
  for (const QString& name : names) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QByteArray bytes = file.readAll();
    const std::string fileName = name.toStdString();
    std::optional<fnd::Error> error;
    const bool decoded = static_cast<bool>(
        test::decode({bytes.constData(), static_cast<std::size_t>(bytes.size())}, JDParseDefault, false, &error));
    EXPECT_EQ(decoded, !error.has_value()) << fileName;
    const char kind = fileName[0];
    ++total[kind];
    if (kind == 'y') {
      const auto refusal = refusedByDesign().find(fileName);
      if (refusal == refusedByDesign().end()) {
        EXPECT_TRUE(decoded) << fileName << ": " << (error ? error->localizedDescription() : "");
        asExpected[kind] += decoded;
      } else {
        EXPECT_FALSE(decoded) << fileName << " should be refused: " << refusal->second.rule;
        if (error) {
          EXPECT_EQ(error->localizedDescription(), refusal->second.message) << fileName;
        }
        refused += !decoded;
      }
    } else if (kind == 'n') {
      EXPECT_FALSE(decoded) << fileName;
      asExpected[kind] += !decoded;
    } else {
      ++asExpected[kind];  // either outcome; reaching here means no crash
    }
  }
  std::printf("conformance: y %d of %d decoded, %d refused by design; n %d of %d refused; i %d of %d without a crash\n",
              asExpected['y'], total['y'], refused, asExpected['n'], total['n'], asExpected['i'], total['i']);
  EXPECT_EQ(refused, static_cast<int>(refusedByDesign().size()));
  EXPECT_EQ(asExpected['y'] + refused, total['y']);
  EXPECT_EQ(asExpected['n'], total['n']);
}

}  // namespace
}  // namespace json
