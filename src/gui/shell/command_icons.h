// Toolbar icons: the desktop theme's icon when it has one, else a bundled standard icon.
#pragma once

#include <QIcon>
#include <QStyle>

QIcon commandIcon(const QString& themeName, QStyle::StandardPixmap fallback);
