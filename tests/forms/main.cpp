// The forms need an application object before any test builds one. They run offscreen, and
// in the C locale: nothing may depend on a Czech system locale being installed.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("LC_ALL", "C", 1);
  ::setenv("LANG", "C", 1);
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
