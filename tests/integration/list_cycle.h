#pragma once
// ListCycle: the refresh the main screen runs, for tests and benchmarks: it
// downloads the list, decodes the body into items and hands them to the
// parser, recording each report and when it arrived, up to the write of the
// store file that the parser queues behind its report.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "numberlist/contact_parser.h"
#include "numberlist/data_downloader.h"

namespace rp::test {

class ListCycle : public numberlist::IDownloadDataDelegate, public numberlist::IParseContactsDelegate {
 public:
  using Clock = std::chrono::steady_clock;

  ListCycle();
  // Starts one refresh; run the event loop until finished().
  void start(const std::string& url, const std::string& backupUrl);
  // Finished: the list is in the store file, or the cycle failed.
  bool finished() const { return m_writtenAt != Clock::time_point{} || m_error; }

  // The number of records stored, or the error that ended the cycle.
  std::optional<std::size_t> stored() const { return m_stored; }
  const std::optional<fnd::Error>& error() const { return m_error; }
  Clock::time_point startedAt() const { return m_startedAt; }
  Clock::time_point downloadedAt() const { return m_downloadedAt; }
  Clock::time_point decodedAt() const { return m_decodedAt; }
  Clock::time_point storedAt() const { return m_storedAt; }
  Clock::time_point writtenAt() const { return m_writtenAt; }

  void didFinishDownloadData(const fnd::Ref<fnd::Data>& data) override;
  void didFailDownloadWithError(const fnd::Error& error) override;
  void didFinishParsingContactsInArray(const numberlist::Contact::List& records) override;
  void didFailParsingWithError(const fnd::Error& error) override;

 private:
  std::shared_ptr<numberlist::DataDownloader> m_downloader;
  std::shared_ptr<numberlist::ContactParser> m_parser;
  std::optional<std::size_t> m_stored;
  std::optional<fnd::Error> m_error;
  Clock::time_point m_startedAt, m_downloadedAt, m_decodedAt, m_storedAt, m_writtenAt;
};

}  // namespace rp::test
