// Parsing the resource blob that the resource compiler packs (layout in tools/rescomp).
#include <cstring>

#include "platform/cp1250.h"
#include "platform/module.h"

namespace kv::platform {
namespace {

constexpr std::string_view kMagic = "KVRSRC01";

uint32_t GetU32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint32_t GetU16(const uint8_t* p) {
  return p[0] | p[1] << 8;
}

}  // namespace

ResourceTable::ResourceTable(std::span<const uint8_t> blob) {
  if (blob.size() < 12 || std::memcmp(blob.data(), kMagic.data(), kMagic.size()) != 0) return;
  const uint32_t count = GetU32(blob.data() + 8);
  size_t pos = 12;
  auto need = [&](size_t n) { return pos + n <= blob.size(); };
  std::vector<Entry> entries;
  for (uint32_t i = 0; i < count; ++i) {
    Entry e;
    for (std::string* field : {&e.type, &e.name}) {
      if (!need(2)) return;
      const uint32_t len = GetU16(blob.data() + pos);
      pos += 2;
      if (!need(len)) return;
      field->assign(reinterpret_cast<const char*>(blob.data() + pos), len);
      pos += len;
    }
    if (!need(8)) return;
    const uint32_t offset = GetU32(blob.data() + pos), size = GetU32(blob.data() + pos + 4);
    pos += 8;
    if (offset > blob.size() || size > blob.size() - offset) return;
    e.data = blob.subspan(offset, size);
    entries.push_back(std::move(e));
  }
  entries_ = std::move(entries);
  valid_ = true;
}

std::optional<std::span<const uint8_t>> ResourceTable::Find(std::string_view type,
                                                            std::string_view name) const {
  for (const Entry& e : entries_)
    if (cp1250::SameText(e.type, type) && cp1250::SameText(e.name, name)) return e.data;
  return std::nullopt;
}

}  // namespace kv::platform
