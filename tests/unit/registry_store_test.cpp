// The registry store as later runs and users see it: values survive in a
// readable REGEDIT4 file, names match without regard to case, the classic
// result codes come back, and a damaged file is kept, never destroyed.
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/mock_frame_seams.h"
#include "fakes/temp_dir.h"
#include "platform/posix/registry_store.h"
#include "platform/system_info.h"

using namespace mixora;
using ::testing::_;
using ::testing::NiceMock;

namespace {

const char* const kEqKey = "Software\\Ostrel\\AC97 Audio\\EQ";

struct CapturedDebug : IDebugOutput {
    std::vector<std::string> lines;
    void OutputDebugString(const std::string& t) override { lines.push_back(t); }
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
    return std::vector<std::uint8_t>(v.begin(), v.end());
}

std::vector<std::uint8_t> Text(const std::string& s) {
    std::vector<std::uint8_t> out(s.begin(), s.end());
    out.push_back(0);
    return out;
}

} // namespace

TEST(RegistryStore, ValuesSurviveInAReadableFile) {
    TempDir dir;
    const std::string file = dir.File("registry.reg");
    {
        RegistryStore reg(file, nullptr);
        HKEY key = 0;
        ASSERT_EQ(reg.CreateKey(HKEY_LOCAL_MACHINE, kEqKey, &key), ERROR_SUCCESS);
        std::vector<std::uint8_t> record(120, 0);
        record[0] = 0xFF;
        record[1] = 0x03;
        EXPECT_EQ(reg.SetValue(key, "My \"Rock\"", REG_BINARY, record), ERROR_SUCCESS);
        EXPECT_EQ(reg.SetValue(key, "Count", REG_DWORD, Bytes({0x0A, 0, 0, 0})), ERROR_SUCCESS);
        EXPECT_EQ(reg.SetValue(key, "Path", REG_SZ, Text("C:\\x")), ERROR_SUCCESS);
        reg.CloseKey(key);
    }
    std::string text = dir.Read("registry.reg");
    EXPECT_EQ(text.rfind("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n", 0), 0u) << text;
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Ostrel\\AC97 Audio\\EQ]\n"
                        "\"My \\\"Rock\\\"\"=hex:ff,03,00"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"Count\"=dword:0000000a\n\"Path\"=\"C:\\\\x\"\n"), std::string::npos)
        << text;

    RegistryStore again(file, nullptr);
    HKEY key = 0;
    ASSERT_EQ(again.OpenKey(HKEY_LOCAL_MACHINE, "software\\OSTREL\\ac97 audio\\eq", &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    std::uint8_t data[120] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(again.QueryValue(key, "my \"ROCK\"", &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::tuple(type, size, data[0], data[1]), std::tuple(REG_BINARY, 120u, 0xFF, 0x03));
    std::uint8_t text8[16] = {};
    size = sizeof text8;
    ASSERT_EQ(again.QueryValue(key, "PATH", &type, text8, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(reinterpret_cast<char*>(text8), "C:\\x");
}

TEST(RegistryStore, LinesNotUnderstoodAreKeptAndDamageNothing) {
    TempDir dir;
    const std::string text = "REGEDIT4\n# my note\n\n[HKEY_LOCAL_MACHINE\\Software\\Ostrel]\n"
                             "; a comment\n\"Preset\"=dword:00000007\n\"x\"=bogus:12\n"
                             "[NotAKey\\Here]\n\"y\"=dword:00000001\n";
    dir.Write("registry.reg", text);
    CapturedDebug debug;
    NiceMock<MockMessageBox> messages;
    EXPECT_CALL(messages, MessageBox(_, _, _)).Times(0);
    RegistryStore reg(dir.File("registry.reg"), &debug, &messages);
    EXPECT_TRUE(debug.lines.empty());
    HKEY key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Ostrel", &key), ERROR_SUCCESS);
    DWORD type = 0, size = 4;
    std::uint8_t data[4] = {};
    EXPECT_EQ(reg.QueryValue(key, "Preset", &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data[0], 7);
    // A value under the key that was not understood is not taken as a value.
    EXPECT_EQ(reg.QueryValue(key, "y", &type, data, &size), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(reg.SetValue(key, "Preset", REG_DWORD, Bytes({9, 0, 0, 0})), ERROR_SUCCESS);
    const std::string after = dir.Read("registry.reg");
    for (const char* kept :
         {"# my note\n", "; a comment\n", "\"x\"=bogus:12\n",
          "[NotAKey\\Here]\n\"y\"=dword:00000001\n", "\"Preset\"=dword:00000009"})
        EXPECT_NE(after.find(kept), std::string::npos) << kept << " in\n" << after;
}

TEST(RegistryStore, AFileThatIsNoStoreAtAllIsSetAsideAndTheUserToldWhere) {
    TempDir dir;
    const std::string garbage = std::string("\x7F"
                                            "ELF\x02\x01",
                                            6) +
                                std::string(300, '\xEE');
    dir.Write("registry.reg", garbage);
    CapturedDebug debug;
    NiceMock<MockMessageBox> messages;
    std::string told;
    EXPECT_CALL(messages, MessageBox(_, "Mixora", _))
        .WillOnce(::testing::DoAll(::testing::SaveArg<0>(&told), ::testing::Return(IDOK)));
    RegistryStore reg(dir.File("registry.reg"), &debug, &messages);
    HKEY key = 0;
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, "Software", &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(debug.lines.size(), 1u);

    std::string aside;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        if (e.path().filename().string().rfind("registry.reg.damaged-", 0) == 0)
            aside = e.path().filename();
    }
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(dir.Read(aside), garbage);
    EXPECT_NE(told.find(dir.File(aside)), std::string::npos) << told;
}
