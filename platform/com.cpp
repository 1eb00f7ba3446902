#include "platform/com.h"

#include <cstdio>
#include <exception>

#include "platform/cp1250.h"
#include "platform/registry.h"

namespace kv::com {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[pos].
std::optional<uint32_t> ReadHex(std::string_view text, size_t pos, int digits) {
  uint32_t value = 0;
  for (int i = 0; i < digits; ++i) {
    const int d = HexDigit(text[pos + i]);
    if (d < 0) return std::nullopt;
    value = value << 4 | uint32_t(d);
  }
  return value;
}

}  // namespace

std::string GuidToString(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

std::optional<GUID> GuidFromString(std::string_view t) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (t.size() != 38 || t.front() != '{' || t.back() != '}' || t[9] != '-' || t[14] != '-' ||
      t[19] != '-' || t[24] != '-')
    return std::nullopt;
  GUID g{};
  const auto d1 = ReadHex(t, 1, 8), d2 = ReadHex(t, 10, 4), d3 = ReadHex(t, 15, 4);
  if (!d1 || !d2 || !d3) return std::nullopt;
  g.Data1 = *d1;
  g.Data2 = uint16_t(*d2);
  g.Data3 = uint16_t(*d3);
  static constexpr size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    const auto b = ReadHex(t, kBytePos[i], 2);
    if (!b) return std::nullopt;
    g.Data4[i] = uint8_t(*b);
  }
  return g;
}

std::string ResultToString(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<uint32_t>(hr));
  return buf;
}

bool InterlockedCounter::DecrementIfPositive() {
  int32_t current = value_.load(std::memory_order_acquire);
  while (current > 0)
    if (value_.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel)) return true;
  return false;
}

std::optional<std::filesystem::path> RegisteredServerPath(const CLSID& clsid) {
  try {
    platform::Registry reg(platform::HKEY_CLASSES_ROOT);
    if (!reg.OpenKey("\\CLSID\\" + GuidToString(clsid) + "\\InprocServer32", false))
      return std::nullopt;
    const std::string value = reg.ReadString("");
    if (value.empty()) return std::nullopt;
    return std::filesystem::path(cp1250::ToUtf8(value));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace kv::com
