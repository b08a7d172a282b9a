#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "common/dialog_builder.h"
#include "common/dialog_units.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resource_ids.h"
#include "res/resource_library.h"

namespace {

std::span<const LumikartaDialogTemplate> Dialogs(const LumikartaResourceTable& table) {
    return {table.dialogs, table.dialogCount};
}

// What the user reads on a control, whatever widget it became.
QString ShownText(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        return group->title();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        return edit->text();
    }
    if (const auto* area = qobject_cast<const QPlainTextEdit*>(&widget)) {
        return area->toPlainText();
    }
    return {};
}

bool IsWidgetOfKind(const QWidget& widget, uint32_t kind) {
    const auto* combo = qobject_cast<const QComboBox*>(&widget);
    switch (kind) {
        case LUMIKARTA_CONTROL_LABEL:
        case LUMIKARTA_CONTROL_ICON:
            return qobject_cast<const QLabel*>(&widget);
        case LUMIKARTA_CONTROL_EDIT:
            return qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget);
        case LUMIKARTA_CONTROL_LIST_BOX:
            return qobject_cast<const QListWidget*>(&widget);
        case LUMIKARTA_CONTROL_COMBO_BOX:
        case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
            return combo && combo->isEditable() == (kind == LUMIKARTA_CONTROL_COMBO_BOX);
        case LUMIKARTA_CONTROL_PUSH_BUTTON:
            return qobject_cast<const QAbstractButton*>(&widget);
        case LUMIKARTA_CONTROL_GROUP_BOX:
            return qobject_cast<const QGroupBox*>(&widget);
        case LUMIKARTA_CONTROL_PROGRESS_BAR:
            return qobject_cast<const QProgressBar*>(&widget);
    }
    return false;
}

QStringList Items(const QWidget& widget) {
    QStringList items;
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
    } else if (const auto* list = qobject_cast<const QListWidget*>(&widget)) {
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text();
        }
    }
    return items;
}

bool IsControl(const QWidget& widget) {
    return widget.property("lumikartaControlId").isValid();
}

// The control the Tab key moves to from this one: the next in the focus chain that takes focus.
QWidget* NextTabStop(QWidget* from) {
    for (QWidget* widget = from->nextInFocusChain(); widget != from; widget = widget->nextInFocusChain()) {
        if (IsControl(*widget) && (widget->focusPolicy() & Qt::TabFocus)) {
            return widget;
        }
    }
    return from;
}

// Every control of every template becomes the widget it describes, with its text and items, and the
// focus moves through the controls in template order. The English library has the same dialogs and
// strings as the German resources, or the English program would show a German window or text.
TEST(DialogTemplatesTest, EveryControlOfBothLanguagesIsBuiltAsTheTemplateDescribesIt) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR);
    ASSERT_NE(english, nullptr);
    // Per language: each string id, then each dialog's id, each of its controls' id and kind.
    std::vector<std::vector<uint32_t>> shapes;
    for (const LumikartaResourceTable* table : {&GermanResources(), english}) {
        std::vector<uint32_t>& shape = shapes.emplace_back();
        for (const LumikartaStringResource& entry : std::span(table->strings, table->stringCount)) {
            shape.push_back(entry.id);
        }
        for (const LumikartaDialogTemplate& dialogTemplate : Dialogs(*table)) {
            SCOPED_TRACE(dialogTemplate.caption);
            shape.push_back(dialogTemplate.id);
            QDialog dialog;
            BuildDialog(dialog, dialogTemplate);
            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(dialogTemplate.caption));
            QList<QWidget*> unmatched = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            unmatched.removeIf([](const QWidget* widget) { return !IsControl(*widget); });
            std::vector<QWidget*> tabStops;
            for (const LumikartaDialogControl& control :
                 std::span(dialogTemplate.controls, dialogTemplate.controlCount)) {
                shape.insert(shape.end(), {static_cast<uint32_t>(control.id), control.kind});
                const QString text = QString::fromUtf8(control.text);
                const auto match = std::find_if(unmatched.begin(), unmatched.end(), [&](QWidget* widget) {
                    return ControlId(*widget) == control.id && ShownText(*widget) == text;
                });
                ASSERT_NE(match, unmatched.end()) << "control " << control.id << " " << control.text;
                QWidget& widget = **match;
                unmatched.erase(match);
                EXPECT_TRUE(IsWidgetOfKind(widget, control.kind)) << control.id;
                QStringList items;
                for (const char* item : std::span(control.items, control.itemCount)) {
                    items << QString::fromUtf8(item);
                }
                if (control.style & LUMIKARTA_STYLE_SORTED) {
                    items.sort(Qt::CaseInsensitive);
                }
                EXPECT_EQ(Items(widget), items) << control.id;
                if (widget.focusPolicy() & Qt::TabFocus) {
                    tabStops.push_back(&widget);
                }
            }
            EXPECT_TRUE(unmatched.empty()) << "more controls than the template has";
            for (std::size_t i = 1; i < tabStops.size(); ++i) {
                EXPECT_EQ(NextTabStop(tabStops[i - 1]), tabStops[i])
                    << "after control " << ControlId(*tabStops[i - 1]);
            }
        }
    }
    EXPECT_EQ(shapes[1], shapes[0]);
}

// The about box in pixels, worked out by hand for the test font's base units of 7 x 13 pixels: the
// window's 283 x 54 units are 495.25 x 87.75 pixels; the OK button's left edge at 226 units falls on
// 395.5 and rounds away from zero, its right edge at 276 on 483, its top at 7 on 11.375, its bottom
// at 23 on 37.375.
TEST(DialogTemplatesTest, DialogUnitsBecomePixelsAsOnWindows) {
    const auto dialogs = Dialogs(GermanResources());
    const auto about = std::find_if(dialogs.begin(), dialogs.end(), [](const LumikartaDialogTemplate& each) {
        return each.id == IDD_ABOUTBOX;
    });
    ASSERT_NE(about, dialogs.end());
    QDialog dialog;
    BuildDialog(dialog, *about);
    const DialogUnits units(dialog.font());
    ASSERT_EQ(QSize(units.BaseUnitX(), units.BaseUnitY()), QSize(7, 13)) << "another test font";
    EXPECT_EQ(dialog.size(), QSize(495, 88));
    const QWidget* ok = FindControl(dialog, about_box::kOk);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(396, 11, 87, 26));
}

}  // namespace
