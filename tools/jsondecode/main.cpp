// jsondecode: decodes one JSON document with the application's decoder and
// prints it as canonical compact JSON, or the decoder's error with its
// position, so that people and scripts can check what the decoder makes of
// a file.

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "json/json_decoder.h"
#include "platform/foundation/number.h"
#include "tests/support/json/compact_json.h"

namespace {

constexpr const char* kUsage =
    "Usage: jsondecode [--options N] [--mutable] FILE\n"
    "Decodes the JSON document in FILE ('-' reads standard input) and prints it\n"
    "on one line as compact JSON, object members sorted by key.\n"
    "\n"
    "  --options N  parse options, the sum of:\n"
    "                 1 allow /* */ and // comments\n"
    "                 2 allow U+0085, U+2028 and U+2029 as line ends\n"
    "                 4 read malformed Unicode as U+FFFD instead of failing\n"
    "                 8 ignore text after the top-level value\n"
    "  --mutable    build mutable containers\n"
    "  --help       show this text\n"
    "\n"
    "Exit status 0 on success; 1 with 'error: MESSAGE (index N, line L)' on\n"
    "standard error when the document does not decode; 2 for bad usage or\n"
    "when the input cannot be read or the output cannot be written.\n";

struct Arguments {
  json::JDParseOptionFlags options = json::JDParseDefault;
  bool mutableContainers = false;
  const char* path = nullptr;
};

int usageError(const char* message) {
  std::fprintf(stderr, "jsondecode: %s\nTry 'jsondecode --help' for more information.\n", message);
  return 2;
}

std::optional<json::JDParseOptionFlags> parseOptionsArgument(const char* text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (!*text || *end || value > json::JDParseValidFlags) return std::nullopt;
  return static_cast<json::JDParseOptionFlags>(value);
}

std::optional<QByteArray> readInput(const char* path) {
  QFile file;
  const bool opened = std::strcmp(path, "-") == 0
                          ? file.open(stdin, QIODevice::ReadOnly)
                          : (file.setFileName(QString::fromLocal8Bit(path)), file.open(QIODevice::ReadOnly));
  if (!opened) return std::nullopt;
  return file.readAll();
}

unsigned long long detail(const fnd::Error& error, std::string_view key) {
  const fnd::Object* value = error.userInfo()->objectForKey(key);
  return value && value->kind() == fnd::ObjectKind::Number ? static_cast<const fnd::Number*>(value)->uint64Value() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argument, "--mutable") == 0) {
      arguments.mutableContainers = true;
    } else if (std::strcmp(argument, "--options") == 0) {
      if (++i == argc) return usageError("--options needs a number");
      const auto options = parseOptionsArgument(argv[i]);
      if (!options) return usageError("--options takes a number from 0 to 15");
      arguments.options = *options;
    } else if (arguments.path || (argument[0] == '-' && argument[1] != '\0')) {
      return usageError("unexpected argument");
    } else {
      arguments.path = argument;
    }
  }
  if (!arguments.path) return usageError("no input file");

  const std::optional<QByteArray> bytes = readInput(arguments.path);
  if (!bytes) {
    std::fprintf(stderr, "jsondecode: cannot read %s\n", arguments.path);
    return 2;
  }
  json::JSONDecoder decoder(arguments.options);
  std::optional<fnd::Error> error;
  const auto length = static_cast<std::size_t>(bytes->size());
  const fnd::Ref<fnd::Object> value = arguments.mutableContainers
                                          ? decoder.mutableObjectWithUTF8String(bytes->constData(), length, &error)
                                          : decoder.objectWithUTF8String(bytes->constData(), length, &error);
  if (!value) {
    std::fprintf(stderr, "error: %s (index %llu, line %llu)\n", error ? error->localizedDescription().c_str() : "?",
                 error ? detail(*error, json::kJDAtIndexKey) : 0, error ? detail(*error, json::kJDLineNumberKey) : 0);
    return 1;
  }
  const std::string text = jsondecode::compactJson(*value);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  // A full disk or a closed pipe must not pass for a complete dump.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "jsondecode: cannot write the output\n");
    return 2;
  }
  return 0;
}
