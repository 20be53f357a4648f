// "Adjust Data": a date range and the price, volume and open interest multipliers.
#pragma once

#include "core/adjust_quotes.h"
#include "gui/edit/quote_command_dlg.h"

class CDateEdit;
class CNumberEdit;
class QLineEdit;

class CAdjustDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  static constexpr int kMultiplierLength = 8;

  // Opens on the series' whole range (oldest and newest date texts) and multipliers of 1.
  CAdjustDlg(const QString& firstDate, const QString& lastDate, QWidget* parent = nullptr);

  CDateEdit* fromEdit() const { return m_from; }
  CDateEdit* toEdit() const { return m_to; }
  CNumberEdit* priceEdit() const { return m_price; }
  CNumberEdit* volumeEdit() const { return m_volume; }
  // A plain field: it takes any character.
  QLineEdit* openInterestEdit() const { return m_openInterest; }
  core::AdjustEntry entry() const;

 private:
  CDateEdit* m_from;
  CDateEdit* m_to;
  CNumberEdit* m_price;
  CNumberEdit* m_volume;
  QLineEdit* m_openInterest;
};
