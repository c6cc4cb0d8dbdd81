#include "RefObjects.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "Sys.h"
#include "TestSupport.h"

namespace {

std::string Path(const URLObject* url, SInt32 size = kPathBufferSize) {
  char buffer[kPathBufferSize];
  if (!GetURLPath(url, 0, buffer, size)) return "<none>";
  return buffer;
}

TEST(RefObjects, CountsAndTypes) {
  StringObject* text = CreateString(nullptr, "abc", GetDefaultTextEncoding());
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(1u, text->refCount);
  EXPECT_EQ(kStringObjectType, text->type);
  EXPECT_EQ(text, RetainObject(text));
  EXPECT_EQ(2u, text->refCount);
  ReleaseObject(text);
  EXPECT_EQ(1u, text->refCount);
  StringObject* copy = CopyString(nullptr, text);
  ReleaseObject(text);
  EXPECT_EQ("abc", copy->text);
  ReleaseObject(copy);
  EXPECT_EQ(nullptr, CreateString(nullptr, nullptr, 0));
  EXPECT_EQ(0x500u, GetDefaultTextEncoding());
  EXPECT_EQ(10, GetMaximumSizeForEncoding(5, 0));
}

TEST(RefObjects, TextCopiesNeedRoom) {
  StringObject abc("abc");
  char c[8] = "zzzzzzz";
  EXPECT_EQ(0, GetStringCText(&abc, c, 3, 0));
  EXPECT_STREQ("zzzzzzz", c);
  EXPECT_EQ(1, GetStringCText(&abc, c, 4, 0));
  EXPECT_STREQ("abc", c);
  EXPECT_EQ(0, GetStringCText(&abc, c, -1, 0));
  unsigned char p[256] = {9};
  EXPECT_EQ(0, GetStringPText(&abc, p, 3, 0));
  EXPECT_EQ(9, p[0]);
  EXPECT_EQ(1, GetStringPText(&abc, p, 4, 0));
  EXPECT_EQ(3, p[0]);
  StringObject wide(std::string(300, 'w').c_str());
  EXPECT_EQ(0, GetStringPText(&wide, p, 1000, 0));
  StringObject full(std::string(255, 'f').c_str());
  EXPECT_EQ(1, GetStringPText(&full, p, 1000, 0));
  EXPECT_EQ(255, p[0]);
  std::string out;
  StringFromCText(&out, "hello");
  EXPECT_EQ("hello", out);
}

TEST(RefObjects, URLsFromPaths) {
  StringObject game("/Game/");
  URLObject* url = CreateURLWithPath(nullptr, &game, 0, 1);
  ASSERT_NE(nullptr, url);
  EXPECT_EQ(kURLObjectType, url->type);
  EXPECT_EQ("file:///Game/", GetURLString(url)->text);
  EXPECT_EQ(nullptr, url->base);
  EXPECT_EQ("/Game/", Path(url));
  // Exactly its length leaves no room for the NUL: refused, never cut.
  char tight[6];
  std::memset(tight, 'x', sizeof tight);
  EXPECT_EQ(0, GetURLPath(url, 0, tight, 6));
  EXPECT_EQ(0, tight[0]);
  EXPECT_EQ("/Game/", Path(url, 7));
  StringObject* copied = CopyURLPathString(url);
  EXPECT_EQ("/Game/", copied->text);
  ReleaseObject(copied);

  StringObject web("http://example.org/x");
  URLObject* remote = CreateURLWithString(nullptr, &web, nullptr);
  EXPECT_EQ("http://example.org/x", remote->string->text);
  EXPECT_EQ("<none>", Path(remote));

  StringObject leaf("Sounds/");
  URLObject* relative = CreateURLWithString(nullptr, &leaf, url);
  ASSERT_NE(nullptr, relative->base);
  EXPECT_EQ("file:///Game/", relative->base->text);
  ReleaseObject(relative);
  ReleaseObject(remote);
  ReleaseObject(url);
}

TEST(RefObjects, AppendingComponentsNeedsAFolder) {
  testsupport::TempDir dir;
  ASSERT_EQ(0, mkdir((dir / "Fonts").c_str(), 0777));
  StringObject folderText(dir.path().c_str());
  URLObject* folder = CreateURLWithPath(nullptr, &folderText, 0, 1);
  StringObject fonts("Fonts");
  URLObject* sub = CreateURLAppendingComponent(nullptr, folder, &fonts, 1);
  ASSERT_NE(nullptr, sub);
  EXPECT_EQ(dir / "Fonts/", Path(sub));
  StringObject file("file.ttf");
  URLObject* item = CreateURLAppendingComponent(nullptr, sub, &file, 0);
  EXPECT_EQ(dir / "Fonts/file.ttf", Path(item));
  EXPECT_EQ(nullptr, CreateURLAppendingComponent(nullptr, item, &file, 0));
  FileSpec spec;
  ASSERT_EQ(1, URLToFileSpec(item, &spec));
  EXPECT_EQ("file.ttf", std::string(reinterpret_cast<char*>(spec.name + 1), spec.name[0]));
  URLObject* back = CreateURLFromFileSpec(nullptr, &spec);
  EXPECT_EQ(dir / "Fonts/file.ttf", Path(back));
  ReleaseObject(back);
  ReleaseObject(item);
  ReleaseObject(sub);
  ReleaseObject(folder);
}

TEST(RefObjects, MainBundleAndResources) {
  std::string saved = ExecutablePath();
  SetExecutablePathForTesting("/opt/T/Kestrova/Contents/MacOS/Kestrova");
  EXPECT_STREQ("/opt/T/Kestrova/Contents/MacOS/Kestrova", GetAppExePath());
  BundleObject* bundle = CFBundleGetMainBundle();
  ASSERT_NE(nullptr, bundle);
  EXPECT_EQ(kBundleObjectType, bundle->type);
  URLObject* url = CopyBundleURL(bundle);
  EXPECT_EQ("/opt/T/Kestrova/", Path(url));
  URLObject* resources = CFBundleCopyResourcesDirectoryURL(bundle);
  EXPECT_EQ("Contents/Resources/", resources->string->text);
  EXPECT_EQ("/opt/T/Kestrova/Contents/Resources/", Path(resources));
  ReleaseObject(resources);
  ReleaseObject(url);
  ReleaseObject(bundle);
  SetExecutablePathForTesting("/x/y");
  EXPECT_EQ(nullptr, CFBundleGetMainBundle());
  SetExecutablePathForTesting(saved);
}

TEST(RefObjects, LookupByWholeName) {
  StringObject exact("AudioDeviceGetProperty");
  StringObject longer("AudioDeviceGetPropertyX");
  StringObject display("CGDisplayCapture");
  EXPECT_EQ(reinterpret_cast<ProcPtr>(&AudioDeviceGetProperty), LookupFunctionByName(nullptr, &exact));
  EXPECT_EQ(nullptr, LookupFunctionByName(nullptr, &longer));
  EXPECT_EQ(nullptr, LookupFunctionByName(nullptr, &display));

  double rate = 0;
  UInt32 size = 8;
  EXPECT_EQ(noErr, AudioDeviceGetProperty(0, 0, 0, FOUR_CHAR_CODE("nsrt"), &size, &rate));
  EXPECT_EQ(44100.0, rate);
  rate = 1;
  size = 4;
  EXPECT_EQ(static_cast<OSStatus>(FOUR_CHAR_CODE("!siz")),
            AudioDeviceGetProperty(0, 0, 0, FOUR_CHAR_CODE("nsrt"), &size, &rate));
  EXPECT_EQ(1.0, rate);
  EXPECT_EQ(static_cast<OSStatus>(FOUR_CHAR_CODE("who?")),
            AudioDeviceGetProperty(0, 0, 0, FOUR_CHAR_CODE("abcd"), &size, &rate));
  UInt32 device = 9;
  size = 4;
  EXPECT_EQ(noErr, AudioHardwareGetProperty(FOUR_CHAR_CODE("dOut"), &size, &device));
  EXPECT_EQ(0u, device);
  EXPECT_EQ(noErr, AudioDeviceSetProperty(0, nullptr, 0, 0, FOUR_CHAR_CODE("nsrt"), 8, &rate));
  EXPECT_EQ(static_cast<OSStatus>(FOUR_CHAR_CODE("!siz")),
            AudioDeviceSetProperty(0, nullptr, 0, 0, FOUR_CHAR_CODE("nsrt"), 4, &rate));
}

TEST(RefObjects, MouseAssociationIsOnlyRecorded) {
  StringObject name("CGAssociateMouseAndMouseCursorPosition");
  auto associate = reinterpret_cast<SInt32 (*)(SInt32)>(LookupFunctionByName(nullptr, &name));
  ASSERT_NE(nullptr, associate);
  int calls = PointerAssociationCallsForTesting();
  associate(0);
  EXPECT_FALSE(IsPointerAssociated());
  associate(1);
  EXPECT_TRUE(IsPointerAssociated());
  EXPECT_EQ(calls + 2, PointerAssociationCallsForTesting());
}

}  // namespace
