#include "gui/browse/chart_splitter.h"

#include <algorithm>

#include "core/chart_series.h"
#include "gui/base/path_text.h"
#include "gui/base/settings_store.h"
#include "gui/base/wait_cursor.h"
#include "gui/chart/chart_view.h"

CChartSplitter::CChartSplitter(CSettingsStore& settings, QWidget* quotes, QWidget* parent)
    : QSplitter(Qt::Vertical, parent),
      m_settings(settings),
      m_chart(new CChartView(this)),
      m_quotes(quotes) {
  setChildrenCollapsible(false);
  addWidget(m_chart);
  addWidget(m_quotes);
  m_chart->hide();
  connect(this, &QSplitter::splitterMoved, this, [this] {
    const int total = m_chart->height() + m_quotes->height();
    if (total <= 0) return;
    m_chartShare = (m_chart->height() * 1000 + total / 2) / total;
    m_settings.SetInt(setting_keys::kChartShare, m_chartShare);
  });
}

void CChartSplitter::setChartShown(bool shown) {
  m_chartShown = shown;
  if (m_settings.GetInt(setting_keys::kChartShow) != (shown ? 1 : 0))
    m_settings.SetInt(setting_keys::kChartShow, shown ? 1 : 0);
  if (shown) {
    m_chartShare = std::clamp(m_settings.GetInt(setting_keys::kChartShare), 50, 950);
    m_chart->show();
    applyChartShare();
  } else {
    m_chart->hide();
    m_chart->clear();
    m_chartSource.clear();
  }
}

void CChartSplitter::loadChart(const QString& directory, const std::string& key, int fileNumber,
                               int row) {
  if (!m_chartShown) return;
  const std::string source =
      toPathString(directory) + '\n' + key + '\n' + std::to_string(fileNumber);
  core::ChartSeries series;
  std::string message;
  // The grid's load has shown any read failure already; the chart then stays empty.
  const CWaitCursor wait;
  if (!core::load_chart_series(toPathString(directory), key, series, message, fileNumber)) {
    m_chart->clear();
    return;
  }
  m_chart->setSeries(std::move(series), source == m_chartSource);
  m_chartSource = source;
  m_chart->setCurrentRow(row);
}

void CChartSplitter::clearChart() {
  if (m_chartShown) m_chart->clear();
}

void CChartSplitter::applyChartShare() {
  const int height = this->height() - handleWidth();
  // Before the first layout any unit does: the splitter shares its height in proportion.
  const int total = height > 0 ? height : 1000;
  const int chart = (total * m_chartShare + 500) / 1000;
  setSizes({chart, total - chart});
}

void CChartSplitter::resizeEvent(QResizeEvent* event) {
  // Before the splitter lays its widgets out at the new height.
  if (m_chartShown) applyChartShare();
  QSplitter::resizeEvent(event);
}
