#pragma once
// PublishTarget: one place outside the application's own address book where
// the protection contact is mirrored, so that a dialer reading that place
// shows a nuisance call under it. Calls block and come from the publisher's
// worker thread, one at a time per target.

#include <QByteArray>
#include <QString>
#include <vector>

namespace publish {

struct LabelledNumber {
  QString number;  // as stored in the protection contact
  QString label;   // the firm's name
};

// The protection contact as it was last saved in the application's own book.
struct ContactSnapshot {
  QString name;
  std::vector<LabelledNumber> numbers;
  QByteArray iconPng;  // empty when the contact has no image
};

// Empty on success; otherwise one line saying what failed and why.
using Failure = QString;

class PublishTarget {
 public:
  virtual ~PublishTarget() = default;
  // How the person knows this target in messages, e.g. "CardDAV https://host/book/".
  virtual QString displayName() const = 0;
  // Writes the contact, replacing the one written before.
  virtual Failure publish(const ContactSnapshot& contact) = 0;
  // Removes the contact written before; nothing there is no failure.
  virtual Failure remove() = 0;
};

}  // namespace publish
