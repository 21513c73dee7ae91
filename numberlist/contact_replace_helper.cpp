// A helper program of the crash test: it replaces the stored number list over
// and over, the way the application stores each download, until it is killed.
// After each replacement reaches the file it prints "stored <generation>".
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "numberlist/contact.h"
#include "store/record_store.h"

namespace {

using numberlist::Contact;
using store::RecordStore;

constexpr const char* kUsage =
    "usage: contact_replace_helper STORE_PATH [RECORDS]\n"
    "Replaces the downloaded records of the store at STORE_PATH with RECORDS new ones\n"
    "(100000 by default) again and again, printing \"stored N\" after each generation.\n";

int generationOf(const fnd::Ref<Contact>& contact) {
  if (!contact || !contact->category()) return 0;
  return std::stoi(std::string(contact->category()->utf8()));
}

void replaceForever(int generation, int records) {
  RecordStore::saveInBackgroundWithBlock(
      [generation, records](const store::ContextPtr& context) {
        auto old = Contact::findAllWithPredicate(Contact::downloadedPredicate(), context);
        for (const auto& contact : old.value()) contact->deleteInContext(context);
        for (int i = 0; i < records; ++i) {
          fnd::Ref<Contact> contact = Contact::createInContext(context);
          contact->setPhoneNumber(fnd::str(std::to_string(40000000 + i)).get());
          contact->setFirm(fnd::str("Firma " + std::to_string(i)).get());
          contact->setCategory(fnd::str(std::to_string(generation)).get());
          contact->setPosition(fnd::Number::create(static_cast<std::int64_t>(i + 1)).get());
        }
      },
      [generation, records] {
        store::StoreSaving::save(store::StoreContext::defaultContext());
        std::printf("stored %d\n", generation);
        std::fflush(stdout);
        replaceForever(generation + 1, records);
      });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  QCoreApplication application(argc, argv);
  int records = argc > 2 ? std::atoi(argv[2]) : 100000;
  RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(argv[1]);
  QTimer::singleShot(0, [records] { replaceForever(generationOf(Contact::findFirst()) + 1, records); });
  return application.exec();
}
