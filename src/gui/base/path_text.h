// Paths cross between Qt's text and the byte-string paths of core and qdb here, both ways, so
// a directory name with non-ASCII characters comes back as it went (Qt's file-name encoding).
#pragma once

#include <string>

#include <QString>

// The path as the file system's byte string (UTF-8 on Linux).
std::string toPathString(const QString& path);
// The file system's byte string as text.
QString fromPathString(const std::string& path);
