// One QCoreApplication for the whole test program: posted messages need an
// event loop to run on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  char name_[16] = "platform_tests";
  char* argv_[2] = {name_, nullptr};
  int argc_ = 1;
  std::unique_ptr<QCoreApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
