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
#include <map>
#include <set>
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

struct Language {
    const char* name;
    const LumikartaResourceTable* table;
};

std::vector<Language> Languages() {
    return {{"German", &GermanResources()}, {"English", LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR)}};
}

std::span<const LumikartaDialogControl> Controls(const LumikartaDialogTemplate& dialog) {
    return {dialog.controls, dialog.controlCount};
}

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
    switch (kind) {
        case LUMIKARTA_CONTROL_LABEL:
        case LUMIKARTA_CONTROL_ICON:
            return qobject_cast<const QLabel*>(&widget);
        case LUMIKARTA_CONTROL_EDIT:
            return qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget);
        case LUMIKARTA_CONTROL_LIST_BOX:
            return qobject_cast<const QListWidget*>(&widget);
        case LUMIKARTA_CONTROL_COMBO_BOX:
            return qobject_cast<const QComboBox*>(&widget) &&
                   static_cast<const QComboBox&>(widget).isEditable();
        case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
            return qobject_cast<const QComboBox*>(&widget) &&
                   !static_cast<const QComboBox&>(widget).isEditable();
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

// The control the Tab key moves to from this one: the next in the focus chain that takes focus.
QWidget* NextTabStop(QWidget* from) {
    for (QWidget* widget = from->nextInFocusChain(); widget != from; widget = widget->nextInFocusChain()) {
        if (widget->property("lumikartaControlId").isValid() && (widget->focusPolicy() & Qt::TabFocus)) {
            return widget;
        }
    }
    return from;
}

// Every control of every template, in both languages, becomes the widget it describes: its kind,
// text and items, and the focus moves through the controls in template order.
TEST(DialogTemplatesTest, EveryControlIsBuiltAsTheTemplateDescribesIt) {
    for (const Language& language : Languages()) {
        ASSERT_NE(language.table, nullptr) << language.name;
        for (const LumikartaDialogTemplate& dialogTemplate : Dialogs(*language.table)) {
            SCOPED_TRACE(std::string(language.name) + " template " + std::to_string(dialogTemplate.id));
            QDialog dialog;
            BuildDialog(dialog, dialogTemplate);
            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(dialogTemplate.caption));

            std::vector<QWidget*> built;
            for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->property("lumikartaControlId").isValid()) {
                    built.push_back(child);
                }
            }
            ASSERT_EQ(built.size(), dialogTemplate.controlCount);

            std::vector<QWidget*> tabStops;
            for (const LumikartaDialogControl& control : Controls(dialogTemplate)) {
                const QRect rect(control.x, control.y, control.width, control.height);
                const auto match = std::find_if(built.begin(), built.end(), [&](QWidget* widget) {
                    return ControlId(*widget) == control.id && ControlRect(*widget) == rect;
                });
                ASSERT_NE(match, built.end()) << "control " << control.id << " " << control.text;
                QWidget& widget = **match;
                EXPECT_EQ(ControlKind(widget), control.kind);
                EXPECT_TRUE(IsWidgetOfKind(widget, control.kind)) << control.id;
                EXPECT_EQ(ShownText(widget), QString::fromUtf8(control.text)) << control.id;
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
            for (std::size_t i = 1; i < tabStops.size(); ++i) {
                EXPECT_EQ(NextTabStop(tabStops[i - 1]), tabStops[i])
                    << "after control " << ControlId(*tabStops[i - 1]);
            }
        }
    }
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

// The English library must replace every German resource: a missing one would leave a German text
// or window in the English program.
TEST(DialogTemplatesTest, TheEnglishLibraryHasEveryResourceUnderTheSameIds) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR);
    ASSERT_NE(english, nullptr);
    const LumikartaResourceTable& german = GermanResources();

    const auto stringIds = [](const LumikartaResourceTable& table) {
        std::set<uint32_t> ids;
        for (const LumikartaStringResource& entry : std::span(table.strings, table.stringCount)) {
            ids.insert(entry.id);
        }
        return ids;
    };
    EXPECT_EQ(stringIds(*english), stringIds(german));

    const auto controlIds = [](const LumikartaResourceTable& table) {
        std::map<uint32_t, std::vector<std::pair<int32_t, uint32_t>>> ids;
        for (const LumikartaDialogTemplate& dialog : Dialogs(table)) {
            for (const LumikartaDialogControl& control : Controls(dialog)) {
                ids[dialog.id].emplace_back(control.id, control.kind);
            }
        }
        return ids;
    };
    EXPECT_EQ(controlIds(*english), controlIds(german));
    EXPECT_EQ(controlIds(german).size(), 5u);

    ASSERT_EQ(english->iconCount, german.iconCount);
    EXPECT_EQ(english->icons[0].id, german.icons[0].id);
}

}  // namespace
