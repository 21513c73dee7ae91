#pragma once
// Owning handles for the GLib objects the Evolution target holds, so that each
// reference is dropped exactly once on every path out of a call.

#include <glib-object.h>

#include <memory>

namespace publish::evolution {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

// Hands a GError** to a GLib call and keeps what it sets:
//   GErrorSlot error; call(..., error.out()); if (error) ...
class GErrorSlot {
 public:
  GErrorSlot() = default;
  GErrorSlot(const GErrorSlot&) = delete;
  GErrorSlot& operator=(const GErrorSlot&) = delete;
  GError** out() { return &m_raw; }
  ~GErrorSlot() { g_clear_error(&m_raw); }
  explicit operator bool() const { return m_raw != nullptr; }
  const GError* get() const { return m_raw; }

 private:
  GError* m_raw = nullptr;
};

}  // namespace publish::evolution
