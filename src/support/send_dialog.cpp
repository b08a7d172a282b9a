#include "support/send_dialog.h"

#include "res/resource_ids.h"

CSendDialog::CSendDialog(QWidget* pParent) : CTemplateDialog(IDD_SENDDIALOG, pParent) {}
