#include "gui/base/settings_store.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QSettings>

#include <optional>

#include "support/temp_dir.h"

namespace {

using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

// Points the store at a fresh configuration directory and hides any WINDIR for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<QByteArray>& value) : m_name(name) {
    if (qEnvironmentVariableIsSet(name)) m_old = qgetenv(name);
    if (value)
      qputenv(name, *value);
    else
      qunsetenv(name);
  }
  ~ScopedEnv() {
    if (m_old)
      qputenv(m_name, *m_old);
    else
      qunsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<QByteArray> m_old;
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  ScopedEnv m_config{"XDG_CONFIG_HOME", QByteArray::fromStdString(m_dir.path().string())};
  ScopedEnv m_windir{"WINDIR", std::nullopt};

  void writeIni(const std::string& text) { write_bytes(m_dir.path() / "Dorvane.INI", text); }
  // A store whose base key was just opened; the import runs when asked.
  CSettingsStore openStore(bool import, bool* created = nullptr) {
    CSettingsStore store;
    bool newlyCreated = false;
    EXPECT_TRUE(store.OpenBaseKey(&newlyCreated));
    if (created != nullptr) *created = newlyCreated;
    if (import && newlyCreated) store.ImportIniFile();
    return store;
  }
  std::string fileText() const {
    return read_bytes(m_dir.path() / "Fenwold Software" / "Dorvane.ini");
  }
};

TEST_F(SettingsStoreTest, FirstRunCreatesEmptyBaseKeyAndReadsDefaults) {
  bool created = false;
  CSettingsStore store = openStore(true, &created);
  EXPECT_TRUE(created);
  EXPECT_TRUE(QFile::exists(store.fileName()));
  EXPECT_EQ(store.fileName().toStdString(),
            (m_dir.path() / "Fenwold Software" / "Dorvane.ini").string());
  EXPECT_EQ(store.GetInt("Search", "Limit", 1), 1);
  EXPECT_EQ(store.GetString("Settings", "Drive", ""), "");
  EXPECT_EQ(store.GetString("XportSel", "Starter", "output.txt"), "output.txt");

  CSettingsStore again = openStore(true, &created);
  EXPECT_FALSE(created);
}

TEST_F(SettingsStoreTest, GetIntParsesLikeScanfPercentD) {
  CSettingsStore store = openStore(false);
  const struct {
    const char* text;
    int expected;
  } cases[] = {{" 42", 42},
               {"\t\n-17", -17},
               {"+8", 8},
               {"12abc", 12},
               {"abc", 99},
               {"", 99},
               {"-", 99},
               {"- 5", 99},
               {"0x1F", 0},
               {"007", 7},
               {"99999999999", 2147483647},
               {"-99999999999", -2147483647 - 1}};
  for (const auto& c : cases) {
    store.SetString("T", "v", c.text);
    EXPECT_EQ(store.GetInt("T", "v", 99), c.expected) << '"' << c.text << '"';
  }
  // Integers are stored as decimal texts.
  EXPECT_TRUE(store.SetInt("Screen", "x", -5));
  EXPECT_EQ(store.GetString("Screen", "x", "?"), "-5");
  EXPECT_NE(fileText().find("x=-5"), std::string::npos);
  EXPECT_TRUE(store.SetInt("Screen", "cx", 2147483647));
  EXPECT_EQ(store.GetInt("Screen", "cx", 0), 2147483647);
}

TEST_F(SettingsStoreTest, ValuesOf259BytesOrMoreReadAsAbsent) {
  CSettingsStore store = openStore(false);
  store.SetString("T", "fits", QString(258, u'7'));
  store.SetString("T", "full", QString(259, u'7'));
  store.SetString("T", "long", QString(300, u'7'));
  EXPECT_EQ(store.GetString("T", "fits", "d").size(), 258);
  EXPECT_EQ(store.GetString("T", "full", "d"), "d");
  EXPECT_EQ(store.GetString("T", "long", "d"), "d");
  EXPECT_EQ(store.GetInt("T", "long", 3), 3);
  // The limit counts bytes of the stored text, not characters.
  store.SetString("T", "wide", QString(130, QChar(0xE9)));
  EXPECT_EQ(store.GetString("T", "wide", "d"), "d");
}

TEST_F(SettingsStoreTest, AwkwardNamesAndValuesRoundTrip) {
  CSettingsStore store = openStore(false);
  const QString names[] = {"Limit ", " x",   ";x",  "#x",  "a=b", "",        "a/b",
                           "/lead",  "a\\b", "%2F", "%00", "[x]", "General", "\xC3\xA9t\xC3\xA9"};
  for (const QString& name : names) {
    ASSERT_TRUE(store.SetString("Sec", name, "v" + name)) << name.toStdString();
    ASSERT_TRUE(store.SetString(name, "n", "s" + name)) << name.toStdString();
  }
  for (const QString& name : names) {
    EXPECT_EQ(store.GetString("Sec", name, "?"), "v" + name) << name.toStdString();
    EXPECT_EQ(store.GetString(name, "n", "?"), "s" + name) << name.toStdString();
  }
  EXPECT_EQ(store.GetString("Sec", "Limit", "?"), "?");
  EXPECT_EQ(store.GetString("Sec", "a", "?"), "?");
  for (const QString& value : {QString(" padded "), QString("@Variant(x)"), QString("a, b"),
                               QString("line\nbreak"), QString(";semi")}) {
    store.SetString("V", "v", value);
    EXPECT_EQ(store.GetString("V", "v", "?"), value) << value.toStdString();
  }
}

TEST_F(SettingsStoreTest, NamesCompareWithoutRegardToCase) {
  CSettingsStore store = openStore(false);
  store.SetString("SEARCH", "LIMIT", "0");
  EXPECT_EQ(store.GetInt("Search", "Limit", 1), 0);
  store.SetInt("search", "limit", 1);
  EXPECT_EQ(store.GetInt("SEARCH", "LIMIT", 7), 1);
  // The first spelling stays the stored one.
  EXPECT_NE(fileText().find("[SEARCH]"), std::string::npos);
  EXPECT_EQ(fileText().find("[search]"), std::string::npos);
}

TEST_F(SettingsStoreTest, ReadsAndWritesSeeTheFileAsAnotherProgramLeftIt) {
  CSettingsStore store = openStore(false);
  ASSERT_TRUE(store.SetInt(setting_keys::kSearchLimit, 0));
  EXPECT_EQ(store.GetInt(setting_keys::kSearchLimit), 0);
  write_bytes(store.fileName().toStdString(), "[Search]\nLimit=1\nName=/elsewhere\n");
  EXPECT_EQ(store.GetInt(setting_keys::kSearchLimit), 1);
  EXPECT_EQ(store.GetString(setting_keys::kSearchName, "none"), "/elsewhere");
  EXPECT_EQ(store.GetString(setting_keys::kExportStarter), "output.txt");
  // A write keeps the other program's values beside its own.
  ASSERT_TRUE(store.SetString(setting_keys::kDrive, "/data"));
  EXPECT_NE(fileText().find("Name=/elsewhere"), std::string::npos);
  EXPECT_NE(fileText().find("Drive=/data"), std::string::npos);
}

TEST_F(SettingsStoreTest, FailedWriteReportsFalseAndReadsGiveDefaults) {
  // A regular file where the configuration directory should be: nothing can be created.
  write_bytes(m_dir.path() / "blocked", "x");
  ScopedEnv config("XDG_CONFIG_HOME",
                   QByteArray::fromStdString((m_dir.path() / "blocked").string()));
  CSettingsStore store;
  bool created = true;
  EXPECT_FALSE(store.OpenBaseKey(&created));
  EXPECT_FALSE(created);
  EXPECT_FALSE(store.SetInt("Search", "Limit", 0));
  EXPECT_EQ(store.GetInt("Search", "Limit", 1), 1);
}

TEST_F(SettingsStoreTest, FirstRunImportsTheLegacyIniOnce) {
  writeIni("[Search]\nLimit=0\n[Settings]\nDrive=D\n");
  CSettingsStore store = openStore(true);
  EXPECT_EQ(store.GetString("Search", "Limit", "?"), "0");
  EXPECT_EQ(store.GetInt("Search", "Limit", 1), 0);
  EXPECT_EQ(store.GetString("Settings", "Drive", ""), "D");

  writeIni("[Search]\nLimit=1\nName=/changed\n");
  CSettingsStore second = openStore(true);
  second.ImportIniFile();  // asked again all the same: the base key is not new
  EXPECT_EQ(second.GetInt("Search", "Limit", 1), 0);
  EXPECT_EQ(second.GetString("Search", "Name", "none"), "none");
}

TEST_F(SettingsStoreTest, IniFromWindirAndWithCrLfLines) {
  TempDir windows;
  write_bytes(windows.path() / "dorvane.ini", "[Search]\r\nName=C:\\DATA\r\n");
  writeIni("[Search]\nName=not this one\n");
  ScopedEnv windir("WINDIR", QByteArray::fromStdString(windows.path().string()));
  CSettingsStore store = openStore(true);
  EXPECT_EQ(store.GetString("Search", "Name", ""), "C:\\DATA");
}

TEST_F(SettingsStoreTest, IniHeaderRules) {
  writeIni(
      "before=ignored\n"
      "[  Spaced Out \t]\n"
      "a=1\n"
      "x[NotHeader]\n"
      "b=2\n"
      "[Bad]tail\n"
      "c=3\n"
      "  [Trimmed]  \n"
      "d=4\n");
  CSettingsStore store = openStore(true);
  EXPECT_EQ(store.GetString("", "before", "none"), "none");
  EXPECT_EQ(store.GetString("Spaced Out", "a", ""), "1");
  // Neither of the bad headers opens a section: their values stay in the section before.
  EXPECT_EQ(store.GetString("Spaced Out", "b", ""), "2");
  EXPECT_EQ(store.GetString("Spaced Out", "c", ""), "3");
  EXPECT_EQ(store.GetString("NotHeader", "b", "none"), "none");
  EXPECT_EQ(store.GetString("Bad", "c", "none"), "none");
  EXPECT_EQ(store.GetString("Trimmed", "d", ""), "4");
}

TEST_F(SettingsStoreTest, IniValueLinesAreSplitAtFirstEqualsUntrimmed) {
  writeIni(
      "[S]\n"
      "Limit = 0\n"
      "=unnamed\n"
      "empty=\n"
      ";comment=kept\n"
      "k=v=w\n"
      "no equals sign here\n"
      "  inner  =  text  \n");
  CSettingsStore store = openStore(true);
  EXPECT_EQ(store.GetString("S", "Limit ", "?"), " 0");
  EXPECT_EQ(store.GetInt("S", "Limit ", 7), 0);
  EXPECT_EQ(store.GetString("S", "Limit", "absent"), "absent");
  EXPECT_EQ(store.GetString("S", "", "?"), "unnamed");
  EXPECT_EQ(store.GetString("S", "empty", "?"), "");
  EXPECT_EQ(store.GetString("S", ";comment", "?"), "kept");
  EXPECT_EQ(store.GetString("S", "k", "?"), "v=w");
  EXPECT_EQ(store.GetString("S", "inner  ", "?"), "  text");
}

TEST_F(SettingsStoreTest, IniLinesLongerThan519BytesArriveInPieces) {
  // The first piece holds 519 bytes; the rest of the line is read as a line of its own.
  writeIni("[S]\n" + std::string(519, 'a') + "tail=piece\nafter=1\n");
  CSettingsStore store = openStore(true);
  EXPECT_EQ(store.GetString("S", "tail", "?"), "piece");
  EXPECT_EQ(store.GetString("S", "after", "?"), "1");
}

}  // namespace
