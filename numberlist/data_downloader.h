#pragma once
// DataDownloader: fetches the number list with one GET of the primary
// address, then one of the backup address if the first attempt failed, and
// hands the body or the last error to its delegate on the main thread. Shows
// the network-activity indicator while an attempt runs. Main thread only; an
// attempt in flight keeps the downloader alive until it has reported.

#include <cstdint>
#include <memory>

#include "numberlist/download_data.h"

namespace numberlist {

class DataDownloader final : public IDownloadData, public std::enable_shared_from_this<DataDownloader> {
 public:
  // A body larger than this is a failed attempt, so an endless answer cannot
  // exhaust memory; real lists are a few megabytes.
  static constexpr std::uint64_t kMaximumListBytes = 64ull * 1024 * 1024;

  // The delegate is not owned and must outlive every download it is told of.
  static std::shared_ptr<DataDownloader> initWithDelegate(IDownloadDataDelegate* delegate);

  void startDownloadWithUrl(const std::string& url, const std::string& backupUrl) override;
  void startDownloadWithUrl(const std::string& url, const std::string& backupUrl, bool useBackup);
  void respondDidFinishDownloadingToDelegate(const fnd::Ref<fnd::Data>& data) override;
  void respondDidFailDownloadingWithErrorToDelegate(const fnd::Error& error) override;
  IDownloadDataDelegate* theDelegate() const override { return m_delegate; }
  void setTheDelegate(IDownloadDataDelegate* delegate) override { m_delegate = delegate; }

 private:
  explicit DataDownloader(IDownloadDataDelegate* delegate) : m_delegate(delegate) {}
  IDownloadDataDelegate* m_delegate;
};

}  // namespace numberlist
