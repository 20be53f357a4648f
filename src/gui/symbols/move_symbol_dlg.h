// "Move Symbol" / "Copy Symbol": picks the portfolio a symbol goes to.
#pragma once

#include "core/transfer_symbol.h"

#include <QDialog>
#include <QStringList>

class QListWidget;

class CMoveSymbolDlg : public QDialog {
  Q_OBJECT
 public:
  // portfolios: the browser's portfolio list in its order; every entry but selected is offered,
  // sorted, the first one selected. A copy has the caption "Copy Symbol".
  CMoveSymbolDlg(const QString& symbol, const QString& name, const QString& portfolioDir,
                 const QStringList& portfolios, const QString& selected, core::TransferMode mode,
                 QWidget* parent = nullptr);

  bool isMove() const { return m_move; }
  // The chosen portfolio directory: empty until OK, and after OK with nothing selected.
  QString destination() const { return m_destination; }
  QListWidget* portfolioList() const { return m_list; }

  // OK: the selected entry becomes the destination.
  void accept() override;

 private:
  bool m_move;
  QString m_destination;
  QListWidget* m_list;
};
