#include "app/localizable.h"

namespace app {

QString fillFormat(const QString& format, std::initializer_list<QString> values) {
  QString filled;
  filled.reserve(format.size());
  auto next = values.begin();
  for (qsizetype i = 0; i < format.size(); ++i) {
    const bool placeholder =
        format[i] == u'%' && i + 1 < format.size() && (format[i + 1] == u'd' || format[i + 1] == u'@');
    if (placeholder && next != values.end()) {
      filled += *next++;
      ++i;
    } else {
      filled += format[i];
    }
  }
  return filled;
}

}  // namespace app
