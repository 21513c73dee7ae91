#pragma once
// A test fixture with a thousand stored people (named P0.. and aged 0..), read
// back through a fresh coordinator, and helpers to see which records are faults.
#include <algorithm>

#include "platform/foundation/string_object.h"
#include "platform/objectstore/store_fixture.h"
#include "platform/objectstore/test_model.h"

namespace objectstore::test {

inline constexpr std::size_t kPeople = 1000;

class ThousandPeopleTest : public StoreFixture {
 protected:
  void SetUp() override {
    open(test::peopleModel());
    ASSERT_FALSE(m_openError);
    for (std::size_t i = 0; i < kPeople; ++i) {
      ManagedObjectRef person = m_root->insertNewObject("Person");
      person->setValueForKey(fnd::str("P" + std::to_string(i)).get(), "name");
      person->setValueForKey(fnd::Number::create(static_cast<std::int64_t>(i)).get(), "age");
    }
    ASSERT_TRUE(save(m_root));
    reopen();
  }

  // Everyone by age, as records of `context`.
  std::vector<ManagedObjectRef> byAge(const ContextPtr& context, std::size_t batch = 0, bool faults = true) const {
    FetchRequest request(entity("Person"));
    request.setSortDescriptors({{"age", true}});
    request.setFetchBatchSize(batch);
    request.setReturnsObjectsAsFaults(faults);
    std::vector<ManagedObjectRef> records;
    for (const auto& object : fetch(context, request)) records.emplace_back(static_cast<ManagedObject*>(object.get()));
    return records;
  }

  static std::string faultMap(const std::vector<ManagedObjectRef>& records, std::size_t from, std::size_t to) {
    std::string map;
    for (std::size_t i = from; i < to; ++i) map += records[i]->isFault() ? 'F' : '.';
    return map;
  }

  static std::size_t faultCount(const std::vector<ManagedObjectRef>& records) {
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                  [](const ManagedObjectRef& record) { return record->isFault(); }));
  }

  static std::string nameOf(const ManagedObject& record) {
    fnd::Ref<fnd::Object> name = record.valueForKey("name");
    return name ? name->description() : "nil";
  }
};

}  // namespace objectstore::test
