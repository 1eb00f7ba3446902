// The order the dictionary editor sorts its lines in: Czech, case-insensitive ("ch" after
// "h"). Each face brings the collation of its own system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::dialogs {

class Collation {
 public:
  virtual ~Collation() = default;
  // Negative, zero or positive, as a before, equal to or after b.
  virtual int Compare(std::u16string_view a, std::u16string_view b) const = 0;
};

// The editor's lines (joined with LF) in the collation's order; equal lines keep their order
// and a final line end adds no empty line.
std::u16string SortLines(std::u16string_view text, const Collation& collation);

}  // namespace kv::dialogs
