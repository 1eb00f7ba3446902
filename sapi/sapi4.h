// Our declarations of the SAPI 4 text-to-speech records, constants, identifiers and interfaces
// that the engine implements or calls. Both character forms: W records and interfaces carry
// 16-bit text (char16_t, never wchar_t, which is 4 bytes here), A forms 8-bit text.
//
// Records keep SAPI 4's natural alignment; the static assertions pin their sizes and offsets.
// Parameters that SAPI 4 passes by value (GUID, IID, SDATA, QWORD) stay by value.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com.h"

namespace kv::sapi {

using com::BOOL;
using com::DWORD;
using com::GUID;
using com::HRESULT;
using com::IID;
using com::IUnknown;
using com::ULONG;
using com::WORD;
using WCHAR = char16_t;
using CHAR = char;
using BYTE = uint8_t;
using LANGID = WORD;
using QWORD = uint64_t;
using HWND = void*;

inline constexpr size_t SVFN_LEN = 262;
inline constexpr size_t TTSI_NAMELEN = SVFN_LEN;
inline constexpr size_t TTSI_STYLELEN = SVFN_LEN;
inline constexpr size_t LANG_LEN = 64;

enum VOICECHARSET : int32_t {
  CHARSET_TEXT = 0,
  CHARSET_IPAPHONETIC = 1,
  CHARSET_ENGINEPHONETIC = 2,
};
static_assert(sizeof(VOICECHARSET) == 4);

struct SDATA {
  void* pData;
  DWORD dwSize;  // bytes
};

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct LANGUAGEW {
  LANGID LanguageID;
  WCHAR szDialect[LANG_LEN];
};
struct LANGUAGEA {
  LANGID LanguageID;
  CHAR szDialect[LANG_LEN];
};
static_assert(sizeof(LANGUAGEW) == 130 && sizeof(LANGUAGEA) == 66);

struct TTSMOUTH {
  BYTE bMouthHeight;
  BYTE bMouthWidth;
  BYTE bMouthUpturn;
  BYTE bJawOpen;
  BYTE bTeethUpperVisible;
  BYTE bTeethLowerVisible;
  BYTE bTonguePosn;
  BYTE bLipTension;
};
static_assert(sizeof(TTSMOUTH) == 8);

struct TTSMODEINFOW {
  GUID gEngineID;
  WCHAR szMfgName[TTSI_NAMELEN];
  WCHAR szProductName[TTSI_NAMELEN];
  GUID gModeID;
  WCHAR szModeName[TTSI_NAMELEN];
  LANGUAGEW language;
  WCHAR szSpeaker[TTSI_NAMELEN];
  WCHAR szStyle[TTSI_STYLELEN];
  WORD wGender;
  WORD wAge;
  DWORD dwFeatures;
  DWORD dwInterfaces;
  DWORD dwEngineFeatures;
};
static_assert(sizeof(TTSMODEINFOW) == 2800);
static_assert(offsetof(TTSMODEINFOW, szMfgName) == 16);
static_assert(offsetof(TTSMODEINFOW, szProductName) == 540);
static_assert(offsetof(TTSMODEINFOW, gModeID) == 1064);
static_assert(offsetof(TTSMODEINFOW, szModeName) == 1080);
static_assert(offsetof(TTSMODEINFOW, language) == 1604);
static_assert(offsetof(TTSMODEINFOW, szSpeaker) == 1734);
static_assert(offsetof(TTSMODEINFOW, szStyle) == 2258);
static_assert(offsetof(TTSMODEINFOW, wGender) == 2782);
static_assert(offsetof(TTSMODEINFOW, wAge) == 2784);
static_assert(offsetof(TTSMODEINFOW, dwFeatures) == 2788);
static_assert(offsetof(TTSMODEINFOW, dwInterfaces) == 2792);
static_assert(offsetof(TTSMODEINFOW, dwEngineFeatures) == 2796);

struct TTSMODEINFOA {
  GUID gEngineID;
  CHAR szMfgName[TTSI_NAMELEN];
  CHAR szProductName[TTSI_NAMELEN];
  GUID gModeID;
  CHAR szModeName[TTSI_NAMELEN];
  LANGUAGEA language;
  CHAR szSpeaker[TTSI_NAMELEN];
  CHAR szStyle[TTSI_STYLELEN];
  WORD wGender;
  WORD wAge;
  DWORD dwFeatures;
  DWORD dwInterfaces;
  DWORD dwEngineFeatures;
};
static_assert(sizeof(TTSMODEINFOA) == 1424);
static_assert(offsetof(TTSMODEINFOA, szMfgName) == 16);
static_assert(offsetof(TTSMODEINFOA, szProductName) == 278);
static_assert(offsetof(TTSMODEINFOA, gModeID) == 540);
static_assert(offsetof(TTSMODEINFOA, szModeName) == 556);
static_assert(offsetof(TTSMODEINFOA, language) == 818);
static_assert(offsetof(TTSMODEINFOA, szSpeaker) == 884);
static_assert(offsetof(TTSMODEINFOA, szStyle) == 1146);
static_assert(offsetof(TTSMODEINFOA, wGender) == 1408);
static_assert(offsetof(TTSMODEINFOA, wAge) == 1410);
static_assert(offsetof(TTSMODEINFOA, dwFeatures) == 1412);
static_assert(offsetof(TTSMODEINFOA, dwInterfaces) == 1416);
static_assert(offsetof(TTSMODEINFOA, dwEngineFeatures) == 1420);

struct TTSMODEINFORANK {
  DWORD dwEngineID;
  DWORD dwMfgName;
  DWORD dwProductName;
  DWORD dwModeID;
  DWORD dwModeName;
  DWORD dwLanguage;
  DWORD dwDialect;
  DWORD dwSpeaker;
  DWORD dwStyle;
  DWORD dwGender;
  DWORD dwAge;
  DWORD dwFeatures;
  DWORD dwInterfaces;
  DWORD dwEngineFeatures;
};
static_assert(sizeof(TTSMODEINFORANK) == 56);
static_assert(offsetof(TTSMODEINFORANK, dwGender) == 36);

#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);
inline constexpr WORD WAVE_FORMAT_PCM = 1;

// Mode record values.
inline constexpr WORD GENDER_NEUTRAL = 0;
inline constexpr WORD GENDER_FEMALE = 1;
inline constexpr WORD GENDER_MALE = 2;
inline constexpr WORD TTSAGE_BABY = 1;
inline constexpr WORD TTSAGE_TODDLER = 3;
inline constexpr WORD TTSAGE_CHILD = 6;
inline constexpr WORD TTSAGE_ADOLESCENT = 14;
inline constexpr WORD TTSAGE_ADULT = 30;
inline constexpr WORD TTSAGE_ELDERLY = 70;

constexpr DWORD SETBIT(int bit) {
  return DWORD(1) << bit;
}
inline constexpr DWORD TTSFEATURE_ANYWORD = SETBIT(0);
inline constexpr DWORD TTSFEATURE_VOLUME = SETBIT(1);
inline constexpr DWORD TTSFEATURE_SPEED = SETBIT(2);
inline constexpr DWORD TTSFEATURE_PITCH = SETBIT(3);
inline constexpr DWORD TTSFEATURE_TAGGED = SETBIT(4);
inline constexpr DWORD TTSFEATURE_IPAUNICODE = SETBIT(5);
inline constexpr DWORD TTSFEATURE_VISUAL = SETBIT(6);
inline constexpr DWORD TTSFEATURE_WORDPOSITION = SETBIT(7);
inline constexpr DWORD TTSFEATURE_PCOPTIMIZED = SETBIT(8);
inline constexpr DWORD TTSFEATURE_PHONEOPTIMIZED = SETBIT(9);
inline constexpr DWORD TTSFEATURE_FIXEDAUDIO = SETBIT(10);
inline constexpr DWORD TTSFEATURE_SINGLEINSTANCE = SETBIT(11);
inline constexpr DWORD TTSFEATURE_THREADSAFE = SETBIT(12);
inline constexpr DWORD TTSFEATURE_IPATEXTDATA = SETBIT(13);
inline constexpr DWORD TTSFEATURE_PREFERRED = SETBIT(14);
inline constexpr DWORD TTSFEATURE_TRANSPLANTED = SETBIT(15);
inline constexpr DWORD TTSFEATURE_SAPI4 = SETBIT(16);

inline constexpr DWORD TTSI_ILEXPRONOUNCE = SETBIT(0);
inline constexpr DWORD TTSI_ITTSATTRIBUTES = SETBIT(1);
inline constexpr DWORD TTSI_ITTSCENTRAL = SETBIT(2);
inline constexpr DWORD TTSI_ITTSDIALOGS = SETBIT(3);

inline constexpr DWORD TTSDATAFLAG_TAGGED = SETBIT(0);
inline constexpr DWORD TTSBNS_ABORTED = SETBIT(0);
inline constexpr WORD IANSRSN_NODATA = 0;
inline constexpr WORD IANSRSN_PRIORITY = 1;
inline constexpr WORD IANSRSN_INACTIVE = 2;
inline constexpr WORD IANSRSN_EOF = 3;

// Result codes of the speech interfaces.
inline constexpr HRESULT TTSERR_NOTSUPPORTED = com::E_NOTIMPL;
inline constexpr HRESULT TTSERR_INVALIDPARAM = com::E_INVALIDARG;
inline constexpr HRESULT TTSERR_INVALIDMODE = com::MakeResult(0x80040206);
inline constexpr HRESULT TTSERR_INVALIDKEY = com::MakeResult(0x80040209);
inline constexpr HRESULT TTSERR_WAVEFORMATNOTSUPPORTED = com::MakeResult(0x80040202);
inline constexpr HRESULT TTSERR_NOTPAUSED = com::MakeResult(0x80040501);
inline constexpr HRESULT TTSERR_ALREADYPAUSED = com::MakeResult(0x80040502);
inline constexpr HRESULT AUDERR_NEEDWAVEFORMAT = com::MakeResult(0x80040302);
inline constexpr HRESULT AUDERR_NOTENOUGHDATA = com::MakeResult(0x80040201);
inline constexpr HRESULT AUDERR_INVALIDNOTIFYSINK = com::MakeResult(0x80040319);
inline constexpr HRESULT AUDERR_ALREADYCLAIMED = com::MakeResult(0x8004031D);
inline constexpr HRESULT AUDERR_NOTCLAIMED = com::MakeResult(0x8004031E);
inline constexpr HRESULT AUDERR_ALREADYSTARTED = com::MakeResult(0x80040320);
inline constexpr HRESULT AUDERR_WAVEDEVICEBUSY = com::MakeResult(0x80040203);

// Identifiers.
inline constexpr IID IID_ITTSEnumW = {
    0x6B837B20, 0x4A47, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSEnumA = {
    0x05EB6C6D, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSFindW = {
    0x7AA42960, 0x4A47, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSFindA = {
    0x05EB6C6E, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSCentralW = {
    0x28016060, 0x4A47, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSCentralA = {
    0x05EB6C6A, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSAttributesW = {
    0x1287A280, 0x4A47, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSAttributesA = {
    0x0FD6E2A1, 0xE77D, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSDialogsW = {
    0x47F59D00, 0x4A47, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSDialogsA = {
    0x05EB6C6B, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSBufNotifySink = {
    0xE4963D40, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
inline constexpr IID IID_ITTSNotifySinkW = {
    0xC0FA8F40, 0x4A46, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSNotifySinkA = {
    0x05EB6C6F, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
inline constexpr IID IID_ITTSNotifySink2W = {
    0x599F77E1, 0xE42E, 0x11D1, {0xBE, 0xD8, 0x00, 0x60, 0x08, 0x31, 0x7C, 0xE8}};
inline constexpr IID IID_ITTSNotifySink2A = {
    0x599F77E2, 0xE42E, 0x11D1, {0xBE, 0xD8, 0x00, 0x60, 0x08, 0x31, 0x7C, 0xE8}};
inline constexpr IID IID_IAudio = {
    0xF546B340, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
inline constexpr IID IID_IAudioDest = {
    0x2EC34DA0, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
inline constexpr IID IID_IAudioDestNotifySink = {
    0xACB08C00, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
inline constexpr com::CLSID CLSID_TTSEnumerator = {
    0xD67C0280, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
inline constexpr com::CLSID CLSID_MMAudioDest = {
    0xCB96B400, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};

// Interfaces, each in its published slot order after QueryInterface, AddRef and Release.

class ITTSCentralW;
class ITTSCentralA;

class ITTSEnumW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Next(ULONG count, TTSMODEINFOW* records, ULONG* fetched) = 0;
  virtual HRESULT KV_STDCALL Skip(ULONG count) = 0;
  virtual HRESULT KV_STDCALL Reset() = 0;
  virtual HRESULT KV_STDCALL Clone(ITTSEnumW** enumerator) = 0;
  virtual HRESULT KV_STDCALL Select(GUID modeId, ITTSCentralW** central, IUnknown* audio) = 0;
};

class ITTSEnumA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Next(ULONG count, TTSMODEINFOA* records, ULONG* fetched) = 0;
  virtual HRESULT KV_STDCALL Skip(ULONG count) = 0;
  virtual HRESULT KV_STDCALL Reset() = 0;
  virtual HRESULT KV_STDCALL Clone(ITTSEnumA** enumerator) = 0;
  virtual HRESULT KV_STDCALL Select(GUID modeId, ITTSCentralA** central, IUnknown* audio) = 0;
};

class ITTSFindW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Find(TTSMODEINFOW* desired, TTSMODEINFORANK* ranks,
                                  TTSMODEINFOW* found) = 0;
  virtual HRESULT KV_STDCALL Select(GUID modeId, ITTSCentralW** central, IUnknown* audio) = 0;
};

class ITTSFindA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Find(TTSMODEINFOA* desired, TTSMODEINFORANK* ranks,
                                  TTSMODEINFOA* found) = 0;
  virtual HRESULT KV_STDCALL Select(GUID modeId, ITTSCentralA** central, IUnknown* audio) = 0;
};

class ITTSCentralW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Inject(const WCHAR* tag) = 0;
  virtual HRESULT KV_STDCALL ModeGet(TTSMODEINFOW* info) = 0;
  virtual HRESULT KV_STDCALL Phoneme(VOICECHARSET charset, DWORD flags, SDATA text,
                                     SDATA* phoneme) = 0;
  virtual HRESULT KV_STDCALL PosnGet(QWORD* timeStamp) = 0;
  virtual HRESULT KV_STDCALL TextData(VOICECHARSET charset, DWORD flags, SDATA text,
                                      void* notifyInterface, IID notifyIid) = 0;
  virtual HRESULT KV_STDCALL ToFileTime(QWORD* timeStamp, FILETIME* fileTime) = 0;
  virtual HRESULT KV_STDCALL AudioPause() = 0;
  virtual HRESULT KV_STDCALL AudioResume() = 0;
  virtual HRESULT KV_STDCALL AudioReset() = 0;
  virtual HRESULT KV_STDCALL Register(void* notifyInterface, IID notifyIid, DWORD* key) = 0;
  virtual HRESULT KV_STDCALL UnRegister(DWORD key) = 0;
};

class ITTSCentralA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Inject(const CHAR* tag) = 0;
  virtual HRESULT KV_STDCALL ModeGet(TTSMODEINFOA* info) = 0;
  virtual HRESULT KV_STDCALL Phoneme(VOICECHARSET charset, DWORD flags, SDATA text,
                                     SDATA* phoneme) = 0;
  virtual HRESULT KV_STDCALL PosnGet(QWORD* timeStamp) = 0;
  virtual HRESULT KV_STDCALL TextData(VOICECHARSET charset, DWORD flags, SDATA text,
                                      void* notifyInterface, IID notifyIid) = 0;
  virtual HRESULT KV_STDCALL ToFileTime(QWORD* timeStamp, FILETIME* fileTime) = 0;
  virtual HRESULT KV_STDCALL AudioPause() = 0;
  virtual HRESULT KV_STDCALL AudioResume() = 0;
  virtual HRESULT KV_STDCALL AudioReset() = 0;
  virtual HRESULT KV_STDCALL Register(void* notifyInterface, IID notifyIid, DWORD* key) = 0;
  virtual HRESULT KV_STDCALL UnRegister(DWORD key) = 0;
};

// Pitch in Hz, speed in words per minute, volume: low word left, high word right.
class ITTSAttributesW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL PitchGet(WORD* pitch) = 0;
  virtual HRESULT KV_STDCALL PitchSet(WORD pitch) = 0;
  virtual HRESULT KV_STDCALL RealTimeGet(DWORD* realTime) = 0;
  virtual HRESULT KV_STDCALL RealTimeSet(DWORD realTime) = 0;
  virtual HRESULT KV_STDCALL SpeedGet(DWORD* speed) = 0;
  virtual HRESULT KV_STDCALL SpeedSet(DWORD speed) = 0;
  virtual HRESULT KV_STDCALL VolumeGet(DWORD* volume) = 0;
  virtual HRESULT KV_STDCALL VolumeSet(DWORD volume) = 0;
};

class ITTSAttributesA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL PitchGet(WORD* pitch) = 0;
  virtual HRESULT KV_STDCALL PitchSet(WORD pitch) = 0;
  virtual HRESULT KV_STDCALL RealTimeGet(DWORD* realTime) = 0;
  virtual HRESULT KV_STDCALL RealTimeSet(DWORD realTime) = 0;
  virtual HRESULT KV_STDCALL SpeedGet(DWORD* speed) = 0;
  virtual HRESULT KV_STDCALL SpeedSet(DWORD speed) = 0;
  virtual HRESULT KV_STDCALL VolumeGet(DWORD* volume) = 0;
  virtual HRESULT KV_STDCALL VolumeSet(DWORD volume) = 0;
};

// A null parent window asks only whether the dialog is offered.
class ITTSDialogsW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL AboutDlg(HWND parent, const WCHAR* title) = 0;
  virtual HRESULT KV_STDCALL LexiconDlg(HWND parent, const WCHAR* title) = 0;
  virtual HRESULT KV_STDCALL GeneralDlg(HWND parent, const WCHAR* title) = 0;
  virtual HRESULT KV_STDCALL TranslateDlg(HWND parent, const WCHAR* title) = 0;
};

class ITTSDialogsA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL AboutDlg(HWND parent, const CHAR* title) = 0;
  virtual HRESULT KV_STDCALL LexiconDlg(HWND parent, const CHAR* title) = 0;
  virtual HRESULT KV_STDCALL GeneralDlg(HWND parent, const CHAR* title) = 0;
  virtual HRESULT KV_STDCALL TranslateDlg(HWND parent, const CHAR* title) = 0;
};

// Implemented by applications; one identifier serves both character forms.
class ITTSBufNotifySink : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL TextDataDone(QWORD timeStamp, DWORD flags) = 0;
  virtual HRESULT KV_STDCALL TextDataStarted(QWORD timeStamp) = 0;
  virtual HRESULT KV_STDCALL BookMark(QWORD timeStamp, DWORD markNumber) = 0;
  virtual HRESULT KV_STDCALL WordPosition(QWORD timeStamp, DWORD byteOffset) = 0;
};

class ITTSNotifySinkW : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL AttribChanged(DWORD attribute) = 0;
  virtual HRESULT KV_STDCALL AudioStart(QWORD timeStamp) = 0;
  virtual HRESULT KV_STDCALL AudioStop(QWORD timeStamp) = 0;
  virtual HRESULT KV_STDCALL Visual(QWORD timeStamp, WCHAR ipaPhoneme, WCHAR enginePhoneme,
                                    DWORD hints, TTSMOUTH* mouth) = 0;
};

class ITTSNotifySinkA : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL AttribChanged(DWORD attribute) = 0;
  virtual HRESULT KV_STDCALL AudioStart(QWORD timeStamp) = 0;
  virtual HRESULT KV_STDCALL AudioStop(QWORD timeStamp) = 0;
  virtual HRESULT KV_STDCALL Visual(QWORD timeStamp, CHAR ipaPhoneme, CHAR enginePhoneme,
                                    DWORD hints, TTSMOUTH* mouth) = 0;
};

// Implemented by audio objects.
class IAudio : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL Flush() = 0;
  virtual HRESULT KV_STDCALL LevelGet(DWORD* level) = 0;
  virtual HRESULT KV_STDCALL LevelSet(DWORD level) = 0;
  virtual HRESULT KV_STDCALL PassNotify(void* notifyInterface, IID notifyIid) = 0;
  virtual HRESULT KV_STDCALL PosnGet(QWORD* position) = 0;
  virtual HRESULT KV_STDCALL Claim() = 0;
  virtual HRESULT KV_STDCALL UnClaim() = 0;
  virtual HRESULT KV_STDCALL Start() = 0;
  virtual HRESULT KV_STDCALL Stop() = 0;
  virtual HRESULT KV_STDCALL TotalGet(QWORD* total) = 0;
  virtual HRESULT KV_STDCALL ToFileTime(QWORD* position, FILETIME* fileTime) = 0;
  virtual HRESULT KV_STDCALL WaveFormatGet(SDATA* format) = 0;
  virtual HRESULT KV_STDCALL WaveFormatSet(SDATA format) = 0;
};

class IAudioDest : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL FreeSpace(DWORD* bytes, BOOL* eof) = 0;
  virtual HRESULT KV_STDCALL DataSet(void* buffer, DWORD size) = 0;
  virtual HRESULT KV_STDCALL BookMark(DWORD markId) = 0;
};

// Implemented by the engine, called by the audio destination. AudioStop comes before
// AudioStart in the slot order.
class IAudioDestNotifySink : public IUnknown {
 public:
  virtual HRESULT KV_STDCALL AudioStop(WORD reason) = 0;
  virtual HRESULT KV_STDCALL AudioStart() = 0;
  virtual HRESULT KV_STDCALL FreeSpace(DWORD bytes, BOOL eof) = 0;
  virtual HRESULT KV_STDCALL BookMark(DWORD markId, BOOL flush) = 0;
};

}  // namespace kv::sapi
