#include "app/exchange_error_view_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/localizable.h"
#include "app/manage_modal_view.h"
#include "app/screen_parts.h"
#include "platform/foundation/localization.h"
#include "platform/foundation/system_log.h"
#include "platform/uikit/navigation_bar.h"
#include "ui_ExchangeErrorViewController.h"

namespace app {

ExchangeErrorViewController::ExchangeErrorViewController(QWidget* parent) : uikit::ViewController(parent) {
  setObjectName(QStringLiteral("ExchangeErrorViewController"));
}

ExchangeErrorViewController::~ExchangeErrorViewController() = default;

QString ExchangeErrorViewController::helpDocumentPath() {
  // A translation's document sits in a folder named after its language.
  const QFileInfo norwegian(QString::fromLatin1(kHelpDocument));
  const QString translated =
      norwegian.dir().filePath(QString::fromStdString(fnd::languageInUse()) + u'/' + norwegian.fileName());
  return QFileInfo::exists(translated) ? translated : norwegian.filePath();
}

void ExchangeErrorViewController::loadView() {
  m_ui = std::make_unique<Ui::ExchangeErrorViewController>();
  m_ui->setupUi(this);
  m_viewTitle = screen_parts::installNavigationItem(*m_ui->topNavigation, *this, QStringLiteral("viewTitle"));
  screen_parts::addCloseButton(*m_viewTitle, this, &ExchangeErrorViewController::closeViewAction);
}

void ExchangeErrorViewController::viewDidLoad() {
  m_viewTitle->setTitle(Localizable::tr("Import problem"));
  QFile document(helpDocumentPath());
  QString html;
  if (document.open(QIODevice::ReadOnly)) {
    html = QString::fromUtf8(document.readAll());
  } else {
    // Nothing to explain with: the screen stays empty, as a missing page would.
    RP_LOG("the help document could not be read: " + document.fileName().toStdString());
  }
  m_ui->infoWebView->setOpaque(false);
  m_ui->infoWebView->setBackgroundColor(Qt::transparent);
  m_ui->infoWebView->loadHTMLString(html, QUrl());
}

void ExchangeErrorViewController::closeViewAction() {
  if (m_delegate) m_delegate->modalViewControllerDidFinish(*this);
}

}  // namespace app
