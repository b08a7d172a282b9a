#pragma once

#include <QString>
#include <QWidget>

// Adding items to a QListWidget or QComboBox the way native list and combo boxes do: a box of the
// sorted style puts each new item in alphabetical place of the user's locale, without regard to case; any
// other box appends it. Adding never chooses an item.

void SetSortedList(QWidget& box, bool sorted);

// The index the item was put at; -1 when the widget is no list or combo box.
int AddString(QWidget& box, const QString& text);
// At the index (-1: the end) whatever the box's style.
int InsertString(QWidget& box, int index, const QString& text);
