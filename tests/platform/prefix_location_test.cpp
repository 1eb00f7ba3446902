// Where the prefix lies without KVTTS_PREFIX: never in a shared folder such as /tmp.
#include "platform/prefix_location.h"

#include <gtest/gtest.h>

namespace kv::platform {
namespace {

TEST(PrefixLocation, FollowsThePrefixTheDataHomeTheHomeAndTheAccountInThatOrder) {
  EXPECT_EQ(ChoosePrefix({"/p", "/data", "/home/u", "/acct"}), "/p");
  EXPECT_EQ(ChoosePrefix({"", "/data", "/home/u", "/acct"}), "/data/kvtts");
  EXPECT_EQ(ChoosePrefix({"", "", "/home/u", "/acct"}), "/home/u/.local/share/kvtts");
  // A relative data home does not count; without HOME the account's home does.
  EXPECT_EQ(ChoosePrefix({"", "data", "", "/acct"}), "/acct/.local/share/kvtts");
}

TEST(PrefixLocation, WithoutAnyHomeFailsClearlyInsteadOfUsingTmp) {
  try {
    ChoosePrefix({"", "", "", ""});
    FAIL() << "a prefix was chosen without any home";
  } catch (const PrefixError& e) {
    EXPECT_NE(std::string(e.what()).find("KVTTS_PREFIX"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ChoosePrefix({"", "", "relative", ""}), PrefixError);
}

}  // namespace
}  // namespace kv::platform
