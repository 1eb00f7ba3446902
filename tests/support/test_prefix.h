// A fresh temporary prefix for every test program: the registry and the Windows folder of
// the tests never touch the user's own.
#pragma once

#include <filesystem>

namespace kv::test {

// The prefix of this test program (created before main runs).
std::filesystem::path Prefix();
// Deletes the registry database and the Windows folder, for a test that needs an empty machine.
void ResetPrefix();

}  // namespace kv::test
