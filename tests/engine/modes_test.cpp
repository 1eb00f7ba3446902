// The mode enumerator: walking, finding and selecting modes through the W and A interfaces.
#include <cstring>
#include <string>
#include <vector>

#include "tests/engine/engine_library.h"

namespace kv::test {
namespace {

// One mode enumerator created through the factory, with its four interfaces.
class ModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EngineLibrary& lib = EngineLibrary::Built();
    ASSERT_TRUE(lib.Loaded()) << ::dlerror();
    void* factory = nullptr;
    ASSERT_EQ(lib.getClassObject(kEngineClass, IID_IClassFactory, &factory), S_OK);
    void* object = nullptr;
    ASSERT_EQ(static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_IUnknown, &object),
              S_OK);
    static_cast<IUnknown*>(factory)->Release();
    owner_ = static_cast<IUnknown*>(object);
    enumW_ = Query<ITTSEnumW>(IID_ITTSEnumW);
    enumA_ = Query<ITTSEnumA>(IID_ITTSEnumA);
    findW_ = Query<ITTSFindW>(IID_ITTSFindW);
    findA_ = Query<ITTSFindA>(IID_ITTSFindA);
  }
  void TearDown() override {
    for (IUnknown* p : std::initializer_list<IUnknown*>{enumW_, enumA_, findW_, findA_, owner_})
      if (p != nullptr) p->Release();
    // An engine instance keeps the library loaded for good; otherwise all was released.
    if (!instanceCreated_) {
      EXPECT_EQ(EngineLibrary::Built().canUnloadNow(), S_OK) << "every reference was released";
    }
  }

  template <class T>
  T* Query(const IID& iid) {
    void* object = nullptr;
    EXPECT_EQ(owner_->QueryInterface(iid, &object), S_OK);
    return static_cast<T*>(object);
  }

  // Mode number a record describes (0 when none), checked against its identifier.
  template <class Info>
  static int ModeOf(const Info& info) {
    for (int m = 1; m <= 3; ++m)
      if (info.gModeID == kModeIds[m - 1]) return m;
    return 0;
  }

  // Next with count 1; the mode handed out, or 0 with the S_FALSE answer.
  int NextW() {
    TTSMODEINFOW info{};
    ULONG fetched = 99;
    const HRESULT hr = enumW_->Next(1, &info, &fetched);
    if (hr == S_FALSE) {
      EXPECT_EQ(fetched, 0u);
      return 0;
    }
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(fetched, 1u);
    return ModeOf(info);
  }
  int NextA() {
    TTSMODEINFOA info{};
    ULONG fetched = 99;
    const HRESULT hr = enumA_->Next(1, &info, &fetched);
    if (hr == S_FALSE) return 0;
    EXPECT_EQ(fetched, 1u);
    return ModeOf(info);
  }

  bool instanceCreated_ = false;
  IUnknown* owner_ = nullptr;
  ITTSEnumW* enumW_ = nullptr;
  ITTSEnumA* enumA_ = nullptr;
  ITTSFindW* findW_ = nullptr;
  ITTSFindA* findA_ = nullptr;
};

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

TEST_F(ModesTest, AllFourInterfacesAnswerForTheSameOwner) {
  void* unknown = nullptr;
  ASSERT_EQ(findA_->QueryInterface(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown, owner_);
  void* enumW = nullptr;
  ASSERT_EQ(findA_->QueryInterface(IID_ITTSEnumW, &enumW), S_OK);
  EXPECT_EQ(enumW, enumW_);
  void* other = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(enumA_->QueryInterface(IID_ITTSCentralA, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  static_cast<IUnknown*>(unknown)->Release();
  static_cast<IUnknown*>(enumW)->Release();
}

TEST_F(ModesTest, NextOneAtATimeWalksTheThreeModesThenStops) {
  EXPECT_EQ(NextW(), 1);
  EXPECT_EQ(NextW(), 2);
  EXPECT_EQ(NextW(), 3);
  EXPECT_EQ(NextW(), 0);
  EXPECT_EQ(NextW(), 0) << "stays at the end";
  EXPECT_EQ(enumW_->Reset(), S_OK);
  EXPECT_EQ(NextW(), 1);
}

TEST_F(ModesTest, NextPastTheEndLeavesRecordsOrZeroesTheFirstWithoutACount) {
  ASSERT_EQ(enumW_->Skip(3), S_OK);
  TTSMODEINFOW info;
  std::memset(&info, 0xAB, sizeof info);
  ULONG fetched = 99;
  EXPECT_EQ(enumW_->Next(1, &info, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&info)[100], 0xAB) << "record left as it was";

  TTSMODEINFOA infoA;
  std::memset(&infoA, 0xAB, sizeof infoA);
  EXPECT_EQ(enumA_->Next(1, &infoA, nullptr), S_FALSE);
  const TTSMODEINFOA zero{};
  EXPECT_EQ(std::memcmp(&infoA, &zero, sizeof zero), 0);
}

TEST_F(ModesTest, NextForThreeGivesTheWholeTableButMovesByOne) {
  TTSMODEINFOW infos[3] = {};
  ULONG fetched = 0;
  ASSERT_EQ(enumW_->Next(3, infos, &fetched), S_OK);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(ModeOf(infos[0]), 1);
  EXPECT_EQ(ModeOf(infos[1]), 2);
  EXPECT_EQ(ModeOf(infos[2]), 3);
  EXPECT_EQ(NextW(), 2);

  // Whatever the position, a larger count answers the table from its start.
  TTSMODEINFOA infosA[5] = {};
  ASSERT_EQ(enumA_->Next(5, infosA, &fetched), S_OK);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(ModeOf(infosA[0]), 1);
  EXPECT_EQ(ModeOf(infosA[2]), 3);
  EXPECT_EQ(ModeOf(infosA[3]), 0) << "nothing past the table";
  EXPECT_EQ(NextA(), 0) << "position was 3 after that Next";
}

TEST_F(ModesTest, NextForTwoFillsExactlyTwoRecords) {
  // Two records for the engine, a guard record behind them.
  std::vector<TTSMODEINFOW> records(3);
  std::memset(&records[2], 0x5A, sizeof records[2]);
  ULONG fetched = 0;
  ASSERT_EQ(enumW_->Next(2, records.data(), &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(ModeOf(records[0]), 1);
  EXPECT_EQ(ModeOf(records[1]), 2);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&records[2])[0], 0x5A);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&records[2])[sizeof(TTSMODEINFOW) - 1], 0x5A);
}

TEST_F(ModesTest, NextWithCountZeroStillHandsOutOneMode) {
  TTSMODEINFOW info{};
  ULONG fetched = 0;
  ASSERT_EQ(enumW_->Next(0, &info, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(ModeOf(info), 1);
  EXPECT_EQ(NextW(), 2);
}

TEST_F(ModesTest, SkipMovesThePosition) {
  EXPECT_EQ(enumW_->Skip(2), S_OK);
  EXPECT_EQ(enumW_->Skip(2), S_FALSE);
  EXPECT_EQ(NextW(), 0);
  EXPECT_EQ(enumA_->Reset(), S_OK);
  EXPECT_EQ(enumA_->Skip(1), S_OK);
  EXPECT_EQ(NextW(), 2);
  EXPECT_EQ(enumW_->Skip(0xFFFFFFFFu), S_FALSE);
  EXPECT_EQ(enumW_->Skip(0xFFFFFFFFu), S_FALSE);
  EXPECT_EQ(NextW(), 0) << "however far it skipped";
}

TEST_F(ModesTest, TheEnumeratorsFindersAndClonesShareOnePosition) {
  EXPECT_EQ(NextW(), 1);
  EXPECT_EQ(NextA(), 2);
  ITTSEnumA* clone = nullptr;
  ASSERT_EQ(enumA_->Clone(&clone), S_OK);
  EXPECT_EQ(clone, enumA_) << "the clone is the same object";
  EXPECT_EQ(NextW(), 3);
  clone->Reset();
  EXPECT_EQ(NextA(), 1);
  clone->Release();

  // A successful Find sets the position to the mode found.
  TTSMODEINFOW desired{}, found{};
  desired.wGender = GENDER_FEMALE;
  ASSERT_EQ(findW_->Find(&desired, nullptr, &found), S_OK);
  EXPECT_EQ(NextA(), 2);
}

TEST_F(ModesTest, NullOutPointersGetEPointer) {
  EXPECT_EQ(enumW_->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(enumA_->Next(3, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(enumW_->Clone(nullptr), E_POINTER);
  EXPECT_EQ(enumA_->Clone(nullptr), E_POINTER);
  TTSMODEINFOW w{};
  TTSMODEINFOA a{};
  EXPECT_EQ(findW_->Find(nullptr, nullptr, &w), E_POINTER);
  EXPECT_EQ(findW_->Find(&w, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(findA_->Find(&a, nullptr, nullptr), E_POINTER);
  FakeAudio audio;
  EXPECT_EQ(enumW_->Select(kModeIds[0], nullptr, audio.Unknown()), E_POINTER);
  EXPECT_EQ(findA_->Select(kModeIds[0], nullptr, audio.Unknown()), E_POINTER);
  EXPECT_EQ(audio.References(), 1);
  EXPECT_EQ(NextW(), 1) << "nothing moved";
}

TEST_F(ModesTest, ModeRecordsCarryTheTableInBothForms) {
  TTSMODEINFOW w[3] = {};
  TTSMODEINFOA a[3] = {};
  ULONG fetched = 0;
  ASSERT_EQ(enumW_->Next(3, w, &fetched), S_OK);
  ASSERT_EQ(enumA_->Next(3, a, &fetched), S_OK);
  const WORD genders[3] = {1, 0, 2}, ages[3] = {30, 6, 30};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(kModeNames[i]);
    EXPECT_EQ(a[i].gEngineID, kEngineClass);
    EXPECT_STREQ(a[i].szMfgName, "KORVEN");
    EXPECT_STREQ(a[i].szProductName, "KORVEN Speech Synthesis Engine");
    EXPECT_STREQ(a[i].szSpeaker, kModeNames[i]);
    EXPECT_EQ(a[i].szStyle, std::string(kModeNames[i]) + " computer " +
                                (i == 0   ? "female"
                                 : i == 1 ? "child"
                                          : "male") +
                                " voice");
    EXPECT_STREQ(a[i].language.szDialect, "");
    EXPECT_EQ(a[i].language.LanguageID, 0x0405);
    EXPECT_EQ(a[i].wGender, genders[i]);
    EXPECT_EQ(a[i].wAge, ages[i]);
    EXPECT_EQ(a[i].dwFeatures, 0x0001B803u);
    EXPECT_EQ(a[i].dwInterfaces, 0x0000000Eu);
    EXPECT_EQ(a[i].dwEngineFeatures, 0u);

    // The W record carries the same values, each text widened and zero to the field's end.
    for (auto [wide, narrow] : {std::pair{w[i].szMfgName, a[i].szMfgName},
                                {w[i].szProductName, a[i].szProductName},
                                {w[i].szModeName, a[i].szModeName},
                                {w[i].szSpeaker, a[i].szSpeaker},
                                {w[i].szStyle, a[i].szStyle}})
      for (size_t k = 0; k < TTSI_NAMELEN; ++k) EXPECT_EQ(wide[k], char16_t(narrow[k]));
    EXPECT_EQ(w[i].gEngineID, a[i].gEngineID);
    EXPECT_EQ(w[i].gModeID, a[i].gModeID);
    EXPECT_EQ(w[i].language.LanguageID, a[i].language.LanguageID);
    EXPECT_EQ(w[i].language.szDialect[0], 0);
    EXPECT_EQ(w[i].wGender, a[i].wGender);
    EXPECT_EQ(w[i].wAge, a[i].wAge);
    EXPECT_EQ(w[i].dwFeatures, a[i].dwFeatures);
    EXPECT_EQ(w[i].dwInterfaces, a[i].dwInterfaces);
  }
}

template <class Info>
void SetName(Info& info, const char* name) {
  for (size_t i = 0; name[i] != '\0'; ++i) info.szModeName[i] = static_cast<unsigned char>(name[i]);
}

TEST_F(ModesTest, FindChoosesByGenderNameAndIdentifier) {
  struct Case {
    const char* what;
    WORD gender;
    const char* name;
    int id;  // mode whose identifier is asked for, 0 for none
    int expected;
  };
  const Case cases[] = {
      {"all-zero record", 0, "", 0, 2},
      {"gender 1", 1, "", 0, 1},
      {"gender 2", 2, "", 0, 3},
      {"unknown gender keeps mode 1", 7, "", 0, 1},
      {"name beats gender", 1, "DAVL", 0, 3},
      {"identifier beats gender", 2, "", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTSMODEINFOW w{}, wFound{};
    TTSMODEINFOA a{}, aFound{};
    w.wGender = a.wGender = c.gender;
    SetName(w, c.name);
    SetName(a, c.name);
    if (c.id != 0) w.gModeID = a.gModeID = kModeIds[c.id - 1];
    ASSERT_EQ(findW_->Find(&w, nullptr, &wFound), S_OK);
    EXPECT_EQ(ModeOf(wFound), c.expected);
    EXPECT_EQ(Narrow(wFound.szModeName), kModeNames[c.expected - 1]);
    ASSERT_EQ(findA_->Find(&a, nullptr, &aFound), S_OK);
    EXPECT_EQ(ModeOf(aFound), c.expected);
    EXPECT_STREQ(aFound.szStyle, Narrow(wFound.szStyle).c_str());
  }
}

TEST_F(ModesTest, FindFormsDifferWhenNameAndIdentifierDisagree) {
  TTSMODEINFOW w{}, wFound{};
  TTSMODEINFOA a{}, aFound{};
  SetName(w, "DAVLa");
  SetName(a, "DAVLa");
  w.gModeID = a.gModeID = kModeIds[2];
  ASSERT_EQ(findA_->Find(&a, nullptr, &aFound), S_OK);
  EXPECT_EQ(ModeOf(aFound), 3) << "A form: the identifier wins";
  ASSERT_EQ(findW_->Find(&w, nullptr, &wFound), S_OK);
  EXPECT_EQ(ModeOf(wFound), 1) << "W form: the name wins";
}

TEST_F(ModesTest, FindWithNothingAcceptableFailsAndResetsThePosition) {
  ASSERT_EQ(enumW_->Skip(2), S_OK);
  TTSMODEINFOW w{};
  w.language.LanguageID = 0x0407;
  SetName(w, "Anna");
  w.gModeID = kEngineClass;  // not a mode identifier
  TTSMODEINFOW found;
  std::memset(&found, 0xAB, sizeof found);
  EXPECT_EQ(findW_->Find(&w, nullptr, &found), E_OUTOFMEMORY);
  const TTSMODEINFOW zero{};
  EXPECT_EQ(std::memcmp(&found, &zero, sizeof zero), 0);
  EXPECT_EQ(NextW(), 1);

  // A known name alone is enough.
  SetName(w, "DAVLuska");
  ASSERT_EQ(findW_->Find(&w, nullptr, &found), S_OK);
  EXPECT_EQ(ModeOf(found), 2);
}

TEST_F(ModesTest, FindComparesTheWholeNameFieldOnlyInTheAForm) {
  TTSMODEINFOW w{}, found{};
  TTSMODEINFOA a{}, foundA{};
  w.language.LanguageID = a.language.LanguageID = 0x0407;
  SetName(w, "DAVL");
  SetName(a, "DAVL");
  w.szModeName[10] = u'x';  // bytes after the terminator
  a.szModeName[10] = 'x';
  ASSERT_EQ(findW_->Find(&w, nullptr, &found), S_OK);
  EXPECT_EQ(ModeOf(found), 3);
  EXPECT_EQ(findA_->Find(&a, nullptr, &foundA), E_OUTOFMEMORY);
}

TEST_F(ModesTest, FindWithAGenderRankUsesTheGender) {
  TTSMODEINFORANK rank{};
  rank.dwGender = 1;
  TTSMODEINFOA a{}, found{};
  a.wGender = GENDER_MALE;
  ASSERT_EQ(findA_->Find(&a, &rank, &found), S_OK);
  EXPECT_EQ(ModeOf(found), 3);
  rank = {};
  rank.dwAge = 5;  // other ranks are not looked at
  a.wGender = GENDER_NEUTRAL;
  a.wAge = TTSAGE_ADULT;
  ASSERT_EQ(findA_->Find(&a, &rank, &found), S_OK);
  EXPECT_EQ(ModeOf(found), 2);
}

TEST_F(ModesTest, SelectRejectsUnknownModesAndUnusableAudio) {
  FakeAudio audio;
  ITTSCentralW* centralW = reinterpret_cast<ITTSCentralW*>(0x1);
  EXPECT_EQ(enumW_->Select(kEngineClass, &centralW, audio.Unknown()), TTSERR_INVALIDMODE);
  EXPECT_EQ(centralW, nullptr);
  EXPECT_EQ(audio.References(), 1) << "the audio object is not kept";
  EXPECT_EQ(NextW(), 1) << "the position did not move";

  ITTSCentralA* centralA = reinterpret_cast<ITTSCentralA*>(0x1);
  EXPECT_EQ(findA_->Select(kModeIds[1], &centralA, nullptr), E_INVALIDARG);
  EXPECT_EQ(centralA, nullptr);
  FakeAudio noDest(false);
  EXPECT_EQ(enumA_->Select(kModeIds[1], &centralA, noDest.Unknown()), E_INVALIDARG);
  EXPECT_EQ(centralA, nullptr);
  EXPECT_EQ(noDest.References(), 1);
  // An invalid mode is reported before the audio object is looked at.
  EXPECT_EQ(enumA_->Select(kEngineClass, &centralA, nullptr), TTSERR_INVALIDMODE);
}

TEST_F(ModesTest, SelectOfAValidModeAnswersWithACentralOrNotImplemented) {
  FakeAudio audio;
  ITTSCentralW* central = nullptr;
  const HRESULT hr = findW_->Select(kModeIds[2], &central, audio.Unknown());
  if (hr == E_NOTIMPL) {
    // No engine instance can be created yet: nothing stands in for one.
    EXPECT_EQ(central, nullptr);
    EXPECT_EQ(audio.References(), 1);
  } else {
    ASSERT_EQ(hr, S_OK);
    ASSERT_NE(central, nullptr);
    instanceCreated_ = true;
    TTSMODEINFOW info{};
    EXPECT_EQ(central->ModeGet(&info), S_OK);
    EXPECT_EQ(ModeOf(info), 3);
    central->Release();
  }
  EXPECT_EQ(NextW(), 0) << "Select set the position to mode 3";
}

}  // namespace
}  // namespace kv::test
