#include "gui/base/path_text.h"

#include <QFile>

std::string toPathString(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromPathString(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
