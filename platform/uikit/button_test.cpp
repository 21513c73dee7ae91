#include "platform/uikit/button.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using State = uikit::Button::ControlState;

TEST(Button, ShowsTheTitleOfItsStateWithTheNormalOneAsFallback) {
  uikit::Button button;
  button.resize(200, 40);
  button.show();
  button.setTitle("Legg til nytt nummer", State::Normal);
  button.setTitle("Legger til", State::Highlighted);
  EXPECT_EQ(button.text(), "Legg til nytt nummer");

  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_EQ(button.text(), "Legger til");
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_EQ(button.text(), "Legg til nytt nummer");

  EXPECT_EQ(button.titleForState(State::Selected), "Legg til nytt nummer") << "no title of its own";
  button.setEnabled(false);
  EXPECT_EQ(button.text(), "Legg til nytt nummer");
  button.setTitle("Ikke tilgjengelig", State::Disabled);
  EXPECT_EQ(button.text(), "Ikke tilgjengelig");
  button.setEnabled(true);
  EXPECT_EQ(button.text(), "Legg til nytt nummer");

  button.setCheckable(true);
  button.setTitle("Valgt", State::Selected);
  button.setChecked(true);
  EXPECT_EQ(button.currentState(), State::Selected);
  EXPECT_EQ(button.text(), "Valgt");
}

TEST(Button, TheTextFromAFormIsTheNormalTitle) {
  uikit::Button button;
  button.setText("Fra skjema");
  button.setTitle("Trykket", State::Highlighted);
  EXPECT_EQ(button.titleForState(State::Normal), "Fra skjema");
  button.show();
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_EQ(button.text(), "Trykket");
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_EQ(button.text(), "Fra skjema");
}

}  // namespace
