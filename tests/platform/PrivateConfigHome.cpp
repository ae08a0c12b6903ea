#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every test of this program runs with a private settings folder, so that none can reach the
// real user's registry or INI files, even one that does not mean to.
class PrivateConfigHome : public ::testing::Environment {
  public:
    void SetUp() override { home_ = std::make_unique<testsupport::ScopedConfigHome>(); }
    void TearDown() override { home_.reset(); }

  private:
    std::unique_ptr<testsupport::ScopedConfigHome> home_;
};

[[maybe_unused]] ::testing::Environment* const Registered =
    ::testing::AddGlobalTestEnvironment(new PrivateConfigHome);

} // namespace
