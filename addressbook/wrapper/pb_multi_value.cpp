#include "addressbook/wrapper/pb_multi_value.h"

#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_record.h"
#include "platform/foundation/exception.h"

namespace pb {

std::shared_ptr<PBMultiValue> PBMultiValue::create(fnd::Ref<ab::MultiValue> multiValueRef) {
  if (!multiValueRef) return nullptr;
  return std::shared_ptr<PBMultiValue>(new PBMultiValue(std::move(multiValueRef)));
}

fnd::Ref<fnd::Object> PBMultiValue::valueAtIndex(std::size_t index) const {
  return fnd::Ref<fnd::Object>(m_multiValueRef->valueAtIndex(index));
}

fnd::Ref<fnd::String> PBMultiValue::labelAtIndex(std::size_t index) const {
  return fnd::Ref<fnd::String>(m_multiValueRef->labelAtIndex(index));
}

fnd::Ref<fnd::String> PBMultiValue::localizedLabelAtIndex(std::size_t index) const {
  return PBPerson::localizedLabel(labelAtIndex(index).get());
}

std::size_t PBMultiValue::indexForIdentifier(ab::MultiValueIdentifier identifier) const {
  return m_multiValueRef->indexForIdentifier(identifier);
}

ab::MultiValueIdentifier PBMultiValue::identifierAtIndex(std::size_t index) const {
  return m_multiValueRef->identifierAtIndex(index);
}

std::size_t PBMultiValue::firstIndexOfValue(const fnd::Object* value) const {
  return m_multiValueRef->firstIndexOfValue(value);
}

std::shared_ptr<PBMutableMultiValue> PBMultiValue::mutableCopy() const {
  return PBMutableMultiValue::createWithMultiValueRef(m_multiValueRef->mutableCopy());
}

std::string PBMultiValue::contentDescription() const {
  // Built from the last entry down, each line in front of the text so far.
  std::string text;
  for (std::size_t i = count(); i-- > 0;) {
    const fnd::Ref<fnd::String> label = labelAtIndex(i);
    const fnd::Ref<fnd::Object> value = valueAtIndex(i);
    text = fnd::formatString("\t%u) %s=%s\n%s", static_cast<unsigned>(i),
                             label ? std::string(label->utf8()).c_str() : "(null)",
                             value ? value->description().c_str() : "(null)", text.c_str());
  }
  return text;
}

std::string PBMultiValue::description() const {
  return fnd::formatString("%s: <%p> type:%s count:%u contents:{%s}", className(), static_cast<const void*>(this),
                           PBRecord::descriptionForPropertyType(propertyType()).c_str(), static_cast<unsigned>(count()),
                           contentDescription().c_str());
}

bool PBMultiValue::isEqual(const PBMultiValue* other) const {
  if (other == this) return true;
  return other && isEqualToMultiValue(*other);
}

bool PBMultiValue::isEqualToMultiValue(const PBMultiValue& other) const {
  if (count() != other.count()) return false;
  for (std::size_t i = 0; i < count(); ++i) {
    // An absent label, or an absent value, is equal to nothing.
    const fnd::Ref<fnd::String> label = labelAtIndex(i);
    const fnd::Ref<fnd::String> otherLabel = other.labelAtIndex(i);
    if (!label || !otherLabel || !label->isEqual(*otherLabel)) return false;
    const fnd::Ref<fnd::Object> value = valueAtIndex(i);
    const fnd::Ref<fnd::Object> otherValue = other.valueAtIndex(i);
    if (!value || !otherValue || !value->isEqual(*otherValue)) return false;
  }
  return true;
}

std::shared_ptr<PBMutableMultiValue> PBMutableMultiValue::create(ab::PropertyType type) {
  return createWithMultiValueRef(ab::MultiValue::createMutable(type));
}

std::shared_ptr<PBMutableMultiValue> PBMutableMultiValue::createWithMultiValueRef(fnd::Ref<ab::MultiValue> mutableRef) {
  if (!mutableRef) return nullptr;
  return std::shared_ptr<PBMutableMultiValue>(new PBMutableMultiValue(std::move(mutableRef)));
}

ab::MultiValueIdentifier PBMutableMultiValue::addValue(fnd::Object* value, fnd::String* label) {
  ab::MultiValueIdentifier identifier = ab::kInvalidMultiValueIdentifier;
  multiValueRef()->addValue(value, label, &identifier);
  return identifier;
}

ab::MultiValueIdentifier PBMutableMultiValue::insertValue(fnd::Object* value, fnd::String* label, std::size_t index) {
  ab::MultiValueIdentifier identifier = ab::kInvalidMultiValueIdentifier;
  multiValueRef()->insertValue(value, label, index, &identifier);
  return identifier;
}

bool PBMutableMultiValue::removeValueAndLabelAtIndex(std::size_t index) {
  return multiValueRef()->removeValueAndLabelAtIndex(index);
}

bool PBMutableMultiValue::replaceValueAtIndex(std::size_t index, fnd::Object* value) {
  return multiValueRef()->replaceValueAtIndex(value, index);
}

bool PBMutableMultiValue::replaceLabelAtIndex(std::size_t index, fnd::String* label) {
  return multiValueRef()->replaceLabelAtIndex(label, index);
}

}  // namespace pb
