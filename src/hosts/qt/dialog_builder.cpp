#include "hosts/qt/dialog_builder.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <span>

#include "hosts/qt/dialog_units.h"
#include "hosts/qt/qt_ellipsis_label.h"
#include "hosts/qt/qt_list_controls.h"
#include "hosts/qt/resource_icon.h"

namespace {

constexpr char kIdProperty[] = "lumikartaControlId";

// Windows shows an icon control at the system's icon size whatever the template says.
constexpr int kIconPixels = 32;

bool HasStyle(const LumikartaDialogControl& control, uint32_t style) {
    return (control.style & style) != 0;
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8 ? utf8 : "");
}

// Windows draws read-only edits on the dialog's face colour, which tells the user at a glance which
// fields are for reading.
void ShowAsReadOnly(QWidget& edit) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit.setPalette(palette);
}

QWidget* MakeEdit(const LumikartaDialogControl& control, QWidget& parent) {
    if (HasStyle(control, LUMIKARTA_STYLE_MULTI_LINE)) {
        auto* edit = new QPlainTextEdit(Text(control.text), &parent);
        edit->setReadOnly(HasStyle(control, LUMIKARTA_STYLE_READ_ONLY));
        edit->setTabChangesFocus(true);
        edit->setVerticalScrollBarPolicy(HasStyle(control, LUMIKARTA_STYLE_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                                    : Qt::ScrollBarAlwaysOff);
        if (edit->isReadOnly()) {
            ShowAsReadOnly(*edit);
        }
        return edit;
    }
    auto* edit = new QLineEdit(Text(control.text), &parent);
    edit->setReadOnly(HasStyle(control, LUMIKARTA_STYLE_READ_ONLY));
    if (edit->isReadOnly()) {
        ShowAsReadOnly(*edit);
    }
    return edit;
}

QWidget* MakeListBox(const LumikartaDialogControl& control, QWidget& parent) {
    auto* list = new QListWidget(&parent);
    SetSortedList(*list, HasStyle(control, LUMIKARTA_STYLE_SORTED));
    list->setVerticalScrollBarPolicy(HasStyle(control, LUMIKARTA_STYLE_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                                : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (HasStyle(control, LUMIKARTA_STYLE_NO_SELECTION)) {
        list->setSelectionMode(QAbstractItemView::NoSelection);
    }
    for (const char* item : std::span(control.items, control.itemCount)) {
        AddString(*list, Text(item));
    }
    return list;
}

// What the user types stays as typed, as in a native box: Qt would complete it from the items (the
// first Return only taking the completion), and on Return or on leaving the field choose the item
// it matches without regard to case, a choice the dialog would take for the user's.
void KeepTypedText(QComboBox& combo) {
    combo.setCompleter(nullptr);
    QObject::disconnect(combo.lineEdit(), &QLineEdit::returnPressed, &combo, nullptr);
    QObject::disconnect(combo.lineEdit(), &QLineEdit::editingFinished, &combo, nullptr);
}

QWidget* MakeComboBox(const LumikartaDialogControl& control, QWidget& parent, bool editable) {
    auto* combo = new QComboBox(&parent);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        KeepTypedText(*combo);
    }
    SetSortedList(*combo, HasStyle(control, LUMIKARTA_STYLE_SORTED));
    for (const char* item : std::span(control.items, control.itemCount)) {
        AddString(*combo, Text(item));
    }
    return combo;
}

QWidget* MakePushButton(const LumikartaDialogControl& control, QWidget& parent) {
    auto* button = new QPushButton(Text(control.text), &parent);
    button->setDefault(HasStyle(control, LUMIKARTA_STYLE_DEFAULT_BUTTON));
    return button;
}

QWidget* MakeLabel(const LumikartaDialogControl& control, QWidget& parent) {
    auto* label = HasStyle(control, LUMIKARTA_STYLE_ELLIPSIS_TOOLTIP) ? new QtEllipsisLabel(&parent)
                                                                      : new QLabel(&parent);
    label->setText(Text(control.text));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* MakeIcon(const LumikartaDialogControl& control, QWidget& parent) {
    auto* label = new QLabel(&parent);
    label->setPixmap(LoadAppIcon(control.imageId).pixmap(kIconPixels, kIconPixels));
    return label;
}

QWidget* MakeGroupBox(const LumikartaDialogControl& control, QWidget& parent) {
    return new QGroupBox(Text(control.text), &parent);
}

QWidget* MakeProgressBar(QWidget& parent) {
    auto* progress = new QProgressBar(&parent);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    return progress;
}

QWidget* MakeControl(const LumikartaDialogControl& control, QWidget& parent) {
    switch (control.kind) {
        case LUMIKARTA_CONTROL_LABEL:
            return MakeLabel(control, parent);
        case LUMIKARTA_CONTROL_EDIT:
            return MakeEdit(control, parent);
        case LUMIKARTA_CONTROL_LIST_BOX:
            return MakeListBox(control, parent);
        case LUMIKARTA_CONTROL_COMBO_BOX:
            return MakeComboBox(control, parent, true);
        case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
            return MakeComboBox(control, parent, false);
        case LUMIKARTA_CONTROL_PUSH_BUTTON:
            return MakePushButton(control, parent);
        case LUMIKARTA_CONTROL_GROUP_BOX:
            return MakeGroupBox(control, parent);
        case LUMIKARTA_CONTROL_PROGRESS_BAR:
            return MakeProgressBar(parent);
        case LUMIKARTA_CONTROL_ICON:
            return MakeIcon(control, parent);
    }
    // A kind this build does not know, from a language library of another build: an empty label
    // keeps the window usable.
    return new QLabel(&parent);
}

// A combo box's template height is that of its opened list; closed it is as tall as its font needs.
QRect PixelGeometry(const QWidget& widget, const LumikartaDialogControl& control, const DialogUnits& units) {
    QRect pixels = units.ToPixels(QRect(control.x, control.y, control.width, control.height));
    if (control.kind == LUMIKARTA_CONTROL_COMBO_BOX || control.kind == LUMIKARTA_CONTROL_DROP_DOWN_LIST) {
        pixels.setHeight(widget.sizeHint().height());
    } else if (control.kind == LUMIKARTA_CONTROL_ICON) {
        pixels.setSize({kIconPixels, kIconPixels});
    }
    return pixels;
}

Qt::WindowFlags WindowFlags(uint32_t style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & LUMIKARTA_DIALOG_SYSTEM_MENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

}  // namespace

QFont DialogFont(const LumikartaDialogTemplate& dialogTemplate) {
    const QString face = Text(dialogTemplate.fontName);
    QFont font = QFontDatabase::hasFamily(face) ? QFont(face) : QApplication::font();
    font.setPointSize(dialogTemplate.fontPointSize);
    return font;
}

void BuildDialog(QDialog& dialog, const LumikartaDialogTemplate& dialogTemplate) {
    dialog.setWindowTitle(Text(dialogTemplate.caption));
    dialog.setWindowFlags(WindowFlags(dialogTemplate.style));
    dialog.setFont(DialogFont(dialogTemplate));
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.ToPixelsX(dialogTemplate.width), units.ToPixelsY(dialogTemplate.height));

    QWidget* previousStop = nullptr;
    for (const LumikartaDialogControl& control :
         std::span(dialogTemplate.controls, dialogTemplate.controlCount)) {
        QWidget* widget = MakeControl(control, dialog);
        widget->setProperty(kIdProperty, control.id);
        widget->setGeometry(PixelGeometry(*widget, control, units));
        if (control.kind == LUMIKARTA_CONTROL_GROUP_BOX) {
            // The frame stays behind the controls it encloses, wherever the template lists it.
            widget->lower();
        }
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousStop) {
                QWidget::setTabOrder(previousStop, widget);
            }
            previousStop = widget;
        }
    }
}

QWidget* FindControl(const QWidget& dialog, int id) {
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant value = child->property(kIdProperty);
        if (value.isValid() && value.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

int ControlId(const QWidget& control) {
    return control.property(kIdProperty).toInt();
}
