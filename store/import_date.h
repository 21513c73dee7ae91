#pragma once
// Date texts of imported data: read with a date pattern ("yyyy-MM-dd'T'HH:mm:ss'Z'"
// style, quoted text literal) in a given time zone and locale, and the shift
// by that zone's daylight-saving offset that every imported date receives.
// Pure functions, safe on any thread.
#include <optional>
#include <string_view>

#include <QLocale>
#include <QString>
#include <QTimeZone>

#include "platform/foundation/date.h"

namespace store {

inline constexpr std::string_view kDefaultImportDateFormat = "yyyy-MM-dd'T'HH:mm:ss'Z'";

struct QtDateFormat {
  QString format;
  // A two-digit year, which Qt reads as 19yy; the reader moves it into the
  // hundred years around today instead.
  bool twoDigitYear = false;
};

// The pattern in Qt's date-time format; none when it uses a field Qt cannot read.
std::optional<QtDateFormat> qtDateFormat(std::string_view pattern);

// The moment the text names when read as wall-clock time in `zone`; none when
// the text does not match the pattern or names no valid moment.
fnd::Ref<fnd::Date> dateFromText(std::string_view text, std::string_view pattern, const QTimeZone& zone,
                                 const QLocale& locale);

// `date` moved forward by the daylight-saving offset `zone` has at that moment
// (zero outside summer time).
fnd::Ref<fnd::Date> shiftedByDaylightSaving(const fnd::Date& date, const QTimeZone& zone);

}  // namespace store
