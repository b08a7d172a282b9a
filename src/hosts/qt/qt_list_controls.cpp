#include "hosts/qt/qt_list_controls.h"

#include <QCollator>
#include <QComboBox>
#include <QListWidget>

namespace {

constexpr char kSortedProperty[] = "lumikartaSorted";

QString ItemText(const QWidget& box, int index) {
    if (const auto* list = qobject_cast<const QListWidget*>(&box)) {
        return list->item(index)->text();
    }
    return static_cast<const QComboBox&>(box).itemText(index);
}

int Count(const QWidget& box) {
    if (const auto* list = qobject_cast<const QListWidget*>(&box)) {
        return list->count();
    }
    return static_cast<const QComboBox&>(box).count();
}

// The index at which a sorted box takes the text: after every item that does not sort behind it,
// so items of equal text keep the order they came in. The order is the user's language's, as a
// native box compares (an umlaut beside its vowel, not after "z").
int SortedPosition(const QWidget& box, const QString& text) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    int low = 0;
    int high = Count(box);
    while (low < high) {
        const int middle = (low + high) / 2;
        if (collator.compare(ItemText(box, middle), text) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

void SetSortedList(QWidget& box, bool sorted) {
    box.setProperty(kSortedProperty, sorted);
}

int AddString(QWidget& box, const QString& text) {
    if (!qobject_cast<QListWidget*>(&box) && !qobject_cast<QComboBox*>(&box)) {
        return -1;
    }
    return InsertString(box, box.property(kSortedProperty).toBool() ? SortedPosition(box, text) : -1, text);
}

int InsertString(QWidget& box, int index, const QString& text) {
    if (auto* list = qobject_cast<QListWidget*>(&box)) {
        const int at = index < 0 || index > list->count() ? list->count() : index;
        list->insertItem(at, text);
        return at;
    }
    auto* combo = qobject_cast<QComboBox*>(&box);
    if (!combo) {
        return -1;
    }
    const int at = index < 0 || index > combo->count() ? combo->count() : index;
    // Qt would choose the first item of an empty box, and forget what the user typed.
    const bool hadSelection = combo->currentIndex() >= 0;
    const QString typed = combo->currentText();
    combo->insertItem(at, text);
    if (!hadSelection) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) {
            combo->setEditText(typed);
        }
    }
    return at;
}
