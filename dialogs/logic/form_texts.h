// What the three forms say and how big they are, the same in every face. Texts are UTF-8.
#pragma once

namespace kv::dialogs {

struct FormFrame {
  const char* name;     // the form's class name without its "T"
  const char* caption;  // the window's title, a leading space included
  int clientWidth;
  int clientHeight;
};

inline constexpr FormFrame kVoicePropertiesFrame = {"FormViceProperties",
                                                    " KORVEN TTS -> Možnosti hlasu", 263, 261};
inline constexpr FormFrame kDictionaryEditorFrame = {
    "FormSlovnik", " KORVEN TTS -> Slovník (výraz=vyslov)", 263, 261};
inline constexpr FormFrame kAboutFrame = {"FormAbout", "About", 196, 107};

// Every form of the system carries this tag.
inline constexpr int kFormTag = 999;

inline constexpr const char* kSpeakCaption = "&Řekni <F5>";
inline constexpr const char* kCloseCaption = "&Zavřít";
inline constexpr const char* kSayAgainHint =
    "Přeříkat testovací text automaticky po změně parametru";
inline constexpr const char* kDefaultTestText = "Testovací text 1, 2, 3.";

// The about form's two embossed words, each three layers one pixel apart, drawn bottom-right
// first: grey, white, then the silver face on top (offset from the word's place, RGB).
inline constexpr const char* kAboutWords[2] = {"KORVEN", "TTS"};
inline constexpr int kAboutWordTops[2] = {4, 50};
inline constexpr int kAboutWordLeft = 10;
inline constexpr int kAboutWordPixelSize = 32;
struct EmbossLayer {
  const char* suffix;
  unsigned rgb;
  int offset;
};
inline constexpr EmbossLayer kEmbossLayers[3] = {
    {"Grey", 0x808080, 2}, {"White", 0xFFFFFF, 0}, {"Silver", 0xC0C0C0, 1}};

}  // namespace kv::dialogs
