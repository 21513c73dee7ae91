#pragma once
// The application's texts: Localizable::tr("Norwegian text") is the text in
// the user's language, or the Norwegian text itself when there is no
// translation. The context is the default string table, so the translation
// tools find every text under one name.

#include <QCoreApplication>
#include <QString>
#include <initializer_list>

// Outside namespace app: the translation tools name a context after the
// class's full name, and every text is filed under plain Localizable.
class Localizable {
  Q_DECLARE_TR_FUNCTIONS(Localizable)
};

namespace app {

// Fills the placeholders of a text ("%d" for a number, "%@" for a text), in
// order, with `values`. Unlike printf it cannot be misled by a translation
// whose placeholders differ: a missing value leaves its placeholder, a spare
// value is dropped.
QString fillFormat(const QString& format, std::initializer_list<QString> values);

}  // namespace app
