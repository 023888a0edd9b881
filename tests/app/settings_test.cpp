#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstdlib>

#include "app/app_settings.h"
#include "app/qt_settings_store.h"
#include "platform/text_encoding.h"
#include "tests/app/memory_store.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using test::MemoryStore;

TEST(AppSettings, FirstRunDefaults) {
    MemoryStore empty;
    const AppSettings s = ReadAppSettings(empty);
    EXPECT_EQ(s.x, 5);
    EXPECT_EQ(s.w, 0);
    EXPECT_EQ(s.purpose, 3);
    EXPECT_EQ(s.host, u"");
    EXPECT_EQ(s.port, 0);
    EXPECT_EQ(s.baud, 1);
    EXPECT_EQ(s.tcp, 5000);
    EXPECT_EQ(s.centerX, 1827768);
    EXPECT_EQ(s.centerY, 989862);
    EXPECT_EQ(s.path, platform::NarrowToWide(std::string(std::getenv("HOME")) + "/Corvane"));
}

TEST(AppSettings, ClampsCutsAndKeyOrder) {
    MemoryStore store;
    store.ints["x"] = -20;
    store.ints["y"] = 4;
    store.ints["purpose"] = 0x1FF;  // an 8-bit value
    store.ints["port"] = 70000;     // a 16-bit value
    store.ints["rinexVersion"] = 4;  // only 3 chooses RINEX 3
    store.texts["host"] = std::u16string(40, u'h');
    store.texts["pass"] = std::u16string(30, u'p') + u"🛰";  // surrogate pair at the limit
    store.texts["path"] = std::u16string(300, u'd');
    const AppSettings s = ReadAppSettings(store);
    EXPECT_EQ(s.x, 5);
    EXPECT_EQ(s.y, 5);
    EXPECT_EQ(s.purpose, -1);
    EXPECT_EQ(s.port, 70000 - 65536);
    EXPECT_EQ(s.host.size(), 31u);
    EXPECT_EQ(s.pass, std::u16string(30, u'p'));
    EXPECT_EQ(s.path.size(), 259u);
    EXPECT_EQ(s.rinexVersion, 2);

    MemoryStore out;
    WriteAppSettings(out, s);
    EXPECT_EQ(out.order,
              "x y w h purpose host port user2 pass path baud data parity stop tcp scale centerX "
              "centerY baseMap tileServer tileUrl rinexVersion ");
}

TEST(QtSettingsStore, EveryKeySurvivesASaveAndALoadInAPrivateFile) {
    test::TempDir home;
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    AppSettings s = DefaultAppSettings();
    s.x = 100;
    s.y = 200;
    s.w = 800;
    s.h = 600;
    s.purpose = -3;
    s.host = u"caster.example";
    s.port = 2102;
    s.user2 = u"사용자";
    s.pass = u"p:w";
    s.path = std::u16string(40, u'o');
    s.baud = 4;
    s.data = 1;
    s.parity = 2;
    s.stop = 1;
    s.tcp = 65535;
    s.scale = 7;
    s.centerX = -1;
    s.centerY = 123456789;
    s.rinexVersion = 3;
    s.baseMap = 1;
    s.tileUrl = u"http://127.0.0.1:8080/{z}/{x}/{y}.png?a=1&b=2";
    std::string file;
    {
        QtSettingsStore store("settings-test");
        WriteAppSettings(store, s);
        store.Sync();
        file = store.FileName();
    }
    EXPECT_EQ(file, home.File("Quillmarsh/settings-test.conf"));
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::string content;
    ASSERT_TRUE(test::ReadFile(file, &content));
    EXPECT_NE(content.find("[setup]"), std::string::npos);

    QtSettingsStore again("settings-test");
    const AppSettings r = ReadAppSettings(again);
    EXPECT_EQ(r.x, 100);
    EXPECT_EQ(r.y, 200);
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 600);
    EXPECT_EQ(r.purpose, -3);
    EXPECT_EQ(r.host, s.host);
    EXPECT_EQ(r.port, 2102);
    EXPECT_EQ(r.user2, s.user2);
    EXPECT_EQ(r.pass, s.pass);
    EXPECT_EQ(r.path, s.path);
    EXPECT_EQ(r.baud, 4);
    EXPECT_EQ(r.data, 1);
    EXPECT_EQ(r.parity, 2);
    EXPECT_EQ(r.stop, 1);
    EXPECT_EQ(r.tcp, 65535);
    EXPECT_EQ(r.scale, 7);
    EXPECT_EQ(r.centerX, -1);
    EXPECT_EQ(r.centerY, 123456789);
    EXPECT_EQ(r.rinexVersion, 3);
    EXPECT_EQ(r.baseMap, 1);
    EXPECT_EQ(r.tileServer, u"");
    EXPECT_EQ(r.tileUrl, s.tileUrl);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace corvane
