#include "numberlist/data_downloader.h"

#include "platform/dispatch/main_thread.h"
#include "platform/net/network_activity_indicator.h"
#include "platform/net/url_error.h"
#include "platform/net/url_loader.h"

namespace numberlist {

std::shared_ptr<DataDownloader> DataDownloader::initWithDelegate(IDownloadDataDelegate* delegate) {
  return std::shared_ptr<DataDownloader>(new DataDownloader(delegate));
}

void DataDownloader::startDownloadWithUrl(const std::string& url, const std::string& backupUrl) {
  startDownloadWithUrl(url, backupUrl, false);
}

void DataDownloader::startDownloadWithUrl(const std::string& url, const std::string& backupUrl, bool useBackup) {
  net::NetworkActivityIndicator::setVisible(true);
  net::UrlRequest request{useBackup ? backupUrl : url};
  request.maximumBodyBytes = kMaximumListBytes;
  net::sendAsynchronousRequest(std::move(request),
                               [self = shared_from_this(), url, backupUrl, useBackup](
                                   const std::optional<net::UrlResponse>& response, const fnd::Ref<fnd::Data>& body,
                                   const std::optional<fnd::Error>& transportError) {
                                 // An error page is no list: a status outside 2xx fails the attempt
                                 // like a network error, so the backup is tried and the stored list kept.
                                 std::optional<fnd::Error> error = transportError;
                                 if (!error && !response->succeeded())
                                   error = net::httpStatusError(response->statusCode, response->url);
                                 if (!error) {
                                   self->respondDidFinishDownloadingToDelegate(body);
                                   net::NetworkActivityIndicator::setVisible(false);
                                   return;
                                 }
                                 net::NetworkActivityIndicator::setVisible(false);
                                 if (useBackup) {
                                   self->respondDidFailDownloadingWithErrorToDelegate(*error);
                                 } else {
                                   self->startDownloadWithUrl(url, backupUrl, true);
                                 }
                               });
}

void DataDownloader::respondDidFinishDownloadingToDelegate(const fnd::Ref<fnd::Data>& data) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFinishDownloadData(data); }, true);
}

void DataDownloader::respondDidFailDownloadingWithErrorToDelegate(const fnd::Error& error) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFailDownloadWithError(error); }, true);
}

}  // namespace numberlist
