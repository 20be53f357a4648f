// The desktop side of a MASTER repair: the confirmation and the reports of dropped records
// are CFixMasterDlg windows shown through the prompter.
#pragma once

#include "core/master_repair.h"

class QWidget;

class CFixMasterObserver : public core::RepairObserver {
 public:
  explicit CFixMasterObserver(QWidget* parent) : m_parent(parent) {}

  // The confirmation form; true only when the user closes it with OK.
  bool confirm(const std::string& message) override;
  // The report form, however it is closed.
  void report_dropped(const std::string& message) override;
  // The information beep before each report.
  void beep() override;

 private:
  QWidget* m_parent;
};
