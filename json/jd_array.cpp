#include "json/jd_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/foundation/exception.h"

namespace json {

namespace {

// Insertion grows the element array by this many slots at a time; it never shrinks.
constexpr std::size_t kGrowthSlots = 16;

}  // namespace

fnd::Ref<JDArray> JDArray::create(ContainerAccess, fnd::ObjectArena& arena, fnd::Object** objects, std::size_t count,
                                  bool isMutable) {
  // The elements live in the same allocation as the array until an insertion outgrows them.
  void* memory = arena.allocate(sizeof(JDArray) + count * sizeof(fnd::Object*));
  auto* array = new (memory) JDArray(count, isMutable);
  if (count > 0) std::memcpy(array->m_objects, objects, count * sizeof(fnd::Object*));
  return fnd::Ref<JDArray>::adopt(array);
}

JDArray::JDArray(std::size_t count, bool isMutable) noexcept
    : m_objects(inlineObjects()), m_count(count), m_capacity(count), m_mutations(isMutable ? 1 : 0) {}

JDArray::~JDArray() {
  for (std::size_t i = 0; i < m_count; ++i) m_objects[i]->release();
  if (m_objects != inlineObjects()) std::free(m_objects);
}

void JDArray::operator delete(void* memory) noexcept { fnd::ObjectArena::deallocate(memory); }

fnd::Object** JDArray::inlineObjects() noexcept { return reinterpret_cast<fnd::Object**>(this + 1); }

fnd::Object* JDArray::objectAtIndex(std::size_t index) const {
  if (index >= m_count) throwBeyondBounds("objectAtIndex:", index, m_count);
  return m_objects[index];
}

void JDArray::getObjects(fnd::Object** destination, fnd::IndexRange range) const {
  const std::size_t end = range.location + range.length;
  if (!destination && end > 0) {
    throw fnd::Exception(fnd::Exception::Kind::Range,
                         fnd::formatString("*** -[%s %s]: pointer to objects array is NULL but range length is %zu",
                                           className(), "getObjects:range:", end));
  }
  if (range.location > m_count || end > m_count || end < range.location)
    throwBeyondBounds("getObjects:range:", end, m_count);
  if (range.length > 0) std::memcpy(destination, m_objects + range.location, range.length * sizeof(fnd::Object*));
}

std::size_t JDArray::countByEnumerating(fnd::FastEnumerationState& state, fnd::Object** buffer,
                                        std::size_t length) const {
  // The batch is copied out, so a mutation in the middle of a batch (which
  // may move the elements) is reported at the batch's end, never read freed.
  if (state.state == 0) state.mutations = &m_mutations;
  const std::size_t start = std::min(state.state, m_count);
  const std::size_t produced = std::min(length, m_count - start);
  if (produced > 0) std::memcpy(buffer, m_objects + start, produced * sizeof(fnd::Object*));
  state.items = buffer;
  state.state = start + produced;
  return produced;
}

void JDArray::insertObject(fnd::Object* object, std::size_t index) {
  static constexpr const char* operation = "insertObject:atIndex:";
  requireMutable(operation);
  requireObject(operation, object);
  if (index > m_count) throwBeyondBounds(operation, index, m_count + 1);
  if (m_count + 1 >= m_capacity) {
    const std::size_t capacity = m_capacity + kGrowthSlots;
    const bool onHeap = m_objects != inlineObjects();
    auto* grown = static_cast<fnd::Object**>(onHeap ? std::realloc(m_objects, capacity * sizeof(fnd::Object*))
                                                    : std::malloc(capacity * sizeof(fnd::Object*)));
    if (!grown) throw fnd::Exception(fnd::Exception::Kind::Malloc, "Unable to resize objects array.");
    if (!onHeap) std::memcpy(grown, m_objects, m_count * sizeof(fnd::Object*));
    std::memset(grown + m_capacity, 0, kGrowthSlots * sizeof(fnd::Object*));
    m_objects = grown;
    m_capacity = capacity;
  }
  object->retain();
  std::memmove(m_objects + index + 1, m_objects + index, (m_count - index) * sizeof(fnd::Object*));
  m_objects[index] = object;
  ++m_count;
  m_mutations = nextMutation(m_mutations);
}

void JDArray::removeObjectAtIndex(std::size_t index) {
  static constexpr const char* operation = "removeObjectAtIndex:";
  requireMutable(operation);
  if (index >= m_count) throwBeyondBounds(operation, index, m_count);
  m_objects[index]->release();
  std::memmove(m_objects + index, m_objects + index + 1, (m_count - index - 1) * sizeof(fnd::Object*));
  m_objects[--m_count] = nullptr;
  m_mutations = nextMutation(m_mutations);
}

void JDArray::replaceObjectAtIndex(std::size_t index, fnd::Object* object) {
  static constexpr const char* operation = "replaceObjectAtIndex:withObject:";
  requireMutable(operation);
  requireObject(operation, object);
  if (index >= m_count) throwBeyondBounds(operation, index, m_count);
  object->retain();
  m_objects[index]->release();
  m_objects[index] = object;
  m_mutations = nextMutation(m_mutations);
}

void JDArray::requireMutable(const char* operation) const {
  if (!isMutable()) fnd::throwMutatingImmutable(className(), operation);
}

void JDArray::requireObject(const char* operation, const fnd::Object* object) const {
  if (!object) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("*** -[%s %s]: attempt to insert nil", className(), operation));
  }
}

void JDArray::throwBeyondBounds(const char* operation, std::size_t index, std::size_t bound) const {
  throw fnd::Exception(fnd::Exception::Kind::Range, fnd::formatString("*** -[%s %s]: index (%zu) beyond bounds (%zu)",
                                                                      className(), operation, index, bound));
}

}  // namespace json
