// "Portfolio Search Filter": whether a scan only enters paths related to one directory, that
// directory, and whether damaged MASTER files are repaired without asking.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;

class CSearchFilterDlg : public QDialog {
  Q_OBJECT
 public:
  // roots: the entries of the view's drive list, which the filter path must lie under.
  explicit CSearchFilterDlg(const QStringList& roots, QWidget* parent = nullptr);

  int limit() const;
  void setLimit(int limit);
  QString filterPath() const;
  void setFilterPath(const QString& path);
  int autoRepair() const;
  void setAutoRepair(int autoRepair);

  QCheckBox* limitBox() const { return m_limit; }
  QLineEdit* pathEdit() const { return m_path; }
  QCheckBox* autoRepairBox() const { return m_autoRepair; }

  // Whether OK may close the dialog: always with the limit off; with it on, only for a path
  // under one of the roots (an absolute path; on Windows "X:" with an entry "[-x-]").
  static bool isAcceptable(int limit, const QString& path, const QStringList& roots);

  // OK: closes when isAcceptable, else says "The Search Filter path refers to an unknown
  // drive" and stays open.
  void accept() override;

 private:
  QStringList m_roots;
  QCheckBox* m_limit;
  QLineEdit* m_path;
  QCheckBox* m_autoRepair;
};
