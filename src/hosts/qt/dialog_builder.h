#pragma once

#include <QDialog>
#include <QFont>
#include <QWidget>

#include "res/resource_table.h"

// Makes the window and the controls of a dialog template: caption, frame, font, size, and one
// widget per control, placed in dialog units of the dialog's font, tagged with its id and chained
// into the tab order in template order.
void BuildDialog(QDialog& dialog, const LumikartaDialogTemplate& dialogTemplate);

// The font the template names, or the platform's user-interface font in the template's size when
// this system lacks that face.
QFont DialogFont(const LumikartaDialogTemplate& dialogTemplate);

// The control of the dialog with the id; null when there is none.
QWidget* FindControl(const QWidget& dialog, int id);

template <typename Control>
Control* FindControl(const QWidget& dialog, int id) {
    return qobject_cast<Control*>(FindControl(dialog, id));
}

// The id a built control was made with; the window classes read it back.
int ControlId(const QWidget& control);
