#include "platform/foundation/string_matching.h"

#include <QList>
#include <QString>
#include <utility>

namespace fnd {

namespace {

bool isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Latin letters with a stroke or bar carry no separable mark: their base
// letters are listed here.
constexpr std::pair<char16_t, char16_t> kStrokeLetters[] = {
    {u'\u00D8', u'O'}, {u'\u00F8', u'o'}, {u'\u0110', u'D'}, {u'\u0111', u'd'}, {u'\u0126', u'H'}, {u'\u0127', u'h'},
    {u'\u0141', u'L'}, {u'\u0142', u'l'}, {u'\u0166', u'T'}, {u'\u0167', u't'}, {u'\u0180', u'b'}, {u'\u0197', u'I'},
    {u'\u019A', u'l'}, {u'\u01B5', u'Z'}, {u'\u01B6', u'z'}, {u'\u01E4', u'G'}, {u'\u01E5', u'g'}, {u'\u023A', u'A'},
    {u'\u023B', u'C'}, {u'\u023C', u'c'}, {u'\u023D', u'L'}, {u'\u0243', u'B'}, {u'\u0246', u'E'}, {u'\u0247', u'e'},
    {u'\u0248', u'J'}, {u'\u0249', u'j'}, {u'\u024C', u'R'}, {u'\u024D', u'r'}, {u'\u024E', u'Y'}, {u'\u024F', u'y'},
    {u'\u0268', u'i'}, {u'\u1D7D', u'p'}, {u'\u2C63', u'P'}, {u'\u2C65', u'a'}, {u'\uA740', u'K'}, {u'\uA741', u'k'},
    {u'\uA750', u'P'}, {u'\uA751', u'p'}, {u'\uA756', u'Q'}, {u'\uA757', u'q'},
};

QChar withoutStroke(QChar c) {
  for (const auto& [letter, base] : kStrokeLetters) {
    if (c.unicode() == letter) return QChar(base);
  }
  return c;
}

std::u32string toUtf32(const QString& text) {
  QList<uint> units = text.toUcs4();
  return std::u32string(units.begin(), units.end());
}

}  // namespace

std::u32string foldText(std::string_view utf8, StringOptions options) {
  std::u32string folded;
  foldTextInto(folded, utf8, options);
  return folded;
}

void foldTextInto(std::u32string& folded, std::string_view utf8, StringOptions options) {
  if (isAscii(utf8)) {
    // Plain ASCII has no marks to strip; phone numbers take this path.
    folded.resize(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      char c = utf8[i];
      if (options.caseInsensitive) c = lowerAscii(c);
      folded[i] = static_cast<char32_t>(c);
    }
    return;
  }
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  if (options.diacriticInsensitive) {
    QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (QChar c : decomposed) {
      if (!c.isMark()) stripped.append(withoutStroke(c));
    }
    text = stripped.normalized(QString::NormalizationForm_C);
  }
  if (options.caseInsensitive) text = text.toCaseFolded();
  folded = toUtf32(text);
}

std::string searchKey(std::string_view utf8) {
  if (isAscii(utf8)) {
    // Every stored phone number takes this path when the list is written.
    std::string key(utf8);
    for (char& c : key) c = lowerAscii(c);
    return key;
  }
  std::u32string folded = foldText(utf8, {true, true});
  return QString::fromUcs4(folded.data(), static_cast<qsizetype>(folded.size())).toStdString();
}

bool likeMatch(std::u32string_view pattern, std::u32string_view text) {
  // Greedy match with one backtrack point: the most recent "*" absorbs one more
  // character whenever the rest fails, which is enough for "*" and "?".
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starPattern = std::u32string_view::npos;
  std::size_t starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == U'*') {
      starPattern = p++;
      starText = t;
    } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (starPattern != std::u32string_view::npos) {
      p = starPattern + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

bool matchString(StringOperator op, std::string_view text, std::string_view operand, StringOptions options) {
  return matchFoldedText(op, foldText(text, options), foldText(operand, options));
}

bool matchFoldedText(StringOperator op, std::u32string_view folded, std::u32string_view foldedOperand) {
  switch (op) {
    case StringOperator::Equal:
      return folded == foldedOperand;
    case StringOperator::Like:
      return likeMatch(foldedOperand, folded);
    case StringOperator::Contains:
      return folded.find(foldedOperand) != std::u32string_view::npos;
    case StringOperator::BeginsWith:
      return folded.starts_with(foldedOperand);
    case StringOperator::EndsWith:
      return folded.ends_with(foldedOperand);
  }
  return false;
}

int compareStrings(std::string_view a, std::string_view b, StringOptions options) {
  if (options.bits() == 0) {
    // UTF-8 byte order is code point order.
    int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }
  int order = foldText(a, options).compare(foldText(b, options));
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::string_view likeLiteralPrefix(std::string_view pattern) {
  std::size_t end = pattern.find_first_of("*?");
  return end == std::string_view::npos ? pattern : pattern.substr(0, end);
}

}  // namespace fnd
