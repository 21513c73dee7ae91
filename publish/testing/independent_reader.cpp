#include "publish/testing/independent_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace publish::test {

namespace {

constexpr int kReaderTimeoutMs = 60'000;

}  // namespace

bool independentReaderAvailable() {
  return QProcess::execute(QString::fromLatin1(kSystemPython),
                           {QStringLiteral("-c"), QStringLiteral("import vobject")}) == 0;
}

std::optional<std::vector<ReadCard>> readCardsIndependently(const QString& fileOrUrl, const QString& user,
                                                            QString& error) {
  QProcess reader;
  reader.start(QString::fromLatin1(kSystemPython), {QStringLiteral(RP_READ_VCARDS_SCRIPT), fileOrUrl, user});
  if (!reader.waitForFinished(kReaderTimeoutMs) || reader.exitCode() != 0) {
    error = QString::fromUtf8(reader.readAllStandardError());
    return std::nullopt;
  }
  const QJsonDocument document = QJsonDocument::fromJson(reader.readAllStandardOutput());
  std::vector<ReadCard> cards;
  for (const QJsonValue& value : document.array()) {
    const QJsonObject object = value.toObject();
    ReadCard card{object["fn"].toString(), object["uid"].toString(), object["photoBytes"].toInt(), {}};
    for (const QJsonValue& number : object["numbers"].toArray())
      card.numbers.emplace_back(number.toArray()[0].toString(), number.toArray()[1].toString());
    cards.push_back(std::move(card));
  }
  return cards;
}

}  // namespace publish::test
