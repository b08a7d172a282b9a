#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <span>
#include <vector>

#include "hosts/qt/dialog_builder.h"
#include "hosts/qt/dialog_units.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resource_ids.h"
#include "res/resource_library.h"
#include "res/resources.h"

namespace {

// The widget's class and what the user reads on it or chooses from.
QString Describe(const QWidget* widget) {
    if (!widget) {
        return "none";
    }
    QString description = widget->metaObject()->className();
    for (const char* shown : {"text", "title", "plainText"}) {
        if (const QString text = widget->property(shown).toString(); !text.isEmpty()) {
            description += " " + text;
        }
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && !label->pixmap().isNull()) {
        description += " with a picture";
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        description += combo->isEditable() ? " editable" : "";
        for (int i = 0; i < combo->count(); ++i) {
            description += " | " + combo->itemText(i);
        }
    }
    return description;
}

// One control of each kind from the German templates (the built-in ones in use), as worked out by hand: the
// widget it became, what it shows and, in a sorted box, its items in order.
TEST(DialogTemplatesTest, EachKindOfControlBecomesTheWidgetItsTemplateDescribes) {
    const struct {
        uint32_t dialog;
        int id;
        const char* described;
    } anchors[] = {
        {IDD_ABOUTBOX, IDC_STATIC, "QLabel with a picture"},
        {IDD_ABOUTBOX, about_box::kOk, "QPushButton OK"},
        {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kProducts, "QListWidget"},
        {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kFAQ, "QLabel FAQ"},
        {IDD_UPDATEBOX, IDC_STATIC, "QGroupBox Verfügbare Updates"},
        {IDD_UPDATEDOWNLOAD, download_dialog::kProgress, "QProgressBar 0%"},
        {IDD_SENDDIALOG, send_dialog::kFirstName, "QLineEdit"},
        {IDD_SENDDIALOG, send_dialog::kDescription, "QPlainTextEdit"},
        {IDD_SENDDIALOG, send_dialog::kProduct, "QComboBox editable"},
        {IDD_SENDDIALOG, send_dialog::kSalutation, "QComboBox | Herr | Frau"},
    };
    for (const auto& anchor : anchors) {
        QDialog dialog;
        BuildDialog(dialog, *LoadDialogTemplate(anchor.dialog));
        EXPECT_EQ(Describe(FindControl(dialog, anchor.id)).toStdString(), anchor.described);
    }
}

// The about box, its caption and its size in pixels, worked out by hand for the test font's base units of 7 x
// 13 pixels: the window's 283 x 54 units are 495.25 x 87.75 pixels; the OK button's left edge at 226 units
// falls on 395.5 and rounds away from zero, its right edge at 276 on 483, its top at 7 on 11.375, its bottom
// at 23 on 37.375.
TEST(DialogTemplatesTest, DialogUnitsBecomePixelsAsOnWindows) {
    QDialog dialog;
    BuildDialog(dialog, *LoadDialogTemplate(IDD_ABOUTBOX));
    const DialogUnits units(dialog.font());
    ASSERT_EQ(QSize(units.BaseUnitX(), units.BaseUnitY()), QSize(7, 13)) << "another test font";
    EXPECT_EQ(dialog.windowTitle(), "Info über LumikartaSystemInfo");
    EXPECT_EQ(dialog.size(), QSize(495, 88));
    const QWidget* ok = FindControl(dialog, about_box::kOk);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(396, 11, 87, 26));
}

}  // namespace
