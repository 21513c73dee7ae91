#pragma once
// The list downloader's protocols: IDownloadData is how its owner drives it,
// IDownloadDataDelegate how it reports. Reports arrive on the main thread.

#include <string>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"

namespace numberlist {

class IDownloadDataDelegate {
 public:
  virtual ~IDownloadDataDelegate() = default;
  // The body of the first attempt that succeeded.
  virtual void didFinishDownloadData(const fnd::Ref<fnd::Data>& data) = 0;
  // The error of the last attempt when both failed.
  virtual void didFailDownloadWithError(const fnd::Error& error) = 0;
};

class IDownloadData {
 public:
  virtual ~IDownloadData() = default;
  // Fetches `url`, and `backupUrl` when that fails; returns at once and
  // reports exactly once.
  virtual void startDownloadWithUrl(const std::string& url, const std::string& backupUrl) = 0;
  virtual void respondDidFinishDownloadingToDelegate(const fnd::Ref<fnd::Data>& data) = 0;
  virtual void respondDidFailDownloadingWithErrorToDelegate(const fnd::Error& error) = 0;
  virtual IDownloadDataDelegate* theDelegate() const = 0;
  virtual void setTheDelegate(IDownloadDataDelegate* delegate) = 0;
};

}  // namespace numberlist
