// File > New Portfolio...: a directory chooser, then an empty portfolio made there by the same
// core step as `dorvane-cli new-portfolio`.
#pragma once

#include <QString>

class QWidget;

// Asks for the directory (starting in startFolder) and creates the portfolio; says why
// through the prompter when it can't. The new portfolio's directory, or empty.
QString runNewPortfolioCommand(QWidget* parent, const QString& startFolder);
