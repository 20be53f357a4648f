// A picture of a window for the project's documentation: `dorvane --screenshot FILE` waits
// until the window shows its data, saves a grab of it as FILE (PNG by the name's suffix) and
// ends the program. Works on the offscreen platform, so no display is needed.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Finds "--screenshot FILE" (or "--screenshot=FILE") in arguments, removes it and returns
// FILE; empty when the option is absent (or has no file).
QString takeScreenshotOption(QStringList& arguments);

// Polls ready() every 50 ms from the event loop; once it answers true, lets pending paints
// settle, grabs window into file and calls done(true), or done(false) when the grab could not
// be saved or ready() stayed false for timeoutMs. Without done, the application exits with
// code 0 or 1 instead. Messages go to standard error.
void scheduleScreenshot(QWidget* window, const QString& file, std::function<bool()> ready,
                        std::function<void(bool)> done = {}, int timeoutMs = 30000);
