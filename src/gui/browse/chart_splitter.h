// The chart above the quotes grid, the two sharing one splitter. View > Chart shows or hides
// the chart (remembered in "Chart"); hidden, it leaves the quotes the whole height, as without
// it. Shown, it keeps the share of the height the user gave it, as the window is resized and
// from one run to the next.
#pragma once

#include <string>

#include <QSplitter>

class CChartView;
class CSettingsStore;

class CChartSplitter : public QSplitter {
  Q_OBJECT
 public:
  // Places a new chart above quotes, hidden.
  CChartSplitter(CSettingsStore& settings, QWidget* quotes, QWidget* parent = nullptr);

  CChartView* chart() const { return m_chart; }
  bool chartShown() const { return m_chartShown; }
  // Shows the chart at its remembered share, or hides and empties it.
  void setChartShown(bool shown);
  // When the chart is shown: gives it the series of key's entry fileNumber in the portfolio
  // directory, read afresh, with row current. The days shown are kept when the chart held
  // that series already; a series that can't be read leaves the chart empty.
  void loadChart(const QString& directory, const std::string& key, int fileNumber, int row);
  // Empties the shown chart.
  void clearChart();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Gives the chart m_chartShare thousandths of the height.
  void applyChartShare();

  CSettingsStore& m_settings;
  CChartView* m_chart;
  QWidget* m_quotes;
  bool m_chartShown = false;
  int m_chartShare = 0;       // the chart's thousandths of the height it shares with the quotes
  std::string m_chartSource;  // the portfolio and symbol whose series the chart was given
};
