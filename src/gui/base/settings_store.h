// The one store of everything Dorvane keeps between runs: sections of named text values below
// the base key "Fenwold Software"/"Dorvane", kept in an INI file of the user's configuration
// directory ($XDG_CONFIG_HOME or ~/.config, "Fenwold Software/Dorvane.ini").
//
// The store holds the file open for the whole run. Each read first takes in what another
// program may have changed in the file, and each write is flushed to the file at once, so the
// file always holds every value set. Failures are silent: a read that finds nothing gives the
// caller's default and a write that fails returns false.
//
// Names. Section and value names are plain texts, any characters allowed, and compare without
// regard to case (a legacy INI section "[SEARCH]" is the section "Search"). A name is written as
// it was first stored, with three characters escaped so the file's own syntax can't reshape it:
// "%" as "%25", "/" as "%2F" (the INI layer reads a slash as a group separator) and "\" as
// "%5C"; the empty name (a section's unnamed value, an INI line starting with "=") is stored as
// "%00". Every other character, blanks and semicolons included, is kept by the INI layer's own
// quoting. The empty section name stands for the base key itself.
#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "gui/base/setting_keys.h"

class QSettings;

class CSettingsStore {
 public:
  // Values of this size in bytes, terminator included, or more read as absent.
  static constexpr int kValueBufferSize = 260;
  // True when text can be stored and read back (its bytes and terminator fit the buffer).
  static bool fitsValue(const QString& text);

  // Fixes the settings file path from the environment at this moment.
  CSettingsStore();
  ~CSettingsStore();
  CSettingsStore(CSettingsStore&&) noexcept;
  CSettingsStore& operator=(CSettingsStore&&) noexcept;

  // Creates the settings file, or finds it there. Returns true when it exists afterwards;
  // *newlyCreated (may be null) tells whether this call created it.
  bool OpenBaseKey(bool* newlyCreated = nullptr);
  // The one-time import of the legacy Dorvane.INI (see iniFilePath()). Does nothing unless
  // OpenBaseKey of this store has just created the settings file.
  void ImportIniFile();

  int GetInt(const QString& section, const QString& name, int defaultValue) const;
  bool SetInt(const QString& section, const QString& name, int value);
  QString GetString(const QString& section, const QString& name, const QString& defaultText) const;
  bool SetString(const QString& section, const QString& name, const QString& text);
  // The same for a value of setting_keys.h, read with its own default or the one given.
  int GetInt(const IntSetting& key) const { return GetInt(key, key.fallback); }
  int GetInt(const IntSetting& key, int defaultValue) const;
  bool SetInt(const IntSetting& key, int value);
  QString GetString(const TextSetting& key) const;
  QString GetString(const TextSetting& key, const QString& defaultText) const;
  bool SetString(const TextSetting& key, const QString& text);

  // The settings file.
  QString fileName() const { return m_fileName; }
  // The legacy INI file: Dorvane.INI in the directory named by WINDIR when that is set, else
  // in the user's configuration directory.
  static QString iniFilePath();
  // The user's configuration directory: $XDG_CONFIG_HOME when it is an absolute path, else
  // ~/.config.
  static QString configDirectory();

 private:
  // The file's settings, opened at the first use and let go after a failure, so the next use
  // starts afresh from the file.
  QSettings& settings() const;
  // One value as the file holds it now, or none.
  std::optional<QString> read(const QString& section, const QString& name) const;
  // Lets the settings go when the last operation failed.
  void dropOnError() const;

  QString m_fileName;
  bool m_newlyCreated = false;
  mutable std::unique_ptr<QSettings> m_settings;
};
