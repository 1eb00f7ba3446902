#include "engine/mode_info.h"

#include <cstring>

#include "engine/mode_table.h"
#include "engine/module_state.h"

namespace kv::engine {
namespace {

// Copies an 8-bit text into a fixed field whose tail is already zero; the last element stays 0.
template <class Char, size_t N>
void PutText(Char (&field)[N], const char* text) {
  for (size_t i = 0; i + 1 < N && text[i] != '\0'; ++i)
    field[i] = static_cast<Char>(static_cast<unsigned char>(text[i]));
}

template <class Info>
void Build(int32_t mode, Info* info) {
  std::memset(info, 0, sizeof *info);
  if (mode < 1 || mode > kModeCount) mode = 1;
  const ModeEntry& entry = kModeTable[mode - 1];
  info->gEngineID = CLSID_KVEngine;
  PutText(info->szMfgName, kModeCommon.mfgName);
  PutText(info->szProductName, kModeCommon.productName);
  info->gModeID = entry.modeId;
  PutText(info->szModeName, entry.name);
  info->language.LanguageID = kModeCommon.languageId;
  PutText(info->szSpeaker, entry.name);
  PutText(info->szStyle, entry.style);
  info->wGender = entry.gender;
  info->wAge = entry.age;
  info->dwFeatures = kModeCommon.features;
  info->dwInterfaces = kModeCommon.interfaces;
  info->dwEngineFeatures = kModeCommon.engineFeatures;
}

}  // namespace

void BuildModeInfo(int32_t mode, sapi::TTSMODEINFOW* info) {
  Build(mode, info);
}
void BuildModeInfo(int32_t mode, sapi::TTSMODEINFOA* info) {
  Build(mode, info);
}

int32_t ModeNumberOf(const com::GUID& modeId) {
  for (int32_t m = 1; m <= kModeCount; ++m)
    if (kModeTable[m - 1].modeId == modeId) return m;
  return 0;
}

}  // namespace kv::engine
