// File > Import... and files dropped on the main window: the import dialog over the files,
// then the write with its progress window, errors through the prompter.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

struct ImportCommandContext {
  QWidget* parent = nullptr;
  QStringList files;  // empty: the user picks them in the open-file dialog first
  QStringList portfolios;
  QString selectedPortfolio;
};

// What the view shows afterwards: the portfolio and entry of the first symbol imported.
struct ImportCommandOutcome {
  bool reload = false;  // the import wrote (some of) its portfolios
  QString portfolioDir;
  int fileNumber = 0;
  QString note;  // for the status bar: what was imported
};

ImportCommandOutcome runImportCommand(const ImportCommandContext& context);

// The open-file dialog of File > Import...: the files chosen, empty when cancelled.
QStringList chooseImportFiles(QWidget* parent);
