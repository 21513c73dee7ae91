#include "store/import_date.h"

#include <QDateTime>
#include <algorithm>
#include <cctype>

namespace store {

namespace {

constexpr char kQuote = '\'';
constexpr std::size_t kLongTextField = 4;
constexpr std::size_t kMillisecondDigits = 3;

// Qt's code for a run of `count` copies of the pattern letter, or none.
std::optional<QString> qtField(char letter, std::size_t count) {
  auto repeated = [](char code, std::size_t times) { return QString(static_cast<qsizetype>(times), QChar(code)); };
  switch (letter) {
    case 'y':
      return QString(count == 2 ? "yy" : "yyyy");
    case 'M':
    case 'L':
      return repeated('M', std::min(count, kLongTextField));
    case 'd':
    case 'H':
    case 'h':
    case 'm':
    case 's':
      return count <= 2 ? std::optional(repeated(letter, count)) : std::nullopt;
    case 'E':
      return QString(count < kLongTextField ? "ddd" : "dddd");
    case 'S':
      return QString(count == kMillisecondDigits ? "zzz" : "z");
    case 'a':
      return QString("AP");
    default:
      return std::nullopt;
  }
}

constexpr int kYearsPerCentury = 100;
constexpr int kTwoDigitYearsBack = 80;

// 19yy moved to the year with those last two digits from 80 years ago to 19 years ahead.
QDate withinCenturyAroundToday(QDate day) {
  const int earliest = QDate::currentDate().year() - kTwoDigitYearsBack;
  while (day.isValid() && day.year() < earliest) day = day.addYears(kYearsPerCentury);
  return day;
}

bool isPatternLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::optional<QtDateFormat> qtDateFormat(std::string_view pattern) {
  QtDateFormat result;
  QString& format = result.format;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == kQuote) {
      // Quoted text is literal, and two quotes stand for one, in both syntaxes.
      std::size_t end = i + 1;
      while (true) {
        if (end >= pattern.size()) return std::nullopt;  // unterminated quote
        if (pattern[end] != kQuote) {
          ++end;
        } else if (end + 1 < pattern.size() && pattern[end + 1] == kQuote && end > i + 1) {
          end += 2;
        } else {
          break;
        }
      }
      format += QString::fromUtf8(pattern.data() + i, static_cast<qsizetype>(end + 1 - i));
      i = end + 1;
    } else if (isPatternLetter(c)) {
      std::size_t end = i;
      while (end < pattern.size() && pattern[end] == c) ++end;
      std::optional<QString> field = qtField(c, end - i);
      if (!field) return std::nullopt;
      if (c == 'y' && end - i == 2) result.twoDigitYear = true;
      format += *field;
      i = end;
    } else {
      std::size_t end = i;
      while (end < pattern.size() && pattern[end] != kQuote && !isPatternLetter(pattern[end])) ++end;
      format += QString::fromUtf8(pattern.data() + i, static_cast<qsizetype>(end - i));
      i = end;
    }
  }
  return result;
}

fnd::Ref<fnd::Date> dateFromText(std::string_view text, std::string_view pattern, const QTimeZone& zone,
                                 const QLocale& locale) {
  std::optional<QtDateFormat> format = qtDateFormat(pattern);
  if (!format) return nullptr;
  QDateTime wallClock =
      locale.toDateTime(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), format->format);
  if (!wallClock.isValid()) return nullptr;
  QDate day = wallClock.date();
  if (format->twoDigitYear) day = withinCenturyAroundToday(day);
  QDateTime moment(day, wallClock.time(), zone);
  if (!moment.isValid()) return nullptr;
  return fnd::Date::fromQDateTime(moment);
}

fnd::Ref<fnd::Date> shiftedByDaylightSaving(const fnd::Date& date, const QTimeZone& zone) {
  return date.addingTimeInterval(zone.daylightTimeOffset(date.toQDateTime()));
}

}  // namespace store
