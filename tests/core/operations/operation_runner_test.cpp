#include "core/operations/operation_runner.h"

#include <gtest/gtest.h>

#include <future>

namespace quillet {
namespace {

TEST(OperationRunnerTest, OneOperationAtATimeAndTheFlagCoversItsWholeRun) {
  OperationRunner runner;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool second_ran = false;
  ASSERT_TRUE(runner.Start([released] { released.wait(); }));
  EXPECT_TRUE(runner.running());
  EXPECT_FALSE(runner.Start([&] { second_ran = true; }));
  release.set_value();
  runner.Join();
  EXPECT_FALSE(runner.running());
  EXPECT_FALSE(second_ran);
  ASSERT_TRUE(runner.Start([&] { second_ran = true; }));
  runner.Join();
  EXPECT_TRUE(second_ran);
  EXPECT_FALSE(runner.running());
}

}  // namespace
}  // namespace quillet
