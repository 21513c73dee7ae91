#include "numberlist/contact_parser.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <string_view>

#include "json/json_decoder.h"
#include "numberlist/number_list_format.h"
#include "platform/dispatch/main_thread.h"
#include "store/record_store.h"
#include "tests/support/event_loop.h"

namespace numberlist {

namespace {

using store::RecordStore;
using store::StoreContext;
using store::StoreSaving;

struct RecordingDelegate : IParseContactsDelegate {
  void didFinishParsingContactsInArray(const Contact::List& records) override {
    finished.push_back(records.size());
    onMainThread = dispatch::isMainThread();
    countSeenByDefaultContext = Contact::countOfEntities().value_or(0);
  }
  void didFailParsingWithError(const fnd::Error& error) override {
    errors.push_back(error);
    onMainThread = dispatch::isMainThread();
  }
  std::size_t reports() const { return finished.size() + errors.size(); }

  std::vector<std::size_t> finished;
  std::vector<fnd::Error> errors;
  bool onMainThread = false;
  std::size_t countSeenByDefaultContext = 0;
};

fnd::Ref<fnd::Array> itemsFromJson(std::string_view json) {
  auto body = fnd::Data::create(std::string(json));
  return numberlist::itemsFromListBody(*body);
}

// A list whose every item gives its phone number as a JSON number, not as text.
fnd::Ref<fnd::Array> numbersTypedAsJsonNumbers(int count) {
  std::string json = R"({"telefonnumre":[)";
  for (int i = 0; i < count; ++i)
    json +=
        (i ? "," : "") + std::string(R"({"firma":"F","posisjon":1,"telefon":)") + std::to_string(20000000 + i) + "}";
  return itemsFromJson(json + "]}");
}

// A list of `count` well-formed items.
fnd::Ref<fnd::Array> numbersTypedAsText(int count) {
  std::string json = R"({"telefonnumre":[)";
  for (int i = 0; i < count; ++i)
    json += (i ? "," : "") + std::string(R"({"firma":"Firma med et langt navn","telefon":")") +
            std::to_string(20000000 + i) + "\"}";
  return itemsFromJson(json + "]}");
}

class ContactParserTest : public ::testing::Test {
 protected:
  void SetUp() override { openStore(); }
  void TearDown() override { RecordStore::cleanUp(); }

  void openStore() {
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(m_directory.filePath("list.sqlite").toStdString());
  }
  void reopenStore() {
    RecordStore::cleanUp();
    openStore();
  }

  static void addRecord(const char* number, bool byHand) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(number).get());
    record->setFirm(fnd::str(byHand ? "Ukjent" : "Gammel AS").get());
    if (byHand) record->setManualAdd(fnd::Number::yes());
  }

  // Five downloaded records and two added by hand, saved to the file.
  static void storeOldList() {
    for (const char* number : {"10000001", "10000002", "10000003", "10000004", "10000005"}) addRecord(number, false);
    addRecord("40000001", true);
    addRecord("40000002", true);
    StoreSaving::save(StoreContext::defaultContext());
  }

  void parse(fnd::Ref<fnd::Array> items) {
    auto parser = ContactParser::initWithDelegate(&m_delegate);
    parser->startParsingContactsInArray(std::move(items));
    parser.reset();  // the parse in flight keeps it alive
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return m_delegate.reports() == 1; }));
    rp::test::runEventLoopFor(std::chrono::milliseconds(50));  // the queued save of the default context
  }

  // The stored numbers in store order; "-" for a record without one.
  static std::vector<std::string> storedNumbers() {
    const Contact::List records = Contact::findAll().value();
    std::vector<std::string> numbers;
    for (const auto& record : records)
      numbers.emplace_back(record->phoneNumber() ? record->phoneNumber()->utf8() : "-");
    return numbers;
  }

  QTemporaryDir m_directory;
  RecordingDelegate m_delegate;
};

TEST_F(ContactParserTest, ReplacesDownloadedRecordsKeepsHandAddedOnesAndWritesTheFile) {
  storeOldList();
  parse(itemsFromJson(R"({"telefonnumre":[
      {"firma":"A AS","telefon":"20000001","posisjon":1,"status":"godkjent"},
      {"firma":"B AS","telefon":"20000002","posisjon":2},
      {"firma":"C AS","telefon":"20000003","posisjon":3}]})"));
  ASSERT_EQ(m_delegate.finished, std::vector<std::size_t>{3});
  EXPECT_TRUE(m_delegate.onMainThread);
  EXPECT_EQ(m_delegate.countSeenByDefaultContext, 5u);  // already visible when the delegate runs
  reopenStore();
  std::vector<std::string> numbers = storedNumbers();
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<std::string>{"20000001", "20000002", "20000003", "40000001", "40000002"}));
}

TEST_F(ContactParserTest, ConvertsEveryMemberByTheFormatAndKeepsTheServicesOrder) {
  parse(itemsFromJson(R"({"telefonnumre":[
      {"firma":"Først","telefon":"1","url":"http://a.no/","kategori":"Telefonsalg","posisjon":12,"status":"godkjent"},
      {"telefon":"2","posisjon":"12"},
      {"telefon":"3","posisjon":12.9,"status":"Godkjent"},
      {"telefon":"4","posisjon":"  -7x","status":"ikke godkjent"},
      {"telefon":"5","posisjon":"x12"},
      {"firma":"Uten nummer","posisjon":99999999999},
      {"firma":7,"telefon":null,"url":["x"],"posisjon":null,"status":true}]})"));
  ASSERT_EQ(m_delegate.finished, std::vector<std::size_t>{7});
  const Contact::List records = Contact::findAllSortedBy("phoneNumber", true).value();
  ASSERT_EQ(records.size(), 7u);
  // Keyed by number, or by firm for the records without one.
  std::map<std::string, fnd::Ref<Contact>> byNumber;
  for (const auto& record : records) {
    const fnd::Ref<fnd::String> key = record->phoneNumber() ? record->phoneNumber() : record->firm();
    byNumber[key ? std::string(key->utf8()) : "<neither>"] = record;
  }

  const auto& first = byNumber.at("1");
  EXPECT_EQ(first->firm()->utf8(), "Først");
  EXPECT_EQ(first->url()->utf8(), "http://a.no/");
  EXPECT_EQ(first->category()->utf8(), "Telefonsalg");
  EXPECT_EQ(first->position()->int64Value(), 12);
  EXPECT_TRUE(first->status()->boolValue());
  EXPECT_FALSE(first->manualAdd()->boolValue());
  EXPECT_EQ(byNumber.at("2")->position()->int64Value(), 12);
  EXPECT_FALSE(byNumber.at("2")->status()->boolValue());  // no status: NO
  EXPECT_EQ(byNumber.at("3")->position()->int64Value(), 12);
  EXPECT_FALSE(byNumber.at("3")->status()->boolValue());  // case matters
  EXPECT_EQ(byNumber.at("4")->position()->int64Value(), -7);
  EXPECT_EQ(byNumber.at("5")->position()->int64Value(), 0);
  EXPECT_EQ(byNumber.at("Uten nummer")->position()->int64Value(), 2147483647);  // clamped to the record's range
  // Members of the wrong type count as missing: a record without firm, number or url.
  const auto& wrongTypes = byNumber.at("<neither>");
  EXPECT_EQ(wrongTypes->url(), nullptr);
  EXPECT_EQ(wrongTypes->position()->int64Value(), 0);
  EXPECT_FALSE(wrongTypes->status()->boolValue());

  // The records were created in the list's order.
  EXPECT_EQ(storedNumbers(), (std::vector<std::string>{"1", "2", "3", "4", "5", "-", "-"}));
}

TEST_F(ContactParserTest, ListWithoutUsableItemsKeepsTheStoredListAndReportsTheFailure) {
  storeOldList();
  for (fnd::Ref<fnd::Array> items :
       {fnd::Ref<fnd::Array>(), itemsFromJson(R"({"telefonnumre":[]})"),
        itemsFromJson(R"({"telefonnumre":[1,"x",null,[]]})"), itemsFromJson("<html>Vedlikehold</html>"),
        itemsFromJson(R"({"telefonnumre":{"firma":"x"}})"),
        itemsFromJson(R"({"telefonnumre":[{"firma":"x","telefon":""},{"telefon":null},{"telefon":["20000001"]}]})"),
        numbersTypedAsJsonNumbers(1000)}) {
    m_delegate = {};
    parse(items);
    ASSERT_EQ(m_delegate.errors.size(), 1u);
    EXPECT_EQ(m_delegate.errors[0].domain(), "ContactParser");
    EXPECT_EQ(m_delegate.errors[0].code(), 100);
    EXPECT_EQ(m_delegate.errors[0].localizedDescription(), "Kunne ikke legge inn nye nummer");
    EXPECT_EQ(Contact::countOfEntities(), 7u);
  }
  reopenStore();
  EXPECT_EQ(storedNumbers().size(), 7u);
}

// Limits the size of every file this process writes, as a full disk would,
// for the life of the object.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    rlimit limited = m_previous;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
  }

 private:
  rlimit m_previous{};
  void (*m_previousHandler)(int) = nullptr;
};

TEST_F(ContactParserTest, AListThatCannotBeWrittenIsAFailureAndTheFileKeepsTheOldList) {
  storeOldList();
  const std::string file = m_directory.filePath("list.sqlite").toStdString();
  const qint64 written =
      std::max(QFileInfo(QString::fromStdString(file)).size(), QFileInfo(QString::fromStdString(file + "-wal")).size());
  {
    FileSizeLimit full(static_cast<rlim_t>(written + 1024));
    for (fnd::Ref<fnd::Array> items :
         {itemsFromJson(R"({"telefonnumre":[{"firma":"Ny AS","telefon":"20000001"}]})"), numbersTypedAsText(1000)}) {
      m_delegate = {};
      parse(items);
      ASSERT_TRUE(m_delegate.finished.empty()) << "a list that is not in the file must not be reported as stored";
      ASSERT_EQ(m_delegate.errors.size(), 1u);
      EXPECT_EQ(m_delegate.errors[0].domain(), "ContactParser");
      EXPECT_EQ(m_delegate.errors[0].code(), ContactParser::kSaveFailedCode);
      EXPECT_NE(m_delegate.errors[0].localizedDescription().find("disk"), std::string::npos)
          << "the user is told why: " << m_delegate.errors[0].localizedDescription();
    }
  }
  reopenStore();
  std::vector<std::string> numbers = storedNumbers();
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<std::string>{"10000001", "10000002", "10000003", "10000004", "10000005", "40000001",
                                               "40000002"}));
}

// Reaches files as an unprivileged user for the life of the object, so that
// permissions hold as they do for a person's own files (root passes every
// check). Every thread of the process takes the user on; false when the
// process is root and cannot step down.
class UnprivilegedFileAccess {
 public:
  static constexpr uid_t kNobody = 65534;
  static constexpr gid_t kNoGroup = 65534;

  // Hands `folder` and what it holds to the user first, when root.
  explicit UnprivilegedFileAccess(const QString& folder) : m_wasRoot(geteuid() == 0) {
    if (!m_wasRoot) return;
    bool handed = ::chown(QFile::encodeName(folder).constData(), kNobody, kNoGroup) == 0;
    for (QDirIterator entry(folder, QDir::Files | QDir::Hidden); entry.hasNext();)
      handed = ::chown(QFile::encodeName(entry.next()).constData(), kNobody, kNoGroup) == 0 && handed;
    m_active = handed && setegid(kNoGroup) == 0 && seteuid(kNobody) == 0;
  }
  ~UnprivilegedFileAccess() {
    if (!m_wasRoot) return;
    EXPECT_EQ(seteuid(0), 0);
    EXPECT_EQ(setegid(0), 0);
  }
  bool active() const { return !m_wasRoot || m_active; }

 private:
  bool m_wasRoot;
  bool m_active = false;
};

// A store the user may read but not write: the file itself, or the folder
// that must take the store's journal.
class ReadOnlyStoreTest : public ContactParserTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReadOnlyStoreTest, AListThatCannotBeStoredIsAFailureAndTheOldListStays) {
  storeOldList();
  RecordStore::cleanUp();  // closes the file, so the user's own open below is the only one
  const QString file = m_directory.filePath("list.sqlite");
  const bool folderReadOnly = std::string_view(GetParam()) == "folder";
  {
    UnprivilegedFileAccess user(m_directory.path());
    ASSERT_TRUE(user.active()) << "cannot step down from root";
    ASSERT_TRUE(QFile::setPermissions(folderReadOnly ? m_directory.path() : file,
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ReadOther));
    openStore();
    parse(itemsFromJson(R"({"telefonnumre":[{"firma":"Ny AS","telefon":"20000001"}]})"));
    EXPECT_TRUE(m_delegate.finished.empty()) << "a list that is not in the file must not be reported as stored";
    ASSERT_EQ(m_delegate.errors.size(), 1u);
    EXPECT_EQ(m_delegate.errors[0].code(), ContactParser::kSaveFailedCode);
    RecordStore::cleanUp();
    QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
  }
  openStore();
  std::vector<std::string> numbers = storedNumbers();
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<std::string>{"10000001", "10000002", "10000003", "10000004", "10000005", "40000001",
                                               "40000002"}));
}

INSTANTIATE_TEST_SUITE_P(FileOrFolder, ReadOnlyStoreTest, ::testing::Values("file", "folder"));

TEST_F(ContactParserTest, ADamagedStoreFileIsKeptAsideAndAFreshStoreTakesTheList) {
  storeOldList();
  RecordStore::cleanUp();
  const QString file = m_directory.filePath("list.sqlite");
  QFile::remove(file + "-wal");
  QFile::remove(file + "-shm");
  QFile damaged(file);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
  damaged.write(QByteArray(8192, '\xA5'));
  damaged.close();

  openStore();
  parse(itemsFromJson(R"({"telefonnumre":[{"firma":"Ny AS","telefon":"20000001"}]})"));
  ASSERT_EQ(m_delegate.finished, std::vector<std::size_t>{1});
  reopenStore();
  EXPECT_EQ(storedNumbers(), std::vector<std::string>{"20000001"});
  QFile kept(file + ".damaged");
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << "the damaged file is kept for recovery";
  EXPECT_EQ(kept.readAll(), QByteArray(8192, '\xA5'));
}

TEST_F(ContactParserTest, ItemsThatAreNotDictionariesAreSkipped) {
  storeOldList();
  parse(itemsFromJson(R"({"telefonnumre":[null,{"telefon":"20000001"},"x"]})"));
  ASSERT_EQ(m_delegate.finished, std::vector<std::size_t>{1});
  EXPECT_EQ(Contact::countOfEntities(), 3u);
}

TEST_F(ContactParserTest, ListBodyOfUtf8OrInvalidBytesStillDecodes) {
  EXPECT_EQ(itemsFromJson("{\"telefonnumre\":[{\"firma\":\"M\xC3\xA5ling\"}]}")->count(), 1u);
  fnd::Ref<fnd::Array> loose = itemsFromJson("{\"telefonnumre\":[{\"firma\":\"M\xE5ling\"}]}");
  ASSERT_TRUE(loose);
  auto* item = static_cast<fnd::Dictionary*>(loose->objectAtIndex(0));
  EXPECT_EQ(static_cast<fnd::String*>(item->objectForKey(std::string_view("firma")))->utf8(), "M\xEF\xBF\xBDling");
  EXPECT_EQ(numberlist::rankFromText("+42abc"), 42);
  EXPECT_EQ(numberlist::rankFromText("99999999999999999999"), 2147483647);
  EXPECT_EQ(numberlist::rankFromText("-99999999999999999999"), -2147483648);
}

}  // namespace

}  // namespace numberlist
