#include "app/about_dlg.h"

#include "res/resource_ids.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : CTemplateDialog(IDD_ABOUTBOX, pParent) {}
