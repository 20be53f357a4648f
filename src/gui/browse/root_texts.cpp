#include "gui/browse/root_texts.h"

QString root_entry_text(const QString& root) {
#ifdef _WIN32
  if (!root.isEmpty()) return QStringLiteral("[-") + root.at(0).toLower() + QStringLiteral("-]");
#endif
  return root;
}

QString root_setting_text(const QString& root) {
#ifdef _WIN32
  if (!root.isEmpty()) return QString(root.at(0).toUpper());
#endif
  return root;
}

bool root_matches_setting(const QString& root, const QString& setting) {
#ifdef _WIN32
  return !root.isEmpty() && !setting.isEmpty() && root.at(0).toUpper() == setting.at(0).toUpper();
#else
  return !setting.isEmpty() && root == setting;
#endif
}
