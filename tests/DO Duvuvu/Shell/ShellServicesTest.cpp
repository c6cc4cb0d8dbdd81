// Shell services over recording fakes of the platform calls, and what they
// answer over the platform's own fixed results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "FileClass.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "ShellServices.h"
#include "Strings.h"
#include "System.h"
#include "SystemCalls.h"
#include "TestSupport.h"

namespace {

std::string Code(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>(code >> (24 - 8 * i));
  return text;
}

std::string Bytes(const void* data, SInt32 size) {
  return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::vector<UInt8> PBytes(const std::string& text) {
  std::vector<UInt8> out(1 + text.size());
  out[0] = static_cast<UInt8>(text.size());
  std::memcpy(out.data() + 1, text.data(), text.size());
  return out;
}

std::string PText(ConstStr255Param text) { return std::string(reinterpret_cast<const char*>(text + 1), text[0]); }

// The platform calls the services make, logged in order, each answering the
// status a test set for it (0 by default). Descriptors are numbered as made.
struct RecordingPlatform {
  RecordingPlatform() {
    current = this;
    SystemCallTable& t = gSystemCalls;
    t.createDescriptor = [](OSType type, const void* data, SInt32 size, EventDescriptor* out) -> OSErr {
      std::string text = Code(type) == "psn "                ? PsnText(data, size)
                         : Code(type) == "sign" && size == 4 ? Code(*static_cast<const OSType*>(data))
                                                             : Bytes(data, size);
      return current->Made("descriptor " + Code(type) + " " + text, "descriptor", type, out);
    };
    t.createAppleEvent = [](OSType eventClass, OSType eventID, const EventDescriptor* target, SInt16 returnID,
                            SInt32 transaction, EventDescriptor* out) -> OSErr {
      return current->Made("event " + Code(eventClass) + "/" + Code(eventID) + " to " + Name(target) + " return " +
                               std::to_string(returnID) + " transaction " + std::to_string(transaction),
                           "event", FOUR_CHAR_CODE("aevt"), out);
    };
    t.putParam = [](EventDescriptor* event, OSType keyword, OSType type, const void* data, SInt32 size) -> OSErr {
      std::string value =
          Code(type) == "long" && size == 4 ? std::to_string(*static_cast<const SInt32*>(data)) : Bytes(data, size);
      return current->Answer("param " + Name(event) + " " + Code(keyword) + " " + Code(type) + " " + value, "param");
    };
    t.sendAppleEvent = [](const EventDescriptor* event, EventDescriptor*, SInt32 mode, SInt16, SInt32) -> OSErr {
      return current->Answer("send " + Name(event) + " mode " + std::to_string(mode), "send");
    };
    t.disposeDescriptor = [](EventDescriptor* d) -> OSErr { return current->Answer("dispose " + Name(d), "dispose"); };
  }
  ~RecordingPlatform() {
    ResetSystemCalls();
    current = nullptr;
  }
  RecordingPlatform(const RecordingPlatform&) = delete;
  RecordingPlatform& operator=(const RecordingPlatform&) = delete;

  static std::string PsnText(const void* data, SInt32 size) {
    if (size != static_cast<SInt32>(sizeof(ProcessSerialNumber))) return "size " + std::to_string(size);
    ProcessSerialNumber serial;
    std::memcpy(&serial, data, sizeof serial);
    return "{" + std::to_string(serial.high) + ", " + std::to_string(serial.low) + "}";
  }
  // "d1", "d2"... for descriptors this fake made, "caller" for the test's own,
  // "null" for an empty one.
  static std::string Name(const EventDescriptor* d) {
    if (!d) return "nil";
    if (d->dataHandle == &current->callerTarget) return "caller";
    if (!d->dataHandle) return "null";
    return "d" + std::to_string(reinterpret_cast<intptr_t>(d->dataHandle));
  }
  OSErr Answer(const std::string& line, const std::string& step) {
    log.push_back(line);
    const auto failure = failures.find(step);
    return failure == failures.end() ? 0 : failure->second;
  }
  OSErr Made(const std::string& line, const std::string& step, OSType type, EventDescriptor* out) {
    const OSErr status = Answer(line, step);
    if (status == 0) *out = EventDescriptor{type, reinterpret_cast<void*>(static_cast<intptr_t>(++made))};
    return status;
  }

  static inline RecordingPlatform* current = nullptr;
  std::vector<std::string> log;
  std::map<std::string, OSErr> failures;
  int made = 0;
  int callerTarget = 0;
};

class ShellServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSystemCalls(); }
  void TearDown() override { ResetSystemCalls(); }
};

// Over the platform's own answers nothing is launched, found, quit or opened,
// and no routine waits on a list that never moves.
TEST_F(ShellServicesTest, FixedPlatformAnswers) {
  const auto scheme = PBytes("mailto");
  testsupport::TempDir dir;
  FileSpec game{};
  ASSERT_EQ(MakeFileSpecFromPath((dir / "Game").c_str(), &game), 0);
  struct Case {
    const char* routine;
    std::function<int()> call;
    int expected;
  } cases[] = {
      {"SendOpenURLEvent", [] { return SendOpenURLEvent("https://example.com/", nullptr, 0, 1); }, 0},
      {"LaunchApplicationFile", [&] { return LaunchApplicationFile(game.vRefNum, game.parID, game.name); }, kErrFailed},
      {"OpenControlPanel", [] { return OpenControlPanel(FOUR_CHAR_CODE("abcd")); }, 1},
      {"FindProcessBySignature",
       [] {
         ProcessSerialNumber serial{7, 7};
         const OSErr status = FindProcessBySignature(FOUR_CHAR_CODE("abcd"), &serial);
         return serial.high == 7 && serial.low == 7 ? status : 12345;
       },
       kErrProcessNotFound},
      {"QuitApplicationBySignature", [] { return QuitApplicationBySignature(FOUR_CHAR_CODE("abcd")); },
       kErrProcessNotFound},
      {"GetHelperApplication",
       [&] {
         Str31 helper = {3, 'x', 'y', 'z'};
         OSType creator = 1;
         const OSStatus status = GetHelperApplication(scheme.data(), helper, &creator);
         // The store answers without writing: an empty record.
         return helper[0] == 0 && creator == 0 ? status : 12345;
       },
       0},
      {"SetHelperApplication", [&] { return SetHelperApplication(scheme.data(), nullptr, 0); }, 0},
      {"DeleteHelperApplication", [&] { return DeleteHelperApplication(scheme.data()); }, 0},
      {"OpenPreferencePane", [] { return OpenPreferencePane(PBytes("com.example.pane").data()); }, kErrFileNotFound},
      {"GetApplicationFileSpec",
       [] {
         FileSpec spec;
         std::memset(&spec, 0x5A, sizeof spec);
         const OSErr status = GetApplicationFileSpec(&spec);
         return spec.vRefNum == 0 && spec.parID == 0 && spec.name[0] == 0 ? status : 12345;
       },
       0},
      {"RegisterAppIcon", [] { return RegisterAppIcon(FOUR_CHAR_CODE("ICN#"), 128); }, 0},
      {"LaunchByPathUnavailable", [] { return LaunchByPathUnavailable(); }, kErrFailed},
      {"LaunchByURLUnavailable", [] { return LaunchByURLUnavailable(); }, kErrFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.routine);
    EXPECT_EQ(c.call(), c.expected);
  }
}

TEST_F(ShellServicesTest, OpenURLEventAddressesTheBrowser) {
  struct Case {
    const char* label;
    OSType signature;
    UInt8 newWindow;
    bool callerTarget;
    std::vector<std::string> log;
  } cases[] = {
      {"'MOS!', new window",
       FOUR_CHAR_CODE("MOS!"),
       1,
       false,
       {"descriptor sign MOS!", "event MOS!/ourl to d1 return -1 transaction 0", "param d2 ---- utf8 http://a/",
        "param d2 WIND long 0", "send d2 mode 1", "dispose d2", "dispose d1"}},
      {"any other signature, same window",
       FOUR_CHAR_CODE("abcd"),
       0,
       false,
       {"descriptor sign WWW!", "event WWW!/OURL to d1 return -1 transaction 0", "param d2 ---- utf8 http://a/",
        "param d2 WIND long -1", "send d2 mode 1", "dispose d2", "dispose d1"}},
      {"the caller's target stays the caller's",
       0,
       2,
       true,
       {"event WWW!/OURL to caller return -1 transaction 0", "param d1 ---- utf8 http://a/", "param d1 WIND long 0",
        "send d1 mode 1", "dispose d1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingPlatform platform;
    const EventDescriptor target{FOUR_CHAR_CODE("sign"), &platform.callerTarget};
    EXPECT_EQ(SendOpenURLEvent("http://a/", c.callerTarget ? &target : nullptr, c.signature, c.newWindow), 0);
    EXPECT_EQ(platform.log, c.log);
  }
}

// The first failing step's status comes back; nothing after it runs, and
// every descriptor made is still released.
TEST_F(ShellServicesTest, OpenURLEventStopsAtTheFirstFailure) {
  struct Case {
    const char* step;
    std::vector<std::string> log;
  } cases[] = {
      {"descriptor", {"descriptor sign WWW!"}},
      {"event",
       {"descriptor sign WWW!", "event WWW!/OURL to d1 return -1 transaction 0", "dispose null", "dispose d1"}},
      {"param",
       {"descriptor sign WWW!", "event WWW!/OURL to d1 return -1 transaction 0", "param d2 ---- utf8 http://a/",
        "dispose d2", "dispose d1"}},
      {"send",
       {"descriptor sign WWW!", "event WWW!/OURL to d1 return -1 transaction 0", "param d2 ---- utf8 http://a/",
        "param d2 WIND long -1", "send d2 mode 1", "dispose d2", "dispose d1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    RecordingPlatform platform;
    platform.failures[c.step] = -1700;
    EXPECT_EQ(SendOpenURLEvent("http://a/", nullptr, 0, 0), -1700);
    EXPECT_EQ(platform.log, c.log);
  }
}

// A process list of the fake's: serials {0, 1}.. in order, then the end.
struct FakeProcesses {
  struct Process {
    OSType type, signature;
    OSErr infoStatus;
  };
  explicit FakeProcesses(std::vector<Process> list) : processes(std::move(list)) {
    current = this;
    gSystemCalls.getNextProcess = [](ProcessSerialNumber* serial) -> OSErr {
      ++current->steps;
      if (serial->low >= current->processes.size()) return kErrProcessNotFound;
      serial->high = 0;
      ++serial->low;
      return 0;
    };
    gSystemCalls.getProcessTypeAndSignature = [](const ProcessSerialNumber* serial, OSType* type,
                                                 OSType* signature) -> OSErr {
      const Process& p = current->processes.at(serial->low - 1);
      if (p.infoStatus != 0) return p.infoStatus;
      *type = p.type;
      *signature = p.signature;
      return 0;
    };
  }
  ~FakeProcesses() { current = nullptr; }
  FakeProcesses(const FakeProcesses&) = delete;
  FakeProcesses& operator=(const FakeProcesses&) = delete;

  static inline FakeProcesses* current = nullptr;
  std::vector<Process> processes;
  int steps = 0;
};

TEST_F(ShellServicesTest, FindProcessWalksTheListForAnApplication) {
  FakeProcesses list({{FOUR_CHAR_CODE("APPL"), FOUR_CHAR_CODE("aaaa"), 0},
                      {FOUR_CHAR_CODE("appe"), FOUR_CHAR_CODE("bbbb"), 0},
                      {FOUR_CHAR_CODE("APPL"), FOUR_CHAR_CODE("cccc"), -43},
                      {FOUR_CHAR_CODE("APPL"), FOUR_CHAR_CODE("bbbb"), 0}});
  struct Case {
    OSType creator;
    OSErr status;
    UInt32 low;
  } cases[] = {
      {FOUR_CHAR_CODE("aaaa"), 0, 1},
      {FOUR_CHAR_CODE("bbbb"), 0, 4},                     // not the background-only one before it
      {FOUR_CHAR_CODE("cccc"), kErrProcessNotFound, 99},  // unreadable: skipped
      {FOUR_CHAR_CODE("zzzz"), kErrProcessNotFound, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Code(c.creator));
    ProcessSerialNumber serial{99, 99};
    EXPECT_EQ(FindProcessBySignature(c.creator, &serial), c.status);
    EXPECT_EQ(serial.low, c.low);
  }
  EXPECT_EQ(FindProcessBySignature(FOUR_CHAR_CODE("aaaa"), nullptr), 0);
}

// 'quit' of class 'aevt' goes to the found serial as an 8-byte 'psn '; both
// descriptors are released whatever fails.
TEST_F(ShellServicesTest, QuitSendsQuitToTheProcessSerial) {
  const std::string psn = "descriptor psn  {0, 2}";
  const std::string quit = "event aevt/quit to d1 return -1 transaction 0";
  struct Case {
    const char* failing;
    OSErr status;
    std::vector<std::string> log;
  } cases[] = {
      {"", 0, {psn, quit, "send d2 mode 1", "dispose d2", "dispose d1"}},
      {"descriptor", -1712, {psn, "dispose null", "dispose null"}},
      {"event", -1712, {psn, quit, "dispose null", "dispose d1"}},
      {"send", -1712, {psn, quit, "send d2 mode 1", "dispose d2", "dispose d1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    FakeProcesses list(
        {{FOUR_CHAR_CODE("APPL"), FOUR_CHAR_CODE("aaaa"), 0}, {FOUR_CHAR_CODE("APPL"), FOUR_CHAR_CODE("bbbb"), 0}});
    RecordingPlatform platform;
    if (*c.failing) platform.failures[c.failing] = c.status;
    EXPECT_EQ(QuitApplicationBySignature(FOUR_CHAR_CODE("bbbb")), c.status);
    EXPECT_EQ(platform.log, c.log);
  }
  FakeProcesses none({});
  RecordingPlatform platform;
  EXPECT_EQ(QuitApplicationBySignature(FOUR_CHAR_CODE("bbbb")), kErrProcessNotFound);
  EXPECT_TRUE(platform.log.empty());
}

// An internet-preference store of the fake's: records by key, a status to
// answer for every read, and counts of opens and closes.
struct FakePrefsStore {
  FakePrefsStore() {
    current = this;
    SystemCallTable& t = gSystemCalls;
    t.openInternetPrefs = [](OSType signature, void** out) -> OSStatus {
      current->signature = signature;
      if (current->openStatus != 0) return current->openStatus;
      ++current->opens;
      *out = current;
      return 0;
    };
    t.closeInternetPrefs = [](void* store) -> OSStatus {
      EXPECT_EQ(store, current);
      ++current->closes;
      return 0;
    };
    t.getInternetPref = [](void*, ConstStr255Param key, UInt32*, void* buffer, SInt32* ioSize) -> OSStatus {
      current->keys.push_back(PText(key));
      if (current->readStatus != 0) return current->readStatus;
      const auto found = current->records.find(PText(key));
      if (found == current->records.end()) return kErrPrefNotFound;
      const SInt32 size = std::min<SInt32>(*ioSize, static_cast<SInt32>(found->second.size()));
      std::memcpy(buffer, found->second.data(), size);
      *ioSize = size;
      return 0;
    };
    t.setInternetPref = [](void*, ConstStr255Param key, UInt32 attributes, const void* data, SInt32 size) -> OSStatus {
      EXPECT_EQ(attributes, 0xFFFFFFFFu);
      current->records[PText(key)] = Bytes(data, size);
      ++current->writes;
      return 0;
    };
    t.deleteInternetPref = [](void*, ConstStr255Param key) -> OSStatus {
      current->records.erase(PText(key));
      ++current->deletes;
      return 0;
    };
  }
  ~FakePrefsStore() { current = nullptr; }
  FakePrefsStore(const FakePrefsStore&) = delete;
  FakePrefsStore& operator=(const FakePrefsStore&) = delete;

  static std::string Record(OSType creator, const std::string& name, UInt8 nameLength) {
    HelperApplicationRecord record{};
    record.creator = creator;
    record.name[0] = nameLength;
    std::memcpy(record.name + 1, name.data(), std::min<size_t>(name.size(), sizeof record.name - 1));
    return Bytes(&record, sizeof record);
  }
  static std::string Record(OSType creator, const std::string& name) {
    return Record(creator, name, static_cast<UInt8>(name.size()));
  }

  static inline FakePrefsStore* current = nullptr;
  std::map<std::string, std::string> records;
  std::vector<std::string> keys;
  OSType signature = 0;
  OSStatus openStatus = 0, readStatus = 0;
  int opens = 0, closes = 0, writes = 0, deletes = 0;
};

const std::string kMailKey = "Helper\xE2\x80\xA2mailto";

TEST_F(ShellServicesTest, HelperApplicationIsReadUnderTheSchemeKey) {
  const auto scheme = PBytes("mailto");
  struct Case {
    const char* label;
    std::string stored;  // empty: no record
    OSStatus readStatus;
    OSStatus status;
    std::string name;
    OSType creator;
  } cases[] = {
      {"stored", FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Mail"), 0, 0, "Mail", FOUR_CHAR_CODE("MAIL")},
      {"cut to 31", FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), std::string(40, 'n')), 0, 0, std::string(31, 'n'),
       FOUR_CHAR_CODE("MAIL")},
      // A damaged record claims more name than its field holds.
      {"length byte past the field", FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), std::string(63, 'm'), 200), 0, 0,
       std::string(31, 'm'), FOUR_CHAR_CODE("MAIL")},
      {"not found", "", 0, kErrPrefNotFound, "old", 0},
      {"store fails", FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Mail"), -5, -5, "old", 0},
  };
  ApplicationCreator = FOUR_CHAR_CODE("Kstv");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakePrefsStore store;
    if (!c.stored.empty()) store.records[kMailKey] = c.stored;
    store.readStatus = c.readStatus;
    Str31 name = {3, 'o', 'l', 'd'};
    OSType creator = 0;
    EXPECT_EQ(GetHelperApplication(scheme.data(), name, &creator), c.status);
    EXPECT_EQ(PText(name), c.name);
    EXPECT_EQ(creator, c.creator);
    EXPECT_EQ(store.signature, FOUR_CHAR_CODE("Kstv"));
    EXPECT_EQ(store.keys, std::vector<std::string>{kMailKey});
    EXPECT_EQ(store.closes, 1);
  }
}

TEST_F(ShellServicesTest, SetHelperApplicationWritesOnlyAChange) {
  const auto scheme = PBytes("mailto");
  const auto mail = PBytes("Mail");
  ApplicationCreator = FOUR_CHAR_CODE("Kstv");
  CToPStr("Kestrova", ApplicationName);
  struct Case {
    const char* label;
    std::string stored;
    OSStatus readStatus;
    const UInt8* name;
    OSType creator;
    OSStatus status;
    std::string written;  // empty: nothing written
  } cases[] = {
      {"new", "", 0, mail.data(), FOUR_CHAR_CODE("MAIL"), 0, FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Mail")},
      {"other creator", FakePrefsStore::Record(FOUR_CHAR_CODE("OLDM"), "Old"), 0, mail.data(), FOUR_CHAR_CODE("MAIL"),
       0, FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Mail")},
      {"same creator", FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Old"), 0, mail.data(), FOUR_CHAR_CODE("MAIL"), 0,
       ""},
      {"ourselves", "", 0, nullptr, 0, 0, FakePrefsStore::Record(FOUR_CHAR_CODE("Kstv"), "Kestrova")},
      {"ourselves already", FakePrefsStore::Record(FOUR_CHAR_CODE("Kstv"), "Kestrova"), 0, nullptr, 0, 0, ""},
      {"store fails", "", -5, mail.data(), FOUR_CHAR_CODE("MAIL"), -5, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakePrefsStore store;
    if (!c.stored.empty()) store.records[kMailKey] = c.stored;
    store.readStatus = c.readStatus;
    EXPECT_EQ(SetHelperApplication(scheme.data(), c.name, c.creator), c.status);
    EXPECT_EQ(store.writes, c.written.empty() ? 0 : 1);
    EXPECT_EQ(store.records[kMailKey], c.written.empty() ? c.stored : c.written);
    EXPECT_EQ(store.opens, 1);
    EXPECT_EQ(store.closes, 1);
  }
}

TEST_F(ShellServicesTest, DeleteHelperApplicationAndBadKeys) {
  const auto scheme = PBytes("mailto");
  {
    FakePrefsStore store;
    store.records[kMailKey] = FakePrefsStore::Record(FOUR_CHAR_CODE("MAIL"), "Mail");
    EXPECT_EQ(DeleteHelperApplication(scheme.data()), 0);
    EXPECT_EQ(store.deletes, 1);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(DeleteHelperApplication(scheme.data()), kErrPrefNotFound);
    EXPECT_EQ(store.deletes, 1);
    EXPECT_EQ(store.closes, 2);
  }
  {
    // A store that does not open is not closed.
    FakePrefsStore store;
    store.openStatus = -7;
    EXPECT_EQ(DeleteHelperApplication(scheme.data()), -7);
    EXPECT_EQ(store.closes, 0);
  }
  // The key would pass 255 characters: refused before the store is asked.
  FakePrefsStore store;
  const auto longScheme = PBytes(std::string(250, 's'));
  Str31 name = {0};
  OSType creator = 0;
  EXPECT_EQ(GetHelperApplication(longScheme.data(), name, &creator), kErrParam);
  EXPECT_EQ(SetHelperApplication(longScheme.data(), nullptr, 0), kErrParam);
  EXPECT_EQ(DeleteHelperApplication(longScheme.data()), kErrParam);
  EXPECT_EQ(store.opens, 0);
  const auto longest = PBytes(std::string(255 - 9, 's'));
  EXPECT_EQ(GetHelperApplication(longest.data(), name, &creator), kErrPrefNotFound);
  EXPECT_EQ(store.keys.at(0).size(), 255u);
}

// A listing of bundles the test made: each with its folder URL and an
// identifier value (a string, another kind of object, or none).
struct FakeBundleListing {
  FakeBundleListing() {
    current = this;
    SystemCallTable& t = gSystemCalls;
    t.createBundlesInDirectory = [](const URLObject* folder) -> void* {
      char path[256];
      EXPECT_TRUE(GetURLPath(folder, 0, path, sizeof path));
      current->folder = path;
      ++current->listings;
      return current->listed ? current : nullptr;
    };
    t.countBundles = [](const void* list) -> SInt32 {
      EXPECT_EQ(list, current);
      return static_cast<SInt32>(current->bundles.size());
    };
    t.getBundleAt = [](const void*, SInt32 index) -> BundleObject* {
      current->visited.push_back(index);
      return current->bundles.at(index).bundle;
    };
    t.getBundleInfoValue = [](const BundleObject* bundle, const StringObject* key) -> const RefObject* {
      EXPECT_EQ(key->text, "CFBundleIdentifier");
      for (const Entry& e : current->bundles)
        if (e.bundle == bundle) return e.value;
      return nullptr;
    };
    t.releaseBundleList = [](void* list) {
      EXPECT_EQ(list, current);
      ++current->releases;
    };
    t.openItem = [](const FileSpec* item) -> OSStatus {
      char path[kPathBufferSize];
      EXPECT_EQ(GetFileSpecPath(item, path, sizeof path), 0);
      current->opened.push_back(path);
      return current->openStatus;
    };
  }
  ~FakeBundleListing() {
    for (Entry& e : bundles) {
      ReleaseObject(e.bundle);
      if (e.value) ReleaseObject(e.value);
    }
    current = nullptr;
  }
  FakeBundleListing(const FakeBundleListing&) = delete;
  FakeBundleListing& operator=(const FakeBundleListing&) = delete;

  void Add(const std::string& path, RefObject* value) {
    StringObject* text = CreateString(nullptr, path.c_str(), kDefaultTextEncoding);
    URLObject* url = CreateURLWithPath(nullptr, text, 0, 1);
    ReleaseObject(text);
    bundles.push_back(Entry{CreateBundleObject(nullptr, url), value});
    ReleaseObject(url);
  }
  static RefObject* Id(const std::string& text) { return CreateString(nullptr, text.c_str(), kDefaultTextEncoding); }

  struct Entry {
    BundleObject* bundle;
    RefObject* value;
  };
  static inline FakeBundleListing* current = nullptr;
  std::vector<Entry> bundles;
  bool listed = true;
  std::string folder;
  std::vector<SInt32> visited;
  std::vector<std::string> opened;
  OSStatus openStatus = 0;
  int listings = 0, releases = 0;
};

TEST_F(ShellServicesTest, PreferencePaneWalksTheListingFromTheLast) {
  testsupport::TempDir dir;
  const auto wanted = PBytes("com.example.pane");
  const std::string a = dir / "A.prefPane", b = dir / "B.prefPane", c = dir / "C.prefPane";
  const std::string tooLong = "/" + std::string(5000, 'x');
  struct Case {
    const char* label;
    std::function<void(FakeBundleListing&)> fill;
    OSStatus openStatus;
    OSStatus status;
    std::vector<std::string> opened;
    std::vector<SInt32> visited;
  } cases[] = {
      {"the last match opens",
       [&](FakeBundleListing& l) {
         l.Add(a, FakeBundleListing::Id("com.example.pane"));
         l.Add(b, FakeBundleListing::Id("com.example.other"));
         l.Add(c, FakeBundleListing::Id("com.example.pane"));
       },
       0,
       0,
       {c},
       {2}},
      {"the opener's status is answered",
       [&](FakeBundleListing& l) { l.Add(a, FakeBundleListing::Id("com.example.pane")); },
       -10814,
       -10814,
       {a},
       {0}},
      {"identifiers that do not match or fit",
       [&](FakeBundleListing& l) {
         l.Add(a, FakeBundleListing::Id("com.example.pane"));
         l.Add(b, FakeBundleListing::Id("com.example.pan"));
         l.Add(c, FakeBundleListing::Id("com.example.pane" + std::string(250, 'e')));
         l.Add(c, nullptr);
       },
       0,
       0,
       {a},
       {3, 2, 1, 0}},
      {"a value of another kind",
       [&](FakeBundleListing& l) {
         StringObject* text = CreateString(nullptr, "com.example.pane", kDefaultTextEncoding);
         l.Add(a, CreateURLWithPath(nullptr, text, 0, 0));
         ReleaseObject(text);
       },
       0,
       kErrFileNotFound,
       {},
       {0}},
      {"a folder that does not convert is passed over",
       [&](FakeBundleListing& l) {
         l.Add(a, FakeBundleListing::Id("com.example.pane"));
         l.Add(tooLong, FakeBundleListing::Id("com.example.pane"));
       },
       0,
       0,
       {a},
       {1, 0}},
      {"none matches",
       [&](FakeBundleListing& l) { l.Add(a, FakeBundleListing::Id("other")); },
       0,
       kErrFileNotFound,
       {},
       {0}},
      {"an empty listing", [](FakeBundleListing&) {}, 0, kErrFileNotFound, {}, {}},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.label);
    FakeBundleListing listing;
    cs.fill(listing);
    listing.openStatus = cs.openStatus;
    EXPECT_EQ(OpenPreferencePane(wanted.data()), cs.status);
    EXPECT_EQ(listing.folder, "/System/Library/PreferencePanes/");
    EXPECT_EQ(listing.opened, cs.opened);
    EXPECT_EQ(listing.visited, cs.visited);
    EXPECT_EQ(listing.releases, 1);
  }
}

TEST_F(ShellServicesTest, PreferencePaneSwitchAndMissingListing) {
  FakeBundleListing listing;
  listing.Add("/tmp/A.prefPane", FakeBundleListing::Id("com.example.pane"));
  const auto wanted = PBytes("com.example.pane");
  PreferencePaneSwitch = 0;
  EXPECT_EQ(OpenPreferencePane(wanted.data()), 0);
  PreferencePaneSwitch = 1;
  EXPECT_EQ(listing.listings, 0);
  listing.listed = false;
  EXPECT_EQ(OpenPreferencePane(wanted.data()), kErrFileNotFound);
  EXPECT_EQ(listing.listings, 1);
  EXPECT_EQ(listing.releases, 0);
  EXPECT_TRUE(listing.opened.empty());
}

TEST_F(ShellServicesTest, ControlPanelNeedsTheFolderServices) {
  struct Case {
    OSErr attributeStatus;
    SInt32 value;
    OSErr status;
  } cases[] = {
      {-1, 1, 1},
      {0, 2, 1},
      // With them, the control-panel folder is asked for; there is none here.
      {0, 1, kErrMemFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    static const Case* current;
    current = &c;
    gSystemCalls.getSystemAttribute = [](OSType selector, SInt32* value) -> OSErr {
      EXPECT_EQ(selector, FOUR_CHAR_CODE("fold"));
      if (current->attributeStatus == 0) *value = current->value;
      return current->attributeStatus;
    };
    EXPECT_EQ(OpenControlPanel(FOUR_CHAR_CODE("abcd")), c.status);
  }
}

TEST_F(ShellServicesTest, LaunchAndRevealUseTheFilesPath) {
  testsupport::TempDir dir;
  FileSpec spec{};
  ASSERT_EQ(MakeFileSpecFromPath((dir / "Game.app").c_str(), &spec), 0);

  static std::string launched;
  launched.clear();
  gSystemCalls.launchApplication = [](const FileClass* application) -> OSErr {
    char path[kPathBufferSize];
    EXPECT_EQ(GetFileSpecPath(application->spec(), path, sizeof path), 0);
    EXPECT_EQ(application->isOpen, 0);
    launched = path;
    return -3;
  };
  EXPECT_EQ(LaunchApplicationFile(spec.vRefNum, spec.parID, spec.name), -3);
  EXPECT_EQ(launched, dir / "Game.app");
  launched.clear();
  const auto longName = PBytes(std::string(200, 'n'));
  EXPECT_EQ(LaunchApplicationFile(spec.vRefNum, spec.parID, longName.data()), kErrBadName);
  EXPECT_EQ(launched, "");

  static std::string script;
  gSystemCalls.compileScript = [](void*, const char* text, SInt32 length, void**) -> OSErr {
    script.assign(text, length);
    return 0;
  };
  RevealFileSpecInFinder(&spec);
  EXPECT_EQ(script, "tell application \"Finder\"\n  activate\n  set filePath to \"" + (dir / "Game.app") +
                        "\"\n  reveal filePath as POSIX file\nend tell");
}

}  // namespace
