#include "gui/base/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <limits>
#include <optional>

namespace {

const char kOrganisation[] = "Fenwold Software";
const char kApplication[] = "Dorvane";
const char kIniFileName[] = "Dorvane.INI";

// Legacy INI lines are read in pieces of at most this many bytes, terminator included.
constexpr int kIniLineBufferSize = 520;

// Stored form of a section or value name: "%", "/" and "\" escaped, the empty name marked.
QString encodeName(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("%00");
  QString out;
  out.reserve(name.size());
  for (const QChar c : name) {
    if (c == u'%')
      out += QStringLiteral("%25");
    else if (c == u'/')
      out += QStringLiteral("%2F");
    else if (c == u'\\')
      out += QStringLiteral("%5C");
    else
      out += c;
  }
  return out;
}

QString decodeName(const QString& stored) {
  if (stored == QStringLiteral("%00")) return {};
  QString out;
  out.reserve(stored.size());
  for (qsizetype i = 0; i < stored.size(); ++i) {
    if (stored[i] == u'%' && i + 2 < stored.size()) {
      const QStringView code = QStringView(stored).mid(i + 1, 2);
      if (code == u"25") {
        out += u'%';
        i += 2;
        continue;
      }
      if (code.compare(u"2F", Qt::CaseInsensitive) == 0) {
        out += u'/';
        i += 2;
        continue;
      }
      if (code.compare(u"5C", Qt::CaseInsensitive) == 0) {
        out += u'\\';
        i += 2;
        continue;
      }
    }
    out += stored[i];
  }
  return out;
}

// The stored name among candidates that stands for wanted: the exact one, else one equal
// without regard to case (as the registry compares names).
std::optional<QString> findStored(const QStringList& candidates, const QString& wanted) {
  std::optional<QString> caseless;
  for (const QString& stored : candidates) {
    const QString name = decodeName(stored);
    if (name == wanted) return stored;
    if (!caseless && name.compare(wanted, Qt::CaseInsensitive) == 0) caseless = stored;
  }
  return caseless;
}

// Enters the section's group for reading; false when the section does not exist.
bool enterExistingSection(QSettings& settings, const QString& section) {
  if (section.isEmpty()) return true;
  const auto stored = findStored(settings.childGroups(), section);
  if (!stored) return false;
  settings.beginGroup(*stored);
  return true;
}

// Enters the section's group for writing, reusing the stored spelling of its name.
void enterSection(QSettings& settings, const QString& section) {
  if (section.isEmpty()) return;
  settings.beginGroup(findStored(settings.childGroups(), section).value_or(encodeName(section)));
}

std::optional<QString> readValue(QSettings& settings, const QString& section, const QString& name) {
  if (!enterExistingSection(settings, section)) return std::nullopt;
  const auto key = findStored(settings.childKeys(), name);
  const QVariant value = key ? settings.value(*key) : QVariant();
  if (!section.isEmpty()) settings.endGroup();
  if (!key) return std::nullopt;
  // A hand-edited file may hold an unquoted "a, b", which the INI layer reads as a list.
  QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u", ")
                                                          : value.toString();
  if (!CSettingsStore::fitsValue(text)) return std::nullopt;
  const qsizetype zero = text.indexOf(QChar(u'\0'));
  if (zero >= 0) text.truncate(zero);
  return text;
}

void writeValue(QSettings& settings, const QString& section, const QString& name,
                const QString& text) {
  enterSection(settings, section);
  settings.setValue(findStored(settings.childKeys(), name).value_or(encodeName(name)), text);
  if (!section.isEmpty()) settings.endGroup();
}

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

QByteArray trimmedBytes(const QByteArray& bytes) {
  qsizetype begin = 0;
  qsizetype end = bytes.size();
  while (begin < end && isCSpace(bytes[begin])) ++begin;
  while (end > begin && isCSpace(bytes[end - 1])) --end;
  return bytes.mid(begin, end - begin);
}

// Legacy files are either UTF-8 or a Windows code page; Latin-1 keeps every byte of the latter.
QString decodeIniText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  return text;
}

// The legacy file in dir, matched without regard to case as it may come from Windows.
QString findIniFile(const QString& dir) {
  const QString exact = QDir(dir).filePath(QString::fromLatin1(kIniFileName));
  if (QFileInfo(exact).isFile()) return exact;
  const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
  for (const QString& entry : entries) {
    if (entry.compare(QString::fromLatin1(kIniFileName), Qt::CaseInsensitive) == 0)
      return QDir(dir).filePath(entry);
  }
  return exact;
}

}  // namespace

CSettingsStore::CSettingsStore()
    : m_fileName(QDir(configDirectory())
                     .filePath(QString::fromLatin1(kOrganisation) + u'/' +
                               QString::fromLatin1(kApplication) + ".ini")) {}

CSettingsStore::~CSettingsStore() = default;
CSettingsStore::CSettingsStore(CSettingsStore&&) noexcept = default;
CSettingsStore& CSettingsStore::operator=(CSettingsStore&&) noexcept = default;

QSettings& CSettingsStore::settings() const {
  if (!m_settings) m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
  return *m_settings;
}

void CSettingsStore::dropOnError() const {
  if (m_settings && m_settings->status() != QSettings::NoError) m_settings.reset();
}

std::optional<QString> CSettingsStore::read(const QString& section, const QString& name) const {
  QSettings& file = settings();
  file.sync();  // takes in what another program changed
  std::optional<QString> text = readValue(file, section, name);
  dropOnError();
  return text;
}

QString CSettingsStore::configDirectory() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
  return QDir::homePath() + QStringLiteral("/.config");
#else
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
}

QString CSettingsStore::iniFilePath() {
  const QString windows = qEnvironmentVariable("WINDIR");
  return findIniFile(windows.isEmpty() ? configDirectory() : windows);
}

bool CSettingsStore::OpenBaseKey(bool* newlyCreated) {
  m_newlyCreated = false;
  if (newlyCreated != nullptr) *newlyCreated = false;
  if (QFileInfo::exists(m_fileName)) return true;
  if (!QDir().mkpath(QFileInfo(m_fileName).absolutePath())) return false;
  QFile file(m_fileName);
  // NewOnly: exactly one run creates the file and so runs the legacy import.
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return QFileInfo::exists(m_fileName);
  file.close();
  m_newlyCreated = true;
  if (newlyCreated != nullptr) *newlyCreated = true;
  return true;
}

void CSettingsStore::ImportIniFile() {
  if (!m_newlyCreated) return;
  m_newlyCreated = false;

  QFile ini(iniFilePath());
  if (!ini.open(QIODevice::ReadOnly | QIODevice::Text)) return;

  QSettings& settings = this->settings();
  settings.sync();
  std::optional<QString> section;  // none until the first header
  char buffer[kIniLineBufferSize];
  for (;;) {
    // Like fgets: a longer line arrives in pieces, each handled as a line of its own.
    const qint64 length = ini.readLine(buffer, sizeof buffer);
    if (length <= 0) break;
    QByteArray line(buffer, static_cast<qsizetype>(length));
    const qsizetype zero = line.indexOf('\0');
    if (zero >= 0) line.truncate(zero);
    line = trimmedBytes(line);

    const qsizetype open = line.indexOf('[');
    const qsizetype close = line.indexOf(']');
    if (open == 0 && close == line.size() - 1 && close > 0) {
      line[open] = ' ';
      line[close] = ' ';
      // A section that cannot be created ends the import; values stored so far stay.
      if (!QFileInfo(m_fileName).isWritable()) break;
      section = decodeIniText(trimmedBytes(line));
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || !section) continue;
    writeValue(settings, *section, decodeIniText(line.left(equals)),
               decodeIniText(line.mid(equals + 1)));
  }
  settings.sync();
  dropOnError();
}

int CSettingsStore::GetInt(const QString& section, const QString& name, int defaultValue) const {
  const auto text = read(section, name);
  if (!text) return defaultValue;
  // As "%d" reads: leading white space, an optional sign, the digits up to the first other
  // character. Numbers beyond the 32-bit range are held at its ends.
  const QByteArray bytes = text->toUtf8();
  qsizetype i = 0;
  while (i < bytes.size() && isCSpace(bytes[i])) ++i;
  bool negative = false;
  if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) negative = bytes[i++] == '-';
  const qsizetype firstDigit = i;
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    magnitude = std::min(kLimit, magnitude * 10 + (bytes[i] - '0'));
  }
  if (i == firstDigit) return defaultValue;
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::min<std::int64_t>(value, std::numeric_limits<int>::max()));
}

bool CSettingsStore::fitsValue(const QString& text) {
  return text.toUtf8().size() + 1 < kValueBufferSize;
}

QString CSettingsStore::GetString(const QString& section, const QString& name,
                                  const QString& defaultText) const {
  return read(section, name).value_or(defaultText);
}

bool CSettingsStore::SetInt(const QString& section, const QString& name, int value) {
  return SetString(section, name, QString::number(value));
}

bool CSettingsStore::SetString(const QString& section, const QString& name, const QString& text) {
  QSettings& file = settings();
  file.sync();  // the names as the file holds them now
  writeValue(file, section, name, text);
  file.sync();
  const bool written = file.status() == QSettings::NoError;
  dropOnError();
  return written;
}

int CSettingsStore::GetInt(const IntSetting& key, int defaultValue) const {
  return GetInt(QString::fromLatin1(key.section), QString::fromLatin1(key.name), defaultValue);
}

bool CSettingsStore::SetInt(const IntSetting& key, int value) {
  return SetInt(QString::fromLatin1(key.section), QString::fromLatin1(key.name), value);
}

QString CSettingsStore::GetString(const TextSetting& key) const {
  return GetString(key, QString::fromLatin1(key.fallback));
}

QString CSettingsStore::GetString(const TextSetting& key, const QString& defaultText) const {
  return GetString(QString::fromLatin1(key.section), QString::fromLatin1(key.name), defaultText);
}

bool CSettingsStore::SetString(const TextSetting& key, const QString& text) {
  return SetString(QString::fromLatin1(key.section), QString::fromLatin1(key.name), text);
}
