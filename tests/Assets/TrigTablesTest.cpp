// The sine and cosine tables, read with a big-endian reader of our own.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> ReadTable(const char* name) {
  std::ifstream in(std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources/" + name, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int32_t> values;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4)
    values.push_back(static_cast<int32_t>(static_cast<uint32_t>(bytes[i]) << 24 | static_cast<uint32_t>(bytes[i + 1]) << 16 |
                                          static_cast<uint32_t>(bytes[i + 2]) << 8 | bytes[i + 3]));
  if (bytes.size() != 1440) values.clear();
  return values;
}

std::vector<unsigned char> FirstBytes(const char* name, size_t offset) {
  std::ifstream in(std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources/" + name, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<unsigned char> out(4);
  in.read(reinterpret_cast<char*>(out.data()), 4);
  return out;
}

class TrigTables : public ::testing::Test {
 protected:
  void SetUp() override {
    cos_ = ReadTable("COS Table 360");
    sin_ = ReadTable("SIN Table 360");
    ASSERT_EQ(360u, cos_.size());
    ASSERT_EQ(360u, sin_.size());
  }
  std::vector<int32_t> cos_, sin_;
};

TEST_F(TrigTables, KeyDegreesAndTheirBytes) {
  EXPECT_EQ((std::vector<unsigned char>{0x00, 0x00, 0x01, 0x00}), FirstBytes("COS Table 360", 0));
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0x00}), FirstBytes("COS Table 360", 180 * 4));
  struct Case {
    const std::vector<int32_t>* table;
    int degree;
    int32_t value;
  };
  const Case cases[] = {{&cos_, 0, 256},  {&cos_, 180, -256}, {&sin_, 90, 256},  {&sin_, 270, -256},
                        {&cos_, 60, 128}, {&sin_, 30, 128},   {&cos_, 45, 181},  {&sin_, 45, 181},
                        {&cos_, 90, 0},   {&cos_, 270, 0},    {&sin_, 0, 0},     {&sin_, 180, 0}};
  for (const Case& c : cases) EXPECT_EQ(c.value, (*c.table)[static_cast<size_t>(c.degree)]) << c.degree;
}

TEST_F(TrigTables, CosineIsSineAQuarterOnAndAllInRange) {
  for (int d = 0; d < 360; ++d) {
    EXPECT_EQ(cos_[static_cast<size_t>(d)], sin_[static_cast<size_t>((d + 90) % 360)]) << d;
    EXPECT_LE(-256, cos_[static_cast<size_t>(d)]);
    EXPECT_GE(256, cos_[static_cast<size_t>(d)]);
  }
}

// The spark step: x = trunc(x + ((COS x (speed / 2)) >> 8) x 0.33334), from x = 0.
TEST_F(TrigTables, SparkStepMovesAsTheGameExpects) {
  auto step = [](int32_t table, int32_t speed) {
    const int32_t product = table * (speed / 2);
    return static_cast<int32_t>(0.0 + static_cast<double>(product >> 8) * 0.33334);
  };
  EXPECT_EQ(85, step(cos_[0], 512));
  EXPECT_EQ(0, step(sin_[0], 512));
  EXPECT_EQ(0, step(cos_[90], 512));
  EXPECT_EQ(85, step(sin_[90], 512));
  EXPECT_EQ(-85, step(cos_[180], 512));
}

}  // namespace
