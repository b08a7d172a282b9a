#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QLocale>

#include "hosts/qt/qt_list_controls.h"

namespace {

QStringList Rows(const QListWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.count(); ++i) {
        rows << list.item(i)->text();
    }
    return rows;
}

// A sorted box orders as the user's language does, without regard to case, and keeps equal texts in
// arrival order; any other box keeps the arrival order. Adding never chooses an item, nor changes what
// the user typed into an editable box.
TEST(QtListControlsTest, ItemsGoWhereAWindowsBoxPutsThem) {
    const QLocale userLocale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList added = {"beta", "Polen", "Alpha", "Österreich", "gamma", "alpha", "Beta", "Ostsee"};
    const struct {
        bool sorted;
        QStringList expected;
    } cases[] = {
        {true, {"Alpha", "alpha", "beta", "Beta", "gamma", "Österreich", "Ostsee", "Polen"}},
        {false, added},
    };
    for (const auto& c : cases) {
        QListWidget list;
        QComboBox combo;
        combo.setEditable(true);
        combo.setEditText("typed by hand");
        SetSortedList(list, c.sorted);
        SetSortedList(combo, c.sorted);
        for (const QString& text : added) {
            EXPECT_EQ(list.item(AddString(list, text))->text(), text);
            EXPECT_EQ(combo.itemText(AddString(combo, text)), text);
        }
        EXPECT_EQ(Rows(list), c.expected) << c.sorted;
        for (int i = 0; i < combo.count(); ++i) {
            EXPECT_EQ(combo.itemText(i), c.expected[i]);
        }
        EXPECT_EQ(combo.currentIndex(), -1);
        EXPECT_EQ(combo.currentText(), "typed by hand");
    }
    QLocale::setDefault(userLocale);
}

}  // namespace
