#include "common/list_controls.h"

namespace {

constexpr char kSortedProperty[] = "lumikartaSorted";

// The index at which a sorted box takes the text: after every item that does not sort behind it,
// so items of equal text keep the order they came in.
template <typename ItemText>
int SortedPosition(int count, ItemText itemText, const QString& text) {
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(itemText(middle), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

void SetSortedList(QListWidget& list, bool sorted) {
    list.setProperty(kSortedProperty, sorted);
}

void SetSortedList(QComboBox& combo, bool sorted) {
    combo.setProperty(kSortedProperty, sorted);
}

int AddString(QListWidget& list, const QString& text) {
    const int index = list.property(kSortedProperty).toBool()
                          ? SortedPosition(
                                list.count(), [&](int i) { return list.item(i)->text(); }, text)
                          : list.count();
    list.insertItem(index, text);
    return index;
}

int AddString(QComboBox& combo, const QString& text) {
    const int index = combo.property(kSortedProperty).toBool()
                          ? SortedPosition(
                                combo.count(), [&](int i) { return combo.itemText(i); }, text)
                          : combo.count();
    // Adding never chooses an item, as on Windows; Qt would choose the first item of an empty box.
    const bool hadSelection = combo.currentIndex() >= 0;
    const QString typed = combo.currentText();
    combo.insertItem(index, text);
    if (!hadSelection) {
        combo.setCurrentIndex(-1);
        if (combo.isEditable()) {
            combo.setEditText(typed);
        }
    }
    return index;
}
