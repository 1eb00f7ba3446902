// Module-wide state of the engine library: its identifiers, the object count shared by every
// object of the library, and the keeper that holds every object until the library unloads.
#pragma once

#include <memory>
#include <string_view>

#include "platform/com.h"

namespace kv::engine {

using com::GUID;
using com::HRESULT;
using com::IID;
using com::ULONG;

// The engine class: the one creatable class of the library, also gEngineID of every mode.
inline constexpr com::CLSID CLSID_KVEngine = {
    0x3FF7410B, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}};
inline constexpr std::string_view kEngineName = "KORVEN TTS Engine";
inline constexpr std::string_view kEngineListKey = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine";

// Outstanding references over all objects of the library plus server locks.
com::InterlockedCounter& ObjectCount();

// Every object of the library counts its references on ObjectCount only: AddRef and Release
// return its value after the change, and nothing is destroyed when it reaches 0.
inline ULONG ModuleAddRef() {
  return static_cast<ULONG>(ObjectCount().Increment());
}
inline ULONG ModuleRelease() {
  return static_cast<ULONG>(ObjectCount().Decrement());
}

// Objects are never destroyed while the library is loaded: the keeper owns them and frees them
// when the library unloads (so that nothing is reported as leaked either).
void KeepObject(std::shared_ptr<void> object);

template <class T, class... Args>
T* MakeKeptObject(Args&&... args) {
  auto object = std::make_shared<T>(std::forward<Args>(args)...);
  T* raw = object.get();
  KeepObject(std::move(object));
  return raw;
}

}  // namespace kv::engine
