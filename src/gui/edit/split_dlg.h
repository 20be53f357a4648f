// "Split Data": the split date and the new and old share counts.
#pragma once

#include "core/split_quotes.h"
#include "gui/edit/quote_command_dlg.h"

class CDateEdit;
class CNumberEdit;

class CSplitDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  static constexpr int kSharesLength = 5;

  // Opens with dateText (the current quote's date) and share counts of 1.
  explicit CSplitDlg(const QString& dateText, QWidget* parent = nullptr);

  CDateEdit* dateEdit() const { return m_date; }
  CNumberEdit* newShares() const { return m_new; }
  CNumberEdit* oldShares() const { return m_old; }
  core::SplitEntry entry() const;

 private:
  CDateEdit* m_date;
  CNumberEdit* m_new;
  CNumberEdit* m_old;
};
