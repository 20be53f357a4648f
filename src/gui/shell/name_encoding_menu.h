// View > Name Encoding: one radio action for Auto and each code page, the one checked being
// the choice of the portfolio on show.
#pragma once

class CDorvaneView;
class QMenu;

// Adds the submenu to parent; choosing an action stores it for the view's portfolio.
QMenu* addNameEncodingMenu(QMenu* parent, CDorvaneView* view);
