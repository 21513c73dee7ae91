// Test entry: every test process gets its own user locations and an
// application object, so main-thread hand-overs and Qt services work and no
// test touches the user's own settings or data.
#include <gtest/gtest.h>

#include "platform/dispatch/process_heap.h"
#include "tests/support/temporary_home.h"

#ifdef RP_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  dispatch::shareOneHeapAcrossThreads();
  rp::test::TemporaryHome home;
  TestApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
