#include "app/cli/command_session.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/constants.h"
#include "app/localizable.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "store/record_store.h"

CommandSession::OpenRecordStore::OpenRecordStore() {
  numberlist::Contact::registerModel();  // the stack's model is the number record's
  store::RecordStore::setupAutoMigratingCoreDataStack();
}

CommandSession::OpenRecordStore::~OpenRecordStore() {
  // A list that reached the default context moments ago may still wait for
  // its queued save, which no event loop will run once the command is done.
  store::StoreSaving::save(store::StoreContext::defaultContext());
  store::RecordStore::cleanUp();
}

CommandSession::CommandSession(QTextStream& out, bool terminal)
    : m_hud(out, terminal), m_switchOn(defaults::UserDefaults::standard().boolForKey(app::AutoImportEnabledKey)) {
  m_hud.setReportObserver([this] { noteReport(); });
}

CommandSession::~CommandSession() = default;

bool CommandSession::runCycle(const std::function<bool()>& start) {
  if (!start()) return false;
  if (!waitUntil([this] { return !m_cycle.isBusy(); })) return false;
  // The program ends after the cycle: the contact it saved or removed must
  // reach the configured places first.
  m_cycle.waitForPublishing();
  return true;
}

bool CommandSession::waitUntil(const std::function<bool()>& done) {
  if (done()) return true;
  QEventLoop loop;
  // Checked once the report that may have ended the work has returned, so
  // that its last steps (a stored date, a saved setting) are done too.
  m_check = [&loop, &done] {
    QMetaObject::invokeMethod(
        &loop,
        [&loop, &done] {
          if (done()) loop.quit();
        },
        Qt::QueuedConnection);
  };
  // A termination signal quits the application, which ends every running loop.
  loop.exec();
  m_check = nullptr;
  if (!done()) m_interrupted = true;
  return !m_interrupted;
}

void CommandSession::noteReport() {
  if (m_check) m_check();
}

void CommandSession::showNotPossibleToImportContactsError() {
  m_importErrorShown = true;
  m_hud.printLine(Localizable::tr(
      "Ringeplagvernkontakten kan ikke lagres i adresseboken din. Adresseboken må ha en lokal kilde (ikke bare en "
      "Exchange-konto), og Ringeplagvern må ha tilgang til den."));
  noteReport();
}
