#include "store/fetched_results_controller.h"

#include "platform/objectstore/predicate.h"

namespace store {

FetchedResultsController::FetchedResultsController(objectstore::FetchRequest request, objectstore::ContextPtr context,
                                                   std::string sectionNameKeyPath, std::string cacheName)
    : m_request(std::move(request)),
      m_context(std::move(context)),
      m_sectionNameKeyPath(std::move(sectionNameKeyPath)),
      m_cacheName(std::move(cacheName)) {}

bool FetchedResultsController::performFetch(std::optional<fnd::Error>* error) {
  if (!m_context) return false;
  std::optional<objectstore::FetchResults> results = m_context->executeFetchRequest(m_request, error);
  if (!results) return false;
  m_objects = std::move(*results);
  m_sections.clear();
  auto sectionKey = m_sectionNameKeyPath.empty() ? nullptr : objectstore::Expression::keyPath(m_sectionNameKeyPath);
  for (const fnd::Ref<fnd::Object>& object : m_objects) {
    std::string name;
    if (sectionKey) {
      auto* source = dynamic_cast<const objectstore::KeyValueSource*>(object.get());
      fnd::Ref<fnd::Object> value = sectionKey->evaluate(source);
      name = value ? value->description() : std::string();
    }
    if (m_sections.empty() || m_sections.back().name != name) m_sections.push_back({name, {}});
    m_sections.back().objects.push_back(object);
  }
  if (m_delegate) m_delegate->controllerDidChangeContent();
  return true;
}

fnd::Object* FetchedResultsController::objectAtIndexPath(std::size_t section, std::size_t row) const {
  if (section >= m_sections.size() || row >= m_sections[section].objects.size()) return nullptr;
  return m_sections[section].objects[row].get();
}

}  // namespace store
