// "Searching for Master Files": the modeless window that shows the directory being examined
// and the number of MASTER files found while a scan runs. The walk cannot be cancelled.
#pragma once

#include <string>

#include <QDialog>
#include <QElapsedTimer>

#include "core/discovery.h"

class QLabel;

class CSearchProgressDlg : public QDialog, public core::DiscoveryObserver {
  Q_OBJECT
 public:
  // At most this many repaints a second, so painting never dominates a long walk.
  static constexpr int kRepaintsPerSecond = 20;

  explicit CSearchProgressDlg(QWidget* parent = nullptr);

  // Shows the window centred on the screen with "starting..." and a count of 0.
  void start();

  void directory_visited(const std::string& directory) override;
  void portfolio_found(const std::string& directory, int foundCount) override;

  // The path line as shown: the path last visited, its middle elided when it is too long.
  QString pathText() const;
  QString counterText() const;
  // Number of times the controls were refreshed on screen.
  int repaintCount() const { return m_repaints; }

 private:
  // Copies the texts into the controls and repaints, unless the last repaint was too recent.
  void refresh(bool force);

  // Shows m_pathText on the path line, its middle elided to fit.
  void showPath();

  QLabel* m_path;
  QLabel* m_counter;
  std::string m_pathText;
  int m_found = 0;
  int m_repaints = 0;
  QElapsedTimer m_sinceRepaint;
};
