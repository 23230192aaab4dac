// Entry point of the logic tests: a QCoreApplication exists for the whole run, so code that
// needs one (child processes, timers, settings) behaves as it does in the programs.
#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
