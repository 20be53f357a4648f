#include "gui/shell/name_encoding_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "core/name_encoding.h"
#include "gui/browse/dorvane_view.h"

QMenu* addNameEncodingMenu(QMenu* parent, CDorvaneView* view) {
  QMenu* menu = parent->addMenu(QStringLiteral("Name &Encoding"));
  menu->setObjectName(QStringLiteral("nameEncoding"));
  menu->menuAction()->setStatusTip(
      QStringLiteral("Choose the code page the portfolio's names are read in"));
  menu->menuAction()->setToolTip(QStringLiteral("Name encoding"));
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  const auto add = [&](const QString& text, const QString& choice) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setData(choice);
    action->setObjectName(QStringLiteral("nameEncoding_") + choice);
    action->setStatusTip(QStringLiteral("Read and write the portfolio's names in this code page"));
    group->addAction(action);
  };
  add(QStringLiteral("&Auto"), QString::fromLatin1(core::kAutoEncoding));
  menu->addSeparator();
  for (const qdb::CodePage page : qdb::all_code_pages())
    add(QString::fromLatin1(qdb::code_page_title(page)),
        QString::fromLatin1(qdb::code_page_name(page)));

  // The check follows the portfolio on show each time the menu opens.
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, view] {
    const QString choice = view->nameEncoding();
    const core::EncodingChoice known = core::parse_encoding(choice.toStdString());
    const QString shown = known.ok && known.page
                              ? QString::fromLatin1(qdb::code_page_name(*known.page))
                              : QString::fromLatin1(core::kAutoEncoding);
    for (QAction* action : menu->actions())
      if (action->isCheckable()) action->setChecked(action->data().toString() == shown);
  });
  QObject::connect(group, &QActionGroup::triggered, view,
                   [view](QAction* action) { view->setNameEncoding(action->data().toString()); });
  return menu;
}
