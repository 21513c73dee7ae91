#include "tests/integration/list_cycle.h"

#include "numberlist/number_list_format.h"
#include "platform/dispatch/main_thread.h"

namespace rp::test {

ListCycle::ListCycle()
    : m_downloader(numberlist::DataDownloader::initWithDelegate(this)),
      m_parser(numberlist::ContactParser::initWithDelegate(this)) {}

void ListCycle::start(const std::string& url, const std::string& backupUrl) {
  m_stored.reset();
  m_error.reset();
  m_writtenAt = {};
  m_startedAt = Clock::now();
  m_downloader->startDownloadWithUrl(url, backupUrl);
}

void ListCycle::didFinishDownloadData(const fnd::Ref<fnd::Data>& data) {
  m_downloadedAt = Clock::now();
  fnd::Ref<fnd::Array> items = numberlist::itemsFromListBody(*data);
  m_decodedAt = Clock::now();
  m_parser->startParsingContactsInArray(std::move(items));
}

void ListCycle::didFailDownloadWithError(const fnd::Error& error) { m_error = error; }

void ListCycle::didFinishParsingContactsInArray(const numberlist::Contact::List& records) {
  m_storedAt = Clock::now();
  m_stored = records.size();
  // The parser queued the write of the store file before this report; the
  // main queue runs in order, so this block runs once the file is written.
  dispatch::asyncMain([this] { m_writtenAt = Clock::now(); });
}

void ListCycle::didFailParsingWithError(const fnd::Error& error) { m_error = error; }

}  // namespace rp::test
