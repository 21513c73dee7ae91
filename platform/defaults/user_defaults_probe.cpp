// Writes or reads the standard user defaults from its own process:
//   user_defaults_probe write   stores one value of each kind and synchronises
//   user_defaults_probe read    prints the stored values, one per line
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "platform/defaults/user_defaults.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  auto& store = defaults::UserDefaults::standard();
  if (argc == 2 && std::strcmp(argv[1], "write") == 0) {
    store.setBool("flag", true);
    store.setInteger("count", -7000);
    store.setDouble("ratio", 0.25);
    store.setString("name", "Ringeplagvern æøå");
    store.setDate("when", *fnd::Date::create(1700000000.5));
    return store.synchronize() ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "read") == 0) {
    const auto date = store.dateForKey("when");
    std::printf("%d\n%lld\n%g\n%s\n%.3f\n", store.boolForKey("flag"),
                static_cast<long long>(store.integerForKey("count")), store.doubleForKey("ratio"),
                store.stringForKey("name").value_or("<absent>").c_str(), date ? date->timeIntervalSince1970() : -1.0);
    return 0;
  }
  std::fprintf(stderr, "usage: %s write|read\n", argv[0]);
  return 2;
}
