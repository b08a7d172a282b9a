#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

// Adding items the way Windows list and combo boxes do: a box of the sorted style puts each new item
// in alphabetical place, without regard to case; any other box appends it.

void SetSortedList(QListWidget& list, bool sorted);
void SetSortedList(QComboBox& combo, bool sorted);

// The index the item was put at.
int AddString(QListWidget& list, const QString& text);
int AddString(QComboBox& combo, const QString& text);
