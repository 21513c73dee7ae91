// The cycle's reports as the terminal and a log see them.
#include "app/cli/terminal_hud.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTextStream>

namespace {

using namespace std::chrono_literals;

class TerminalHudTest : public ::testing::Test {
 protected:
  TerminalHud& hud(bool terminal) {
    m_hud = std::make_unique<TerminalHud>(m_stream, terminal, [this] { return m_now; });
    return *m_hud;
  }
  // One import of `total` numbers reported as the cycle reports it.
  void reportImport(TerminalHud& hud, int total, std::chrono::milliseconds apart = 0ms) {
    for (int done = 1; done <= total; ++done) {
      hud.setActivity(false);
      hud.setProgress(static_cast<double>(done) / total);
      hud.setCaption(QString("Importerer %1 av %2 nummer").arg(done).arg(total));
      hud.update();
      m_now += apart;
    }
  }
  QStringList lines() const { return m_output.split('\n', Qt::SkipEmptyParts); }

  QString m_output;
  QTextStream m_stream{&m_output};
  std::chrono::steady_clock::time_point m_now;
  std::unique_ptr<TerminalHud> m_hud;
};

TEST_F(TerminalHudTest, EachShownCaptionIsOneLineAndAnUnchangedOneIsNotRepeated) {
  TerminalHud& log = hud(false);
  log.setBlockTouches(true);  // a log gets no line redrawn in place, busy or not
  log.setCaption("Oppdaterer telefonnummerlisten");
  log.show();
  log.update();  // the same message again
  log.setCaption("Telefonnummerlisten er oppdatert");
  log.hideAfter(7.0);
  log.update();
  log.setCaption("Oppdaterer telefonnummerlisten");
  log.show();  // a fresh showing of the first caption
  EXPECT_EQ(lines(), (QStringList{"Oppdaterer telefonnummerlisten", "Telefonnummerlisten er oppdatert",
                                  "Oppdaterer telefonnummerlisten"}));
}

TEST_F(TerminalHudTest, ALogGetsAProgressLineAtEveryTenthAndAtTheEndNotPerNumber) {
  TerminalHud& log = hud(false);
  reportImport(log, 1000);
  const QStringList printed = lines();
  EXPECT_EQ(printed.size(), 11) << m_output.toStdString();  // 0.1 %, then each tenth up to the last number
  EXPECT_EQ(printed.first(), "Importerer 1 av 1000 nummer");
  EXPECT_EQ(printed.last(), "Importerer 1000 av 1000 nummer");
  EXPECT_FALSE(m_output.contains('\r'));
}

TEST_F(TerminalHudTest, ASlowImportShowsALineEverySecondBetweenTenths) {
  TerminalHud& log = hud(false);
  log.setProgress(0.01);
  log.setCaption("Importerer 1 av 100 nummer");
  log.update();
  for (int second = 1; second <= 3; ++second) {
    m_now += 1s;
    log.setProgress(0.01 + second * 0.01);
    log.setCaption(QString("Importerer %1 av 100 nummer").arg(1 + second));
    log.update();
  }
  m_now += 200ms;
  log.setProgress(0.05);
  log.setCaption("Importerer 5 av 100 nummer");
  log.update();  // too soon after the last line, and no new tenth
  EXPECT_EQ(lines(), (QStringList{"Importerer 1 av 100 nummer", "Importerer 2 av 100 nummer",
                                  "Importerer 3 av 100 nummer", "Importerer 4 av 100 nummer"}));
}

TEST_F(TerminalHudTest, ATerminalRedrawsOneBarInPlaceAndEndsItBeforeTheNextCaption) {
  TerminalHud& terminal = hud(true);
  reportImport(terminal, 4, 100ms);
  terminal.setActivity(true);
  terminal.setProgress(0);
  terminal.setCaption("Ringeplagvernkontakten blir lagret, dette kan ta litt tid...");
  terminal.update();
  EXPECT_EQ(m_output.count('\r'), 4);
  EXPECT_TRUE(m_output.contains("[###############...............]  50 %  Importerer 2 av 4 nummer"))
      << m_output.toStdString();
  EXPECT_TRUE(
      m_output.endsWith("100 %  Importerer 4 av 4 nummer\n"
                        "Ringeplagvernkontakten blir lagret, dette kan ta litt tid...\n"))
      << m_output.toStdString();
}

TEST_F(TerminalHudTest, ATerminalBarIsRedrawnAtMostEvery50MillisecondsAndAtTheEnd) {
  TerminalHud& terminal = hud(true);
  reportImport(terminal, 100, 10ms);
  EXPECT_EQ(m_output.count('\r'), 21) << m_output.toStdString();
  EXPECT_TRUE(m_output.endsWith("100 %  Importerer 100 av 100 nummer"));
}

TEST_F(TerminalHudTest, OnATerminalTheCaptionOfRunningWorkCountsItsSecondsInPlace) {
  TerminalHud& terminal = hud(true);
  terminal.setBlockTouches(true);
  terminal.setCaption("Oppdaterer telefonnummerlisten");
  terminal.show();
  m_now += 3s;
  terminal.tick();
  terminal.setBlockTouches(true);
  terminal.setCaption("Starter importering av ringeplagvernkontakten");
  terminal.update();
  reportImport(terminal, 1);
  terminal.setBlockTouches(false);
  terminal.hideAfter(7.0);
  terminal.setCaption("Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!");
  terminal.update();
  EXPECT_EQ(m_output.toStdString(),
            "\r\x1b[KOppdaterer telefonnummerlisten\r\x1b[KOppdaterer telefonnummerlisten  3 s\n"
            "\r\x1b[KStarter importering av ringeplagvernkontakten\n"
            "\r\x1b[K[##############################] 100 %  Importerer 1 av 1 nummer\n"
            "Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!\n");
}

TEST_F(TerminalHudTest, AnotherImportStartsItsTenthsAgain) {
  TerminalHud& log = hud(false);
  reportImport(log, 10);
  log.hide();
  reportImport(log, 10);
  EXPECT_EQ(lines().size(), 20);
  EXPECT_EQ(lines().at(10), "Importerer 1 av 10 nummer");
}

TEST_F(TerminalHudTest, TheObserverHearsEveryShowingAndHiding) {
  TerminalHud& log = hud(false);
  int reports = 0;
  log.setReportObserver([&reports] { ++reports; });
  log.setCaption("Fjerner ringeplagvernkontakten fra din adressebok");
  log.show();
  log.update();
  log.hideAfter(7.0);
  log.hide();
  EXPECT_EQ(reports, 4);
}

}  // namespace
