#include <random>
#include <string>
#include <vector>

#include "AppCallbacks.h"
#include "DialogItems.h"
#include "DialogTestSupport.h"
#include "NibWindows.h"
#include "Random.h"
#include "Replay.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

int gEndHooks = 0;

class ReplayTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InitDialogDefaults();
    InitNibHandlers();
    InitReplay();
    gEndHooks = 0;
    AppCallbacks.replayEnd = [] { ++gEndHooks; };
  }
  void TearDown() override {
    ExitReplay();
    InitReplay();
    AppCallbacks.replayEnd = nullptr;
    ShellTest::TearDown();
  }

  size_t WindowsCreated() const {
    size_t n = 0;
    for (const auto& line : backend.log()) n += line.rfind("create ", 0) == 0;
    return n;
  }

  TempDir dir;
};

TEST_F(ReplayTest, BitsAndByteMakeTheExactFileAndPlayBack) {
  const std::string path = dir / "run.rpl";
  ASSERT_EQ(OpenReplayRecording(path.c_str(), nullptr), 0);
  RandomSeed = 0x01020304;
  StartRecording();
  EXPECT_EQ(ReplayBool(1), 1);
  EXPECT_EQ(ReplayBool(0), 0);
  EXPECT_EQ(ReplayBool(1), 1);
  EXPECT_EQ(ReplayByte(0x01), 0x01);
  StopReplay();
  EXPECT_EQ(gEndHooks, 1);
  EXPECT_EQ(ReadFile(path), std::string("\x01\x02\x03\x04\xB0\x00", 6));
  EXPECT_EQ(Replay.dataLength, 6u);

  RandomSeed = 99;
  ASSERT_EQ(OpenReplayPlayback(path.c_str(), 0, nullptr, 0), 0);
  StartPlayback();
  EXPECT_EQ(RandomSeed, 0x01020304u);
  EXPECT_EQ(ReplayBool(0), 1);
  EXPECT_EQ(ReplayBool(1), 0);
  EXPECT_EQ(ReplayBool(0), 1);
  EXPECT_EQ(ReplayByte(0xFF), 0x01);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ReplayBool(1), 0) << i;
  EXPECT_EQ(Replay.mode, kReplayPlaying);
  EXPECT_EQ(ReplayBool(1), 1);  // the stream has run out: the argument
  EXPECT_EQ(Replay.mode, kReplayEnded);
  EXPECT_EQ(ReplayLong(0xDEADBEEF), 0xDEADBEEFu);
  EXPECT_EQ(gEndHooks, 2);
}

struct Value {
  int width;
  UInt32 value;
};

std::vector<Value> RandomValues(unsigned seed, size_t count) {
  std::mt19937 rng(seed);
  const int widths[] = {1, 8, 16, 32};
  std::vector<Value> values;
  for (size_t i = 0; i < count; ++i) {
    const int w = widths[rng() % 4];
    values.push_back({w, w == 32 ? static_cast<UInt32>(rng()) : static_cast<UInt32>(rng() & ((1u << w) - 1))});
  }
  return values;
}

UInt32 Play(const Value& v, UInt32 argument) {
  switch (v.width) {
    case 1:
      return ReplayBool(static_cast<Boolean>(argument & 1));
    case 8:
      return ReplayByte(static_cast<UInt8>(argument));
    case 16:
      return ReplayShort(static_cast<UInt16>(argument));
    default:
      return ReplayLong(argument);
  }
}

TEST_F(ReplayTest, RandomValuesOfEveryWidthRoundTripAndAppendedRecordingsStayWhole) {
  const std::string path = dir / "run.rpl";
  const auto first = RandomValues(1, 10000), second = RandomValues(2, 3000);
  ASSERT_EQ(OpenReplayRecording(path.c_str(), nullptr), 0);
  RandomSeed = 11;
  StartRecording();
  for (const auto& v : first) ASSERT_EQ(Play(v, v.value), v.value);
  StopReplay();
  EXPECT_EQ(ReplayDataStart(), 0);
  const std::string firstBytes = ReadFile(path);

  ASSERT_EQ(OpenReplayRecording(path.c_str(), nullptr), 0);
  RandomSeed = 22;
  StartRecording();
  for (const auto& v : second) Play(v, v.value);
  StopReplay();
  const long secondStart = ReplayDataStart();
  EXPECT_EQ(secondStart, static_cast<long>(firstBytes.size()));
  EXPECT_EQ(ReadFile(path).substr(0, firstBytes.size()), firstBytes);
  EXPECT_EQ(GetRecordedKilobytes(), ReadFile(path).size() / 1024);

  for (const auto& [start, values, seed] :
       {std::tuple{0L, &first, 11u}, std::tuple{secondStart, &second, 22u}}) {
    ASSERT_EQ(OpenReplayPlayback(path.c_str(), start, nullptr, 0), 0);
    StartPlayback();
    EXPECT_EQ(RandomSeed, seed);
    for (size_t i = 0; i < values->size(); ++i) {
      const Value& v = (*values)[i];
      ASSERT_EQ(Play(v, ~v.value & (v.width == 32 ? ~0u : (1u << v.width) - 1)), v.value) << i;
    }
    StopReplay();
  }
}

// Records values with checkpoints; plenty of values follow the last one, so
// the end of the data is still far away when it is compared.
void RecordWithCheckpoints(const std::string& data, const std::string& sync) {
  ASSERT_EQ(OpenReplayRecording(data.c_str(), sync.c_str()), 0);
  RandomSeed = 5;
  StartRecording();
  for (int i = 0; i < 4; ++i) {
    ReplayByte(static_cast<UInt8>(i));
    NextRandom();
    ReplayCheckpoint(("src/Game" + std::to_string(i) + ".cpp").c_str(), 100 + i, "Step");
  }
  for (int i = 0; i < 64; ++i) ReplayLong(0x12345678);
  StopReplay();
  EXPECT_EQ(ReadFile(sync).size(), 32u);
}

TEST_F(ReplayTest, AfterAReportOrAShortSyncRecordEveryValueStillPlaysBack) {
  struct Case {
    const char* name;
    bool cutSync;  // to one short record: nothing is ever compared
    const char* report;
  };
  for (const Case& c :
       {Case{"seed flipped", false, "Replay seed is out of sync!\r\r\rLine #100\rGame0.cpp()\rLine #101\rGame1.cpp()"},
        Case{"sync cut short", true, nullptr}}) {
    SCOPED_TRACE(c.name);
    InitReplay();
    const std::string data = dir / (std::string(c.name) + ".d"), sync = dir / (std::string(c.name) + ".s");
    RecordWithCheckpoints(data, sync);
    if (c.cutSync) {
      ASSERT_TRUE(WriteFile(sync, std::string("\0\0\0\0", 4)));
    }
    FakeControls controls;
    ASSERT_EQ(OpenReplayPlayback(data.c_str(), 0, sync.c_str(), 0), 0);
    StartPlayback();
    const size_t windowsBefore = WindowsCreated();
    Rect shown{};
    controls.onModalLoop = [&](WindowRef w) { GetWindowRegionRect(w, kWindowContentRgn, &shown); };
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(ReplayByte(0xEE), i);
      NextRandom();
      if (i == 1) RandomSeed ^= 1;  // the runs part here
      ReplayCheckpoint(("src/Game" + std::to_string(i) + ".cpp").c_str(), 100 + i, "Step");
    }
    int played = 0;
    for (int i = 0; i < 64; ++i) played += ReplayLong(0) == 0x12345678u;
    EXPECT_EQ(played, 64);
    EXPECT_EQ(Replay.mode, kReplayPlaying);
    EXPECT_EQ(ReplayLong(0xDEADBEEF), 0xDEADBEEFu);  // the recording's own end
    EXPECT_EQ(Replay.mode, kReplayEnded);

    const auto texts = controls.OfKind(kItemStaticText);
    if (!c.report) {
      EXPECT_EQ(WindowsCreated(), windowsBefore);
      EXPECT_TRUE(texts.empty());
      continue;
    }
    EXPECT_EQ(WindowsCreated() - windowsBefore, 1u);
    EXPECT_EQ(shown.right - shown.left, 408);
    EXPECT_EQ(shown.bottom - shown.top, 152);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->data.at(FOUR_CHAR_CODE("text")), c.report);
    const auto buttons = controls.OfKind(kItemPushButton);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->title, "OK");
    EXPECT_EQ(buttons[1]->title, "Quit");
    EXPECT_EQ(buttons[1]->command, FOUR_CHAR_CODE("quit"));
  }
}

TEST_F(ReplayTest, ACounterMismatchIsReportedAsTheSpot) {
  const std::string data = dir / "d", sync = dir / "s";
  RecordWithCheckpoints(data, sync);
  FakeControls controls;
  ASSERT_EQ(OpenReplayPlayback(data.c_str(), 0, sync.c_str(), 0), 0);
  StartPlayback();
  ReplayByte(0);
  ReplayBool(0);  // one bit the recording never had
  NextRandom();
  ReplayCheckpoint("a/b/Loop.cpp", 7, "Step");
  const auto texts = controls.OfKind(kItemStaticText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->data.at(FOUR_CHAR_CODE("text")).rfind("Replay spot is out of sync!\r\r", 0), 0u);
}

TEST_F(ReplayTest, FailedWritesStopTheRecording) {
  // The data file itself, then only the sync file, cannot be written.
  for (bool syncFails : {false, true}) {
    SCOPED_TRACE(syncFails ? "sync on a full disk" : "data on a full disk");
    InitReplay();
    const std::string data = syncFails ? dir / "ok" : "/dev/full";
    ASSERT_EQ(OpenReplayRecording(data.c_str(), syncFails ? "/dev/full" : nullptr), 0);
    const int hooksBefore = gEndHooks;
    StartRecording();
    ReplayLong(7);
    ReplayCheckpoint("x.cpp", 1, "f");
    EXPECT_EQ(ReplayWriteFailed, 1);
    EXPECT_EQ(Replay.mode, kReplayEnded);
    EXPECT_EQ(Replay.data, nullptr);
    EXPECT_EQ(Replay.sync, nullptr);
    EXPECT_EQ(gEndHooks, hooksBefore + 1);
    EXPECT_EQ(ReplayLong(3), 3u);
    if (!syncFails) {
      EXPECT_EQ(Replay.dataLength, 0u);
    }
  }
}

TEST_F(ReplayTest, ASeedCutShortEndsPlaybackAtOnce) {
  const std::string path = dir / "short";
  ASSERT_TRUE(WriteFile(path, "\x01\x02"));
  RandomSeed = 1234;
  ASSERT_EQ(OpenReplayPlayback(path.c_str(), 0, nullptr, 0), 0);
  StartPlayback();
  EXPECT_EQ(Replay.mode, kReplayEnded);
  EXPECT_EQ(RandomSeed, 1234u);
  EXPECT_EQ(gEndHooks, 1);
  EXPECT_EQ(ReplayByte(9), 9);
}

TEST_F(ReplayTest, OpeningIsRefusedWhileBusy) {
  const std::string path = dir / "r";
  ASSERT_EQ(OpenReplayRecording(path.c_str(), nullptr), 0);
  StartRecording();
  EXPECT_EQ(OpenReplayRecording(path.c_str(), nullptr), -1);
  EXPECT_EQ(OpenReplayPlayback(path.c_str(), 0, nullptr, 0), -1);
  EXPECT_EQ(Replay.mode, kReplayRecording);
  ExitReplay();  // the exit keeps the last chunk
  EXPECT_EQ(ReadFile(path).size(), 4u);
  EXPECT_EQ(OpenReplayPlayback((dir / "missing").c_str(), 0, nullptr, 0), -1);
}

TEST_F(ReplayTest, TheExitLeavesTheRecorderIdle) {
  const std::string path = dir / "r";
  ASSERT_EQ(OpenReplayRecording(path.c_str(), nullptr), 0);
  StartRecording();
  for (int i = 0; i < 4; ++i) ReplayLong(0x12345678);
  StopReplay();
  for (bool playing : {true, false}) {
    SCOPED_TRACE(playing ? "playing" : "recording");
    ASSERT_EQ(playing ? OpenReplayPlayback(path.c_str(), 0, nullptr, 0) : OpenReplayRecording(path.c_str(), nullptr), 0);
    playing ? StartPlayback() : StartRecording();
    EXPECT_EQ(ReplayLong(0x12345678), 0x12345678u);
    ExitReplay();
    ASSERT_EQ(Replay.mode, kReplayIdle);  // no file is open to read or write
    EXPECT_EQ(Replay.data, nullptr);
    EXPECT_EQ(ReplayLong(7), 7u);
    EXPECT_EQ(OpenReplayPlayback(path.c_str(), 0, nullptr, 0), 0);
    ExitReplay();
  }
}

TEST_F(ReplayTest, PlaybackWithoutAReplayIsFatal) {
  auto child = testsupport::RunInChild([] {
    InitReplay();
    StartPlayback();
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("Must load a replay first"), std::string::npos) << child.stderrText;
}

TEST_F(ReplayTest, KeyPressesRecordABitThenACheckpoint) {
  const std::string data = dir / "d", sync = dir / "s";
  ASSERT_EQ(OpenReplayRecording(data.c_str(), sync.c_str()), 0);
  StartRecording();
  backend.PressKey(sc::A);
  PollEvents(0xFFFF, nullptr);
  EXPECT_TRUE(ReplayKeyWasPressed(0x00, "k.cpp", 3, "f"));  // 'A' is key code 0
  StopReplay();
  EXPECT_EQ(ReadFile(sync).size(), 8u);
  EXPECT_EQ(ReadFile(sync).substr(4), std::string("\0\0\0\1", 4));
}

}  // namespace
