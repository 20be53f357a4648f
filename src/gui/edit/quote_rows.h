// What the quote commands read from the quotes grid: its rows (newest first) and the texts of
// their cells, exactly as the grid shows them.
#pragma once

#include <QString>

#include <cstdint>

class CQuotesGridModel;

class QuoteRows {
 public:
  enum Column { kDate = 0, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest };

  virtual ~QuoteRows() = default;
  virtual int rowCount() const = 0;
  // The text of a cell: column kDate is MM/DD/YY, the others the grid's number texts.
  virtual QString text(int row, int column) const = 0;
  // Whether the rows have times (an intraday series): a command then checks the time of the
  // row's record as well as its date.
  virtual bool hasTime() const { return false; }
  // HH:MM:SS of a row's time; empty without times.
  virtual QString timeText(int) const { return {}; }
  // A row's time as seconds since midnight, -1 without times.
  virtual std::int32_t seconds(int) const { return -1; }
  // A row's position in the file (0 the oldest), -1 when unknown.
  virtual std::int32_t record(int) const { return -1; }
};

// The rows of the quotes grid's model.
class ModelQuoteRows : public QuoteRows {
 public:
  explicit ModelQuoteRows(const CQuotesGridModel& model) : m_model(model) {}
  int rowCount() const override;
  QString text(int row, int column) const override;
  bool hasTime() const override;
  QString timeText(int row) const override;
  std::int32_t seconds(int row) const override;
  std::int32_t record(int row) const override;

 private:
  const CQuotesGridModel& m_model;
};
