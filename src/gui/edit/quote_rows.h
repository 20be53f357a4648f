// What the quote commands read from the quotes grid: its rows (newest first) and the texts of
// their cells, exactly as the grid shows them.
#pragma once

#include <QString>

class CQuotesGridModel;

class QuoteRows {
 public:
  enum Column { kDate = 0, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest };

  virtual ~QuoteRows() = default;
  virtual int rowCount() const = 0;
  // The text of a cell: column kDate is MM/DD/YY, the others the grid's number texts.
  virtual QString text(int row, int column) const = 0;
};

// The rows of the quotes grid's model.
class ModelQuoteRows : public QuoteRows {
 public:
  explicit ModelQuoteRows(const CQuotesGridModel& model) : m_model(model) {}
  int rowCount() const override;
  QString text(int row, int column) const override;

 private:
  const CQuotesGridModel& m_model;
};
